#include "tools/model-converter/ModelConverter.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cmath>

namespace Ostrel {

namespace {

constexpr unsigned kImportSteps = aiProcess_Triangulate | aiProcess_JoinIdenticalVertices |
                                  aiProcess_GenSmoothNormals | aiProcess_PreTransformVertices |
                                  aiProcess_SortByPType | aiProcess_ValidateDataStructure;

bool Finite(const aiVector3D& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace

ConvertResult ConvertModelSource(const std::string& sourcePath, const ConvertOptions& options) {
    ConvertResult result;
    Assimp::Importer importer;
    // Points and lines are dropped; only triangles make the mesh.
    importer.SetPropertyInteger(AI_CONFIG_PP_SBP_REMOVE, aiPrimitiveType_POINT | aiPrimitiveType_LINE);
    const aiScene* scene = importer.ReadFile(sourcePath, kImportSteps);
    // Made normals follow the source's winding, so the change of hands (z
    // mirrored, winding and v flipped) comes after they exist.
    if (scene) scene = importer.ApplyPostProcessing(aiProcess_ConvertToLeftHanded);
    if (!scene || (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) || !scene->mRootNode) {
        result.message = "'" + sourcePath + "' could not be read: " + importer.GetErrorString();
        return result;
    }
    WriterMesh mesh;
    bool hadBones = false;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh* source = scene->mMeshes[m];
        if (!source || !(source->mPrimitiveTypes & aiPrimitiveType_TRIANGLE)) continue;
        hadBones = hadBones || source->HasBones();
        const size_t base = mesh.vertices.size();
        if (base + source->mNumVertices > kModelMaxVertices) {
            result.message = "'" + sourcePath + "' has more than " + std::to_string(kModelMaxVertices) +
                             " vertices, which a model file cannot index";
            return result;
        }
        for (unsigned v = 0; v < source->mNumVertices; ++v) {
            const aiVector3D& p = source->mVertices[v];
            const aiVector3D n = source->HasNormals() ? source->mNormals[v] : aiVector3D(0.0f, 1.0f, 0.0f);
            if (!Finite(p) || !Finite(n)) {
                result.message = "'" + sourcePath + "' has a vertex that is not a finite number";
                return result;
            }
            ModelVertexRecord record;
            record.position = Vec3(p.x, p.y, p.z);
            record.normal = Vec3(n.x, n.y, n.z);
            if (source->HasTextureCoords(0)) {
                record.u = source->mTextureCoords[0][v].x;
                record.v = source->mTextureCoords[0][v].y;
            }
            mesh.vertices.push_back(record);
        }
        for (unsigned f = 0; f < source->mNumFaces; ++f) {
            const aiFace& face = source->mFaces[f];
            if (face.mNumIndices != 3) continue;
            for (unsigned i = 0; i < 3; ++i) mesh.indices.push_back(u32(base + face.mIndices[i]));
        }
    }
    if (mesh.indices.empty()) {
        result.message = "'" + sourcePath + "' has no triangles";
        return result;
    }
    if (options.scale) {
        Vec3 low = mesh.vertices[0].position, high = low;
        for (const ModelVertexRecord& r : mesh.vertices) {
            low = Vec3(std::min(low.x, r.position.x), std::min(low.y, r.position.y), std::min(low.z, r.position.z));
            high = Vec3(std::max(high.x, r.position.x), std::max(high.y, r.position.y), std::max(high.z, r.position.z));
        }
        const float extent = std::max({high.x - low.x, high.y - low.y, high.z - low.z});
        if (extent > 0.0f) {
            const float factor = 2.0f / extent;
            for (ModelVertexRecord& r : mesh.vertices) {
                r.position = Vec3(r.position.x * factor, r.position.y * factor, r.position.z * factor);
            }
        }
    }
    result.model.mesh = std::move(mesh);
    const std::string problem = CheckModel(result.model);
    if (!problem.empty()) {
        result.message = "'" + sourcePath + "' gives no model that can be written: " + problem;
        return result;
    }
    result.ok = true;
    result.message = "'" + sourcePath + "': " + std::to_string(result.model.mesh->vertices.size()) + " vertices, " +
                     std::to_string(result.model.mesh->indices.size() / 3) + " triangles";
    if (hadBones) result.message += "; its skeleton and animation were left out (not converted yet)";
    return result;
}

ConvertResult ConvertModelFile(const std::string& sourcePath, const std::string& outputPath,
                               const ConvertOptions& options) {
    ConvertResult result = ConvertModelSource(sourcePath, options);
    if (!result.ok) return result;
    const std::string problem = WriteModelFile(outputPath, result.model);
    if (!problem.empty()) {
        result.ok = false;
        result.message = "'" + outputPath + "' could not be written: " + problem;
    }
    return result;
}

}  // namespace Ostrel
