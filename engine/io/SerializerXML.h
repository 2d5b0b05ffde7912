#pragma once
// SerializerXML: the Serializer over a TinyXML document, and the loaders of
// the engine's XML data files.
//
// Reading: every named value is the text of the first child element of
// `current` with that name. Blocks walk a list of sibling elements: `first`
// is the first element of the list, `current` the one being read;
// SerializeBlock moves to the next sibling and names it, answers "EOF" when
// the list runs out, and starts again at `first` on the call after that.
// Writing: every value becomes a new last child element of `current`;
// SerializeBlock opens a child element (first = its parent) and "EOF" closes
// it again, so in writing mode `first` is always the parent of `current`.
//
// Loaders read one whole file each; a serializer is made for one job. While a
// loader holds a document a second load on the same serializer does nothing.
// Unreadable files are logged ("Failed to open file'...") and leave the
// target unchanged; a missing expected element is logged once and read as
// empty. A missing value leaves the caller's field unchanged; a number that
// does not parse is logged with the file, the object and the key (see
// DataValue.h), and a text that starts with a number keeps that number.

#include "engine/base/Serializer.h"
#include "engine/io/PropertyPage.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TiXmlDocument;
class TiXmlNode;

namespace Ostrel {

class Composition;
class CompositionFactory;
class StateResourceTable;

// What SerializerXML::LoadRoom fills. The room reads its own attributes from
// the "Attributes" element and takes ownership of every object appended.
class RoomTarget {
public:
    virtual void ReadAttributes(Serializer& serializer) = 0;
    virtual void AppendObject(Composition* object) = 0;

protected:
    ~RoomTarget() = default;
};

class SerializerXML : public Serializer {
public:
    // Called with a sound's name and the serializer positioned on its
    // manifest element; the callee lets the sound's record read its fields.
    using SoundRecordReader = std::function<void(const std::string& name, Serializer& serializer)>;
    using RecordReader = std::function<void(Serializer& serializer)>;

    explicit SerializerXML(bool reading);
    ~SerializerXML() override;
    SerializerXML(const SerializerXML&) = delete;
    SerializerXML& operator=(const SerializerXML&) = delete;

    bool SerializeString(const std::string& name, std::string* value) override;
    bool SerializeFloat(const std::string& name, float* value) override;
    bool SerializeBool(const std::string& name, bool* value) override;
    bool SerializeInt(const std::string& name, int* value) override;
    bool SerializeBlock(std::string& name) override;
    bool IsReading() const override;
    bool IsWriting() const override;
    // The file being loaded and the object being read in it; a caller that
    // walks a document of its own may set it with SetWhere.
    std::string Where() const override { return m_where; }
    void SetWhere(std::string where) { m_where = std::move(where); }

    // Writes the document to fileName through a temporary file. Answers false
    // (and logs "Failed to save file '<path>'") when it could not be written.
    bool SaveFile(const std::string& fileName) const;

