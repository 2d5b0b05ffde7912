#include "engine/io/XmlNestingDepth.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

namespace Ostrel {

namespace {

// Positions are offsets into the text; kFail stands for the null pointer
// TinyXML's parse steps answer when they give up. Reading past the end
// yields NUL, as TinyXML's padded buffer does.
constexpr std::size_t kFail = std::string_view::npos;

enum class Encoding { Unknown, Utf8, Legacy };
enum class NodeKind { Declaration, Comment, Cdata, Unknown, Element };

// Bytes TinyXML steps over for one character in UTF-8 mode, by lead byte
// (bytes that cannot lead a sequence count as one).
std::size_t Utf8Step(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 1;
}

bool IsSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0 || c == '\n' || c == '\r';
}

// TinyXML treats every byte from 127 up as a letter.
bool IsLetter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 127 ? std::isalpha(byte) != 0 : true;
}

bool IsNameStart(char c) { return IsLetter(c) || c == '_'; }

bool IsNameChar(char c) {
    const auto byte = static_cast<unsigned char>(c);
    const bool alnum = byte < 127 ? std::isalnum(byte) != 0 : true;
    return alnum || c == '_' || c == '-' || c == '.' || c == ':';
}

int Lower(char c) { return c >= 0 ? std::tolower(c) : c; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

struct NamedEntity {
    const char* text;
    char value;
};
constexpr NamedEntity kEntities[] = {
    {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};

class DepthScan {
public:
    explicit DepthScan(std::string_view text) : m_text(text.substr(0, text.find('\0'))) {}

    std::size_t Run() {
        if (m_text.empty()) return 0;
        if (Byte(0) == 0xEF && Byte(1) == 0xBB && Byte(2) == 0xBF) m_encoding = Encoding::Utf8;
        std::size_t p = SkipSpace(0);
        while (p != kFail && At(p) != '\0') {
            if (m_open.empty() && At(p) != '<') {
                break;  // anything but a node after a top-level node ends the document
            }
            if (At(p) != '<') {
                p = SkipSpace(Text(p));
            } else if (!m_open.empty() && Equal(p, "</")) {
                p = SkipSpace(CloseElement(p));
            } else {
                p = SkipSpace(Node(p));
            }
        }
        return m_deepest;
    }

private:
    char At(std::size_t i) const { return i < m_text.size() ? m_text[i] : '\0'; }
    unsigned char Byte(std::size_t i) const { return static_cast<unsigned char>(At(i)); }
    bool Utf8() const { return m_encoding == Encoding::Utf8; }

    // Prefix comparison; false at the end of the text.
    bool Equal(std::size_t p, std::string_view tag, bool ignoreCase = false) const {
        if (At(p) == '\0') return false;
        for (std::size_t i = 0; i < tag.size(); ++i) {
            const char c = At(p + i);
            if (c == '\0') return false;
            if (ignoreCase ? Lower(c) != Lower(tag[i]) : c != tag[i]) return false;
        }
        return true;
    }

    bool IsByteOrderMark(std::size_t p) const {
        if (Byte(p) != 0xEF) return false;
        return (Byte(p + 1) == 0xBB && Byte(p + 2) == 0xBF) ||
               (Byte(p + 1) == 0xBF && (Byte(p + 2) == 0xBE || Byte(p + 2) == 0xBF));
    }

    // Fails at the end of the text; in UTF-8 mode byte-order marks count as
    // white space.
    std::size_t SkipSpace(std::size_t p) const {
        if (p == kFail || At(p) == '\0') return kFail;
        while (At(p) != '\0') {
            if (Utf8() && IsByteOrderMark(p)) {
                p += 3;
            } else if (IsSpace(At(p))) {
                ++p;
            } else {
                break;
            }
        }
        return p;
    }

    std::size_t ReadName(std::size_t p, std::string_view* name) const {
        if (p == kFail || !IsNameStart(At(p))) return kFail;
        const std::size_t start = p;
        while (At(p) != '\0' && IsNameChar(At(p))) ++p;
        *name = m_text.substr(start, p - start);
        return p;
    }

    // A character reference "&#...;" or "&#x...;" reaches to the first ';'
    // after it and is taken whole when everything between that ';' and the
    // nearest '#' (or 'x') before it is a digit, whatever else lies on the
    // way; anything else after '&' is one character. decoded (may be null)
    // receives what the non-UTF-8 reading keeps.
    std::size_t Entity(std::size_t p, std::string* decoded) const {
        if (At(p + 1) == '#' && At(p + 2) != '\0') {
            const bool hex = At(p + 2) == 'x';
            const char stop = hex ? 'x' : '#';
            if (hex && At(p + 3) == '\0') return kFail;
            const std::size_t semicolon = m_text.find(';', p + (hex ? 3 : 2));
            if (semicolon == kFail) return kFail;
            unsigned long code = 0;
            unsigned multiplier = 1;
            for (std::size_t q = semicolon - 1; At(q) != stop; --q) {
                const int digit = hex ? HexDigit(At(q)) : (At(q) >= '0' && At(q) <= '9' ? At(q) - '0' : -1);
                if (digit < 0) return kFail;
                code += multiplier * static_cast<unsigned>(digit);
                multiplier *= hex ? 16u : 10u;
            }
            if (decoded != nullptr) decoded->push_back(static_cast<char>(code));
            return semicolon + 1;
        }
        for (const NamedEntity& entity : kEntities) {
            if (m_text.compare(p, std::strlen(entity.text), entity.text) == 0) {
                if (decoded != nullptr) decoded->push_back(entity.value);
                return p + std::strlen(entity.text);
            }
        }
        return p + 1;  // an unknown '&' is dropped
    }

    std::size_t Char(std::size_t p, std::string* decoded) const {
        const std::size_t step = Utf8() ? Utf8Step(Byte(p)) : 1;
        if (step == 1) {
            if (At(p) == '&') return Entity(p, decoded);
            if (decoded != nullptr) decoded->push_back(At(p));
            return p + 1;
        }
        for (std::size_t i = 0; decoded != nullptr && i < step && At(p + i) != '\0'; ++i) {
            decoded->push_back(At(p + i));
        }
        return p + step;  // may step over the end, as TinyXML does
    }

    // Characters up to endTag, then past it (also when the text ended).
    std::size_t ReadText(std::size_t p, std::string_view endTag, std::string* decoded) const {
        while (p != kFail && At(p) != '\0' && !Equal(p, endTag)) p = Char(p, decoded);
        return p == kFail ? kFail : p + endTag.size();
    }

    std::size_t Attribute(std::size_t p, std::string_view* name, std::string* value) const {
        p = SkipSpace(p);
        p = ReadName(p, name);
        if (p == kFail || At(p) == '\0') return kFail;
        p = SkipSpace(p);
        if (p == kFail || At(p) != '=') return kFail;
        p = SkipSpace(p + 1);
        if (p == kFail) return kFail;
        if (At(p) == '\'' || At(p) == '"') {
            const char quote[2] = {At(p), '\0'};
            return ReadText(p + 1, quote, value);
        }
        for (; At(p) != '\0' && !IsSpace(At(p)) && At(p) != '/' && At(p) != '>'; ++p) {
            if (At(p) == '\'' || At(p) == '"') return kFail;
            if (value != nullptr) value->push_back(At(p));
        }
        return p;
    }

    std::size_t Text(std::size_t p) const {
        p = ReadText(p, "<", nullptr);
        return p != kFail && At(p) != '\0' ? p - 1 : kFail;
    }

    std::size_t Cdata(std::size_t p) const {
        p += std::strlen("<![CDATA[");
        while (At(p) != '\0' && !Equal(p, "]]>")) ++p;
        return ReadText(p, "]]>", nullptr);
    }

    std::size_t Comment(std::size_t p) const {
        p += std::strlen("<!--");
        while (At(p) != '\0' && !Equal(p, "-->")) ++p;
        return At(p) != '\0' ? p + 3 : p;
    }

    std::size_t Unknown(std::size_t p) const {
        for (++p; At(p) != '\0'; ++p) {
            if (At(p) == '>') return p + 1;
        }
        return p;
    }

    // "<?xml ...>": only the version, encoding and standalone attributes are
    // read as attributes; anything else is skipped up to white space or '>'.
    // A declaration without its '>' fails.
    std::size_t Declaration(std::size_t p, std::string* encoding) const {
        p += std::strlen("<?xml");
        while (p != kFail && At(p) != '\0') {
            if (At(p) == '>') return p + 1;
            p = SkipSpace(p);
            if (p == kFail) break;
            std::string_view name;
            if (Equal(p, "version", true) || Equal(p, "standalone", true)) {
                p = Attribute(p, &name, nullptr);
            } else if (Equal(p, "encoding", true)) {
                std::string value;
                p = Attribute(p, &name, encoding != nullptr ? &value : nullptr);
                if (encoding != nullptr) *encoding = value;
            } else {
                while (At(p) != '\0' && At(p) != '>' && !IsSpace(At(p))) ++p;
            }
        }
        return kFail;
    }

    // The first top-level declaration fixes the encoding: none named or
    // "UTF-8"/"UTF8" (any case, as a prefix) is UTF-8, anything else legacy.
    void TakeEncoding(const std::string& value) {
        const std::string_view name(value.c_str());
        auto startsWith = [&name](std::string_view prefix) {
            if (name.size() < prefix.size()) return false;
            for (std::size_t i = 0; i < prefix.size(); ++i) {
                if (Lower(name[i]) != Lower(prefix[i])) return false;
            }
            return true;
        };
        const bool utf8 = name.empty() || startsWith("UTF-8") || startsWith("UTF8");
        m_encoding = utf8 ? Encoding::Utf8 : Encoding::Legacy;
    }

    NodeKind Identify(std::size_t p) const {
        if (Equal(p, "<?xml", true)) return NodeKind::Declaration;
        if (Equal(p, "<!--")) return NodeKind::Comment;
        if (Equal(p, "<![CDATA[")) return NodeKind::Cdata;
        if (Equal(p, "<!")) return NodeKind::Unknown;
        return IsNameStart(At(p + 1)) ? NodeKind::Element : NodeKind::Unknown;
    }

    // p is at '<'.
    std::size_t Node(std::size_t p) {
        switch (Identify(p)) {
            case NodeKind::Declaration: {
                const bool topLevel = m_open.empty() && m_encoding == Encoding::Unknown;
                std::string encoding;
                p = Declaration(p, topLevel ? &encoding : nullptr);
                if (topLevel) TakeEncoding(encoding);
                return p;
            }
            case NodeKind::Comment: return Comment(p);
            case NodeKind::Cdata: return Cdata(p);
            case NodeKind::Unknown: return Unknown(p);
            case NodeKind::Element: break;
        }
        m_deepest = std::max(m_deepest, m_open.size() + 1);
        return OpenElement(p);
    }

    // The start tag: name, attributes (a repeated name fails), then "/>" or
    // '>' (the element is then open until its end tag).
    std::size_t OpenElement(std::size_t p) {
        std::string_view name;
        p = ReadName(SkipSpace(p + 1), &name);
        if (p == kFail || At(p) == '\0') return kFail;
        m_attributes.clear();
        while (true) {
            p = SkipSpace(p);
            if (p == kFail) return kFail;
            if (At(p) == '/') return At(p + 1) == '>' ? p + 2 : kFail;
            if (At(p) == '>') {
                m_open.push_back(name);
                return p + 1;
            }
            std::string_view attribute;
            p = Attribute(p, &attribute, nullptr);
            if (p == kFail || At(p) == '\0' || !m_attributes.insert(attribute).second) return kFail;
        }
    }

    // "</name" (a prefix match) then optional white space and '>'.
    std::size_t CloseElement(std::size_t p) {
        const std::string_view name = m_open.back();
        m_open.pop_back();
        if (!Equal(p + 2, name)) return kFail;
        p = SkipSpace(p + 2 + name.size());
        return p != kFail && At(p) == '>' ? p + 1 : kFail;
    }

    std::string_view m_text;
    Encoding m_encoding = Encoding::Unknown;
    std::vector<std::string_view> m_open;
    std::unordered_set<std::string_view> m_attributes;
    std::size_t m_deepest = 0;
};

}  // namespace

std::size_t MeasureXmlDepth(std::string_view text) {
    return DepthScan(text).Run();
}

}  // namespace Ostrel
