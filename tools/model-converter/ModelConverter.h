#pragma once
// Converts a model source that Assimp reads (FBX, glTF, OBJ, Collada, ...)
// into the engine's model file. The source is triangulated, identical
// vertices are joined, missing normals are made, and everything is turned
// into the engine's space: left-handed, y up, front faces wound clockwise,
// uvs with v running down. All meshes are merged into one static mesh with
// the node transforms applied; at most kModelMaxVertices vertices.
// Skeletons and clips are not converted yet: such a source gives its mesh
// in the bind pose, and the report says so.

#include "tools/model-writer/ModelWriter.h"

#include <string>

namespace Ostrel {

struct ConvertOptions {
    bool scale = false;  // uniform scale so that the largest extent is 2
};

struct ConvertResult {
    bool ok = false;
    std::string message;  // the reason on failure; notes on success
    WriterModel model;
};

ConvertResult ConvertModelSource(const std::string& sourcePath, const ConvertOptions& options);

// Converts and writes outputPath through a temporary file and a rename; on
// failure nothing is written and an existing file stays as it was.
ConvertResult ConvertModelFile(const std::string& sourcePath, const std::string& outputPath,
                               const ConvertOptions& options);

}  // namespace Ostrel
