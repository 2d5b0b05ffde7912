// The model converter against Assimp's import alone, with the same
// post-processing and the same change of hands, on a skinned and animated
// FBX and a static Collada model from Debian's assimp-testmodels. The
// converter's share is what it adds: walking the nodes, weights, the
// skeleton, the resampled clip, the checks and the file's bytes in memory
// (no disk write). Aim: at most 1.5 times the import.

#include "tools/model-converter/ModelConverter.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

using namespace Ostrel;

const char* const kSources[] = {"/usr/share/assimp/models/FBX/animation_with_skeleton.fbx",
                                "/usr/share/assimp/models/Collada/duck.dae"};

bool SourcePresent(benchmark::State& state, const char* path) {
    if (std::filesystem::exists(path)) return true;
    state.SkipWithError("assimp-testmodels is not installed (scripts/setup-deps.sh installs it)");
    return false;
}

void BM_AssimpImport(benchmark::State& state) {
    const char* path = kSources[state.range(0)];
    if (!SourcePresent(state, path)) return;
    for (auto _ : state) {
        Assimp::Importer importer;
        importer.SetPropertyInteger(AI_CONFIG_PP_SBP_REMOVE, aiPrimitiveType_POINT | aiPrimitiveType_LINE);
        const aiScene* scene = importer.ReadFile(path, ConverterImportSteps());
        if (scene) scene = importer.ApplyPostProcessing(aiProcess_ConvertToLeftHanded);
        benchmark::DoNotOptimize(scene);
    }
}

void BM_ConvertModel(benchmark::State& state) {
    const char* path = kSources[state.range(0)];
    if (!SourcePresent(state, path)) return;
    for (auto _ : state) {
        const ConvertResult result = ConvertModelSource(path, {});
        if (!result.ok) {
            state.SkipWithError(result.message.c_str());
            return;
        }
        benchmark::DoNotOptimize(EncodeModel(result.model));
    }
}

BENCHMARK(BM_AssimpImport)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertModel)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
