#include "engine/io/XmlDocumentFile.h"

#include "engine/base/Log.h"

#include <tinyxml.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

namespace Ostrel {

namespace {

constexpr std::size_t kParsePadding = 64;

// *opened tells whether the file was opened (and so written over) at all;
// *error receives the system's error number of the step that failed.
bool PrintToFile(const TiXmlDocument& document, const std::string& path, bool* opened, int* error) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    *opened = file != nullptr;
    if (file == nullptr) {
        *error = errno;
        return false;
    }
    errno = 0;
    document.Print(file, 0);
    const bool written = std::fflush(file) == 0 && std::ferror(file) == 0;
    if (!written) *error = errno != 0 ? errno : EIO;
    const bool closed = std::fclose(file) == 0;
    if (written && !closed) *error = errno;
    return written && closed;
}

void SetReason(std::string* why, std::string reason) {
    if (why != nullptr) *why = std::move(reason);
}

// TinyXML's description, with the place when it knows one (its rows and
// columns count from 1; 0 means unknown).
std::string DescribeParseError(const TiXmlDocument& document) {
    std::string text;
    if (document.ErrorRow() > 0) {
        text = "line " + std::to_string(document.ErrorRow()) + ", column " +
               std::to_string(document.ErrorCol()) + ": ";
    }
    return text + document.ErrorDesc();
}

// Why a path cannot be read as a document, or empty when it is a regular file.
std::string CheckReadable(const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) return "no such file";
    if (status.type() == std::filesystem::file_type::directory) return "a folder, not a file";
    if (status.type() != std::filesystem::file_type::regular) return "not a regular file";
    return {};
}

}  // namespace

bool ParseXmlText(TiXmlDocument& document, const char* text, std::string* why) {
    document.Clear();
    const std::size_t depth = MeasureXmlDepth(text);
    if (depth > kMaxXmlDepth) {
        SetReason(why, "elements nested " + std::to_string(depth) + " levels deep (at most " +
                           std::to_string(kMaxXmlDepth) + " are read)");
        return false;
    }
    // TinyXML can step over the terminating NUL when the text ends inside a
    // multi-byte UTF-8 sequence, and then reads past the end of the buffer
    // (found by fuzzing). Parse a copy followed by enough NULs that such a
    // step always lands on one.
    std::string padded(text);
    padded.append(kParsePadding, '\0');
    document.Parse(padded.c_str());
    if (document.Error()) {
        SetReason(why, DescribeParseError(document));
        return false;
    }
    return true;
}

bool LoadXmlFile(TiXmlDocument& document, const std::string& path, std::string* why) {
    document.Clear();
    if (std::string reason = CheckReadable(path); !reason.empty()) {
        SetReason(why, std::move(reason));
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        SetReason(why, "cannot be opened for reading");
        return false;
    }
    std::ostringstream content;
    if (!(content << file.rdbuf())) {
        // An empty file leaves the stream failed as well; it has no root either.
        SetReason(why, file.peek() == std::char_traits<char>::eof() ? "empty file" : "read error");
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
    return ParseXmlText(document, normalised.c_str(), why);
}

bool SaveXmlDocument(const TiXmlDocument& document, const std::string& path, std::string* why) {
    const std::string temporary = path + ".tmp";
    bool opened = false;
    int error = 0;
    if (PrintToFile(document, temporary, &opened, &error)) {
        if (std::rename(temporary.c_str(), path.c_str()) == 0) return true;
        error = errno;
    }
    // Only a temporary this save wrote is removed: when it could not be
    // opened, whatever has that name (a folder, someone else's file) stays.
    if (opened) std::remove(temporary.c_str());
    const std::string reason = std::strerror(error != 0 ? error : EIO);
    SetReason(why, reason);
    LogMessage("Failed to save file '" + path + "': " + reason + "\n");
    return false;
}

}  // namespace Ostrel
