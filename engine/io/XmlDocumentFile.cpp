#include "engine/io/XmlDocumentFile.h"

#include "engine/base/Log.h"

#include <tinyxml.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace Ostrel {

namespace {

constexpr std::size_t kParsePadding = 64;

bool PrintToFile(const TiXmlDocument& document, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        return false;
    }
    document.Print(file, 0);
    const bool written = std::fflush(file) == 0 && std::ferror(file) == 0;
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

// Skips a "<!...>" or "<?...>" construct starting at p; answers the position
// after it (comments and CDATA end at their own terminators).
const char* SkipSpecial(const char* p) {
    const char* terminator = ">";
    if (std::strncmp(p, "<!--", 4) == 0) {
        terminator = "-->";
    } else if (std::strncmp(p, "<![CDATA[", 9) == 0) {
        terminator = "]]>";
    }
    const char* end = std::strstr(p + 2, terminator);
    return end != nullptr ? end + std::strlen(terminator) : p + std::strlen(p);
}

// Skips a start tag at p (quoted attribute values may hold '>'); answers the
// position after it and whether it closed itself ("/>").
const char* SkipStartTag(const char* p, bool* empty) {
    char quote = 0;
    for (++p; *p != '\0'; ++p) {
        if (quote != 0) {
            quote = *p == quote ? 0 : quote;
        } else if (*p == '"' || *p == '\'') {
            quote = *p;
        } else if (*p == '>') {
            *empty = p[-1] == '/';
            return p + 1;
        }
    }
    *empty = false;
    return p;
}

}  // namespace

int MeasureXmlDepth(const char* text) {
    int depth = 0;
    int deepest = 0;
    for (const char* p = text; *p != '\0';) {
        if (*p != '<') {
            ++p;
        } else if (p[1] == '/') {
            depth = depth > 0 ? depth - 1 : 0;
            p += 2;
        } else if (p[1] == '!' || p[1] == '?') {
            p = SkipSpecial(p);
        } else {
            bool empty = false;
            p = SkipStartTag(p, &empty);
            if (!empty && ++depth > deepest) {
                deepest = depth;
            }
        }
    }
    return deepest;
}

bool ParseXmlText(TiXmlDocument& document, const char* text) {
    document.Clear();
    if (MeasureXmlDepth(text) > kMaxXmlDepth) {
        return false;
    }
    // TinyXML can step over the terminating NUL when the text ends inside a
    // multi-byte UTF-8 sequence, and then reads past the end of the buffer
    // (found by fuzzing). Parse a copy followed by enough NULs that such a
    // step always lands on one.
    std::string padded(text);
    padded.append(kParsePadding, '\0');
    document.Parse(padded.c_str());
    return !document.Error();
}

bool LoadXmlFile(TiXmlDocument& document, const std::string& path) {
    document.Clear();
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    if (!file || !(content << file.rdbuf())) {
        // An empty file leaves the stream failed as well; it has no root either.
        return false;
    }
    std::string text = content.str();
    std::string normalised;
    normalised.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            normalised += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            normalised += text[i];
        }
    }
    return ParseXmlText(document, normalised.c_str());
}

bool SaveXmlDocument(const TiXmlDocument& document, const std::string& path) {
    const std::string temporary = path + ".tmp";
    if (PrintToFile(document, temporary) && std::rename(temporary.c_str(), path.c_str()) == 0) {
        return true;
    }
    std::remove(temporary.c_str());
    LogMessage("Failed to save file '" + path + "'\n");
    return false;
}

}  // namespace Ostrel
