#pragma once
// Loading model files into the managers. Every part of a file is stored
// under the file's base name with its case kept ("models/crate.bin" gives the
// mesh, skeleton and clip "crate"). The loaders may run on the background
// loading thread; the managers guard their maps.

#include "engine/base/Types.h"

#include <string>

namespace Ostrel {

class Mesh;
class ResourceManager;
struct ModelData;
struct ModelMeshData;

// Fills mesh from the file's mesh part and builds it: skinned records with
// the colour bytes (1, 1, 1, 1), static ones with (255, 255, 0, 50); one
// triangle per three indices, a trailing incomplete triangle left out.
void BuildMeshFromModelData(Mesh* mesh, const ModelMeshData* data);

// The GEOMETRY loader: reads the file at path and stores every sound part
// (the mesh through MeshManager::Create, the skeleton and the clip as
// copies). Problems are logged; nothing is stored from a file that cannot be
// read.
void LoadGeometryResource(const std::string& path);

// The sound parts of the model file at path, stored nowhere; problems are
// logged naming the file, and a file that cannot be opened gives no parts.
// A caller that must not replace what is loaded with less (the model viewer)
// reads first, looks at the parts, then calls ReplaceGeometryParts.
ModelData ReadModelFile(const std::string& path);

// Replaces, under name, only the parts in mask (kModelPartMesh,
// kModelPartAnimation, kModelPartSkeleton) that model has: the mesh is
// emptied and refilled in place (created when missing), the clip keeps its
// playback rate, the skeleton is rebuilt in place. Answers the mask of the
// parts replaced; the others keep what they held. Main thread only (it
// rewrites assets that frames read).
u32 ReplaceGeometryParts(const std::string& name, const ModelData& model, u32 mask);

// ReadModelFile, then ReplaceGeometryParts under the file's base name.
u32 ReloadGeometryResource(const std::string& path, u32 mask);

// Registers the GEOMETRY and ANIM_WRAPPER loaders.
void RegisterModelLoaders(ResourceManager& resources);

}  // namespace Ostrel
