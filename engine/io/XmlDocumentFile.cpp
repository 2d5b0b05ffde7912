#include "engine/io/XmlDocumentFile.h"

#include "engine/io/Log.h"

#include <tinyxml.h>

#include <cstdio>

namespace Ostrel {

namespace {

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

}  // namespace

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
