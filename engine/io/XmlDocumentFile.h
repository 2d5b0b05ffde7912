#pragma once
// Loading and saving TinyXML documents safely.
//
// TinyXML parses, prints and deletes elements recursively, so a document
// nested thousands of levels deep (a corrupt or hostile file) would overflow
// the stack. Text is therefore checked first and refused when its elements
// nest deeper than kMaxXmlDepth; no data file of ours comes near it.
//
// Saving prints into "<path>.tmp" and renames it over the target only when
// every byte was written, so a failed or interrupted save never leaves a
// half-written file and never destroys the previous one.

#include <string>

class TiXmlDocument;

namespace Ostrel {

constexpr int kMaxXmlDepth = 256;

// The deepest element nesting the text can make a parser recurse into (an
// upper bound: unclosed elements count as open).
int MeasureXmlDepth(const char* text);

// Parses text into document (emptied first). Answers false when the text
// nests too deeply (document left empty) or does not parse.
bool ParseXmlText(TiXmlDocument& document, const char* text);

// Reads a regular file and parses it as ParseXmlText does, line ends
// normalised to "\n" as TinyXML's own file loading does. False when the file
// cannot be read or parsed.
bool LoadXmlFile(TiXmlDocument& document, const std::string& path);

// Prints the whole document (TinyXML's printer, depth 0) to path. On failure
// logs "Failed to save file '<path>'\n", removes the temporary file and
// answers false; the file at path is then unchanged.
bool SaveXmlDocument(const TiXmlDocument& document, const std::string& path);

}  // namespace Ostrel
