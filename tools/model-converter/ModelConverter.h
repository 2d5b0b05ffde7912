#pragma once
// Converts a model source that Assimp reads (FBX, glTF, OBJ, Collada, ...)
// into the engine's model file. The source is triangulated, identical
// vertices are joined, missing normals are made, and everything is turned
// into the engine's space: left-handed, y up, front faces wound clockwise,
// uvs with v running down. All meshes are merged into one mesh with the node
// transforms applied; at most kModelMaxVertices vertices.
//
// A source with bone weights gives a skinned mesh (the four largest weights
// of each vertex, summing to 1), a skeleton of at most kModelMaxBones bones
// with parents first, and one clip: the source's first animation resampled
// so that every bone has a key at every key time of any channel. Bind poses
// come from the bones' offset matrices (from the node hierarchy for bones
// without weights); scale is left out of bones and keys.

#include "tools/model-writer/ModelWriter.h"

#include <string>

namespace Ostrel {

struct ConvertOptions {
    bool scale = false;  // uniform scale so that the largest extent is 2
};

struct ConvertResult {
    bool ok = false;
    std::string message;  // the reason on failure; a report on success
    WriterModel model;
};

// The post-processing steps the converter asks Assimp for (the change of
// hands follows separately).
unsigned ConverterImportSteps();

ConvertResult ConvertModelSource(const std::string& sourcePath, const ConvertOptions& options);

// Converts and writes outputPath through a temporary file and a rename; on
// failure nothing is written and an existing file stays as it was.
ConvertResult ConvertModelFile(const std::string& sourcePath, const std::string& outputPath,
                               const ConvertOptions& options);

}  // namespace Ostrel