    // Archetypes ("xobj"): every top-level element is one archetype, filed
    // with the CompositionFactory under its tag.
    bool LoadObjects(const std::string& fileName);
    // "States" ("xstt") into the table (the run's StateResourceTable when none
    // is given). The first state of a name stays.
    bool LoadStates(const std::string& fileName);
    bool LoadStates(const std::string& fileName, StateResourceTable& table);
    // Sound manifest ("xsm"): for every child of "sounds", read "name" and hand
    // the serializer, positioned on the child, to readRecord.
    bool LoadSoundManifestWith(const std::string& fileName, const SoundRecordReader& readRecord);
    // The same for a definition table offering GetOrCreate(name) (answering a
    // pointer or a reference to a record with Serialize(Serializer&)).
    template <class Table>
    bool LoadSoundManifest(const std::string& fileName, Table& definitions);
    // Level order ("xlod"): appends every top-level tag to order.
    bool LoadLevelOrder(const std::string& fileName, std::vector<std::string>& order);
    // Property page ("xpro"): inserts every (top-level tag, text); names
    // already in the page keep their value.
    bool LoadProperties(const std::string& fileName, PropertyPage& page);
    // Tile palette ("xpal"): the record reads the "Palette" element.
    bool LoadPaletteWith(const std::string& fileName, const RecordReader& readPalette);
    template <class Record>
    bool LoadPalette(const std::string& fileName, Record& palette);
    // Room ("xrm"), found by name through the ResourceManager. A room that
    // cannot be opened or read is logged and skipped (answer false); a parse
    // failure is logged. Objects naming an unknown archetype or component are logged
    // and skipped.
    // Built with the resource manager (engine/resources/SerializerXMLRoomFile.cpp).
    bool LoadRoom(const std::string& roomName, RoomTarget& room);
    // The part of LoadRoom after the file is read: text is the whole file.
    // fileLabel (the file's path, when known) names the file in the
    // refusal of a room too big for the object tables.
    bool ReadRoomText(const std::string& roomName, const char* text, RoomTarget& room,
                      const std::string& fileLabel = {});
    // Why the last LoadRoom or ReadRoomText answered false, in a few words
    // for a message on screen ("the file cannot be read", "line 3, column
    // 7: Error reading end tag."); empty after one that succeeded.
    const std::string& RoomFailure() const { return m_roomFailure; }
    // The archetype of every object the last room read left out because no
    // archetype of that name is known, once per object, in file order.
    const std::vector<std::string>& LeftOutArchetypes() const { return m_leftOut; }

    // The block list now read: first = firstElement, current = null. Used by
    // the loaders and by code that walks a document of its own.
    void BeginBlockList(TiXmlNode* firstElement);
    // The element whose children are the named values.
    void SetCurrent(TiXmlNode* element);
    TiXmlNode* First() const { return m_first; }
    TiXmlNode* Current() const { return m_current; }
    TiXmlDocument& Document() { return *m_document; }
    const TiXmlDocument& Document() const { return *m_document; }
    bool IsLoaded() const { return m_loaded; }

private:
    // Common frame of the file loaders. BeginLoad answers false when a load is
    // already running or the file cannot be read (logged with openMessage).
    bool BeginLoad(const std::string& fileName, const char* openMessage);
    void EndLoad();
    void ReadArchetypes(const std::string& fileName);
    void ReadStates(StateResourceTable& table);
    void ReadStateRecord(const std::string& stateName, StateResourceTable& table);
    void ReadSoundManifest(const std::string& fileName, const SoundRecordReader& readRecord);
    void ReadRoomObjects(const std::string& roomName, TiXmlNode* objects, RoomTarget& room);
    // False, with one log line naming the file, when the room places more
    // objects or components than the object manager's tables can hold: such
    // a room is refused whole rather than made in part.
    bool RoomFitsTheTables(const std::string& roomName, TiXmlNode* objects, const std::string& fileLabel) const;
    void ReadRoomObject(const std::string& roomName, CompositionFactory& factory, TiXmlNode* objectElement,
                        RoomTarget& room);
    bool ReadValueText(const std::string& name, const char** text) const;
    void WriteValueText(const std::string& name, const std::string& text);
    void ReadBlock(std::string& name);
    void WriteBlock(std::string& name);

    std::unique_ptr<TiXmlDocument> m_document;
    TiXmlNode* m_first = nullptr;
    TiXmlNode* m_current = nullptr;
    bool m_loaded = false;
    const bool m_reading;
    std::string m_where;
    std::string m_roomFailure;
    std::vector<std::string> m_leftOut;
};

namespace SerializerXMLDetail {
template <class T>
T& Deref(T& value) { return value; }
template <class T>
T& Deref(T* value) { return *value; }
}  // namespace SerializerXMLDetail

template <class Table>
bool SerializerXML::LoadSoundManifest(const std::string& fileName, Table& definitions) {
    return LoadSoundManifestWith(fileName, [&definitions](const std::string& name, Serializer& serializer) {
        SerializerXMLDetail::Deref(definitions.GetOrCreate(name)).Serialize(serializer);
    });
}

template <class Record>
bool SerializerXML::LoadPalette(const std::string& fileName, Record& palette) {
    return LoadPaletteWith(fileName, [&palette](Serializer& serializer) { palette.Serialize(serializer); });
}

}  // namespace Ostrel
