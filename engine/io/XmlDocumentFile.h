#pragma once
// Loading and saving TinyXML documents safely.
//
// TinyXML parses, prints and deletes elements recursively, so a document
// nested thousands of levels deep (a corrupt or hostile file) would overflow
// the stack. Text is therefore measured first, the way TinyXML itself would
// read it (XmlNestingDepth.h), and refused when its elements nest deeper
// than kMaxXmlDepth; no data file of ours comes near it.
//
// Saving prints into "<path>.tmp" and renames it over the target only when
// every byte was written, so a failed or interrupted save never leaves a
// half-written file and never destroys the previous one.

#include "engine/io/XmlNestingDepth.h"

#include <string>

class TiXmlDocument;

namespace Ostrel {

constexpr std::size_t kMaxXmlDepth = 256;

// Parses text into document (emptied first). Answers false when the text
// nests too deeply (document left empty) or does not parse; why (may be
// null) then receives the reason for the log, e.g. "line 3, column 7: Error
// reading end tag." or "elements nested 9000 levels deep (at most 256 are
// read)".
bool ParseXmlText(TiXmlDocument& document, const char* text, std::string* why = nullptr);

// Reads a regular file and parses it as ParseXmlText does, line ends
// normalised to "\n" as TinyXML's own file loading does. False when the file
// cannot be read or parsed, with the reason in why as above ("no such file",
// "a folder, not a file", "empty file"...).
bool LoadXmlFile(TiXmlDocument& document, const std::string& path, std::string* why = nullptr);

// Prints the whole document (TinyXML's printer, depth 0) to path. On failure
// logs "Failed to save file '<path>': <reason>\n" (the system's error text,
// as "Permission denied"), gives the reason to why (may be null), removes
// the temporary file and answers false; the file at path is then unchanged.
bool SaveXmlDocument(const TiXmlDocument& document, const std::string& path, std::string* why = nullptr);

}  // namespace Ostrel
