#pragma once
// What a caller asks of a font: size in points, average character width,
// italic, face name and weight. The font manager caches one font per
// description (see FontManager.h), so descriptions
// are ordered: by height, width, italic, weight, then name.
//
// Scripts pass descriptions as tables with the keys "height", "width",
// "italic", "name" and "bold"; FromTable (and the reflected type's
// FromScript) takes each key that is present.

#include "engine/core/MetaClassOf.h"

#include <string>

namespace Ostrel {

class ScriptTable;

struct FontDescription {
    static constexpr int kBoldWeight = 1000;

    int height = 0;     // points
    int width = 0;      // average character width in pixels, 0 = the face's own
    bool italic = false;
    std::string name;   // face (family) name
    int weight = 0;     // 0, or kBoldWeight when bold

    bool operator<(const FontDescription& other) const;
    bool operator==(const FontDescription& other) const;

    // Takes "height", "width" (integers), "italic" (true when not 0), "name"
    // (text) and "bold" (true gives kBoldWeight, false 0) when present; other
    // fields keep their values.
    void FromTable(const ScriptTable& table);

    void SetHeight(const int& v) { height = v; }
    void GetHeight(int& out) const { out = height; }
    void SetWidth(const int& v) { width = v; }
    void GetWidth(int& out) const { out = width; }
    void SetItalic(const bool& v) { italic = v; }
    void GetItalic(bool& out) const { out = italic; }
    void SetName(const std::string& v) { name = v; }
    void GetName(std::string& out) const { out = name; }
    void SetWeight(const int& v) { weight = v; }
    void GetWeight(int& out) const { out = weight; }
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::FontDescription);
