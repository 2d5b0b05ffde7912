#pragma once
// Saving a TinyXML document safely. The document is printed into
// "<path>.tmp" and renamed over the target only when every byte reached the
// disk, so a failed or interrupted save never leaves a half-written file and
// never destroys the previous one.

#include <string>

class TiXmlDocument;

namespace Ostrel {

// Prints the whole document (TinyXML's printer, depth 0) to path. On failure
// logs "Failed to save file '<path>'\n", removes the temporary file and
// answers false; the file at path is then unchanged.
bool SaveXmlDocument(const TiXmlDocument& document, const std::string& path);

}  // namespace Ostrel
