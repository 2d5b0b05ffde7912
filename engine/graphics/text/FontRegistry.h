#pragma once
// The process's table of usable font faces, filled from font files' bytes
// (the ".ttf" resources, through FontTemplateManager) and looked up by family
// name, as an operating system's private fonts are. Family names match
// without regard to case; a family may have several styles (regular, bold,
// italic), and a request picks the closest one, adding synthetic bold or
// italic where the family has no such style.
//
// A family that no registered face has is looked up among the installed
// fonts, as the operating system would: once per family and style, the file
// the platform offers (FindSystemFontFile: the family itself or its metric-
// compatible stand-in) is read, registered, and answers for that family and
// style from then on. Only when that finds nothing does the family fall back
// to the shipped face "DejaVu Sans": the registered one, else the
// "DejaVuSans" resource (read on first need), else the first registered
// family. Each family that falls back is logged once.
//
// Thread-safe: the loading thread registers while the main thread looks up.

#include "engine/graphics/text/FontFace.h"

#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace Ostrel {

// The whole file of the named resource; false when it cannot be opened.
bool ReadResourceBytes(const std::string& name, std::vector<u8>& bytes);

class FontRegistry {
public:
    static constexpr const char* kFallbackFamily = "DejaVu Sans";
    static constexpr const char* kFallbackResource = "DejaVuSans";

    struct Match {
        FontBytes bytes;
        std::string family;  // the family found (the fallback's name when it fell back)
        bool syntheticBold = false;
        bool syntheticItalic = false;
        std::string origin;  // where the face was registered from (its path)
    };

    static FontRegistry& Instance();

    // Registers the first face of a font file. Answers a handle for
    // Unregister, or 0 (with the reason logged, naming origin) when the bytes
    // are no readable font.
    u32 Register(std::vector<u8> bytes, const std::string& origin);
    void Unregister(u32 handle);

    // The face of family closest to the style asked for, or the fallback; no
    // value only when no face at all can be had.
    std::optional<Match> Find(const std::string& family, bool bold, bool italic);

    bool IsRegistered(const std::string& family) const;
    // Forgets every face, which families were reported and what the
    // installed fonts answered (tests).
    void Clear();

private:
    struct Entry {
        u32 handle = 0;
        FontFileInfo info;
        FontBytes bytes;
        std::string origin;
    };

    const Entry* Closest(const std::string& family, bool bold, bool italic) const;
    const Entry* FallbackLocked();
    const Entry* InstalledLocked(const std::string& family, bool bold, bool italic);
    const Entry* ByHandle(u32 handle) const;
    u32 RegisterLocked(std::vector<u8> bytes, const std::string& origin);

    mutable std::mutex m_mutex;
    std::vector<Entry> m_entries;
    std::set<std::string> m_reported;
    // Installed-font answers: lower-case family plus style -> the handle of
    // the face registered for it, 0 when the platform offered none; and the
    // handle of each file already read.
    std::map<std::string, u32> m_installedAnswers;
    std::map<std::string, u32> m_installedFiles;
    bool m_triedResource = false;
    u32 m_nextHandle = 1;
};

}  // namespace Ostrel
