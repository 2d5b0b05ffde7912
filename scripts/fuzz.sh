#!/usr/bin/env bash
# Fuzzes one parser with libFuzzer for real.
#   scripts/fuzz.sh TARGET SECONDS     TARGET: ChunkReader, PackageList, StreamReader, ConfigureFileXML,
#                                      Archetypes, Room, States, PropertyPage, LevelOrder, TilePalette,
#                                      ModelData, XmlDepth, Pfm, Dds, Tga, RoomPalette, RoomLevel,
#                                      Tutorial, SceneScript
# Installs clang and libclang-rt-14-dev when missing, builds
# tests/fuzz/<TARGET>Fuzz.cpp with the engine sources it needs under
# -fsanitize=fuzzer,address,undefined into build/fuzz/, and runs it for
# SECONDS seconds on a working copy of the checked-in corpus
# (tests/fuzz/corpus/<target>/). New inputs stay in build/fuzz/; crashes are
# written to build/fuzz/artifacts/<target>/ and end the run with exit code 1.
# The XML targets take inputs up to 1 MiB (-max_len), enough for some 350,000
# nested elements: far past the depth at which an unguarded TinyXML overflows
# the stack, so a hole in the nesting guard shows as a crash.
set -euo pipefail

if [[ $# -ne 2 ]]; then
    echo "usage: $0 TARGET SECONDS" >&2
    exit 2
fi
target="$1"
seconds="$2"
root="$(cd "$(dirname "$0")/.." && pwd)"
source_file="$root/tests/fuzz/${target}Fuzz.cpp"
if [[ ! -f "$source_file" ]]; then
    echo "no fuzz target $source_file" >&2
    exit 2
fi
lower="$(echo "$target" | tr '[:upper:]' '[:lower:]')"

need=()
command -v clang++ >/dev/null 2>&1 || need+=(clang)
dpkg -s libclang-rt-14-dev >/dev/null 2>&1 || need+=(libclang-rt-14-dev)
if [[ ${#need[@]} -gt 0 ]]; then
    sudo_cmd=()
    [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${need[@]}"
fi

# The engine sources the parsers use (files, readers, configuration, logging,
# resource packages) and nothing that needs a window or a GL context.
engine_sources=(
    engine/io/FilePath.cpp engine/io/FileSystemFile.cpp engine/io/FileReader.cpp
    engine/io/MemoryFile.cpp engine/io/ChunkReader.cpp engine/io/StreamBufferedReader.cpp
    engine/io/ConfigureFileXML.cpp engine/io/DataValue.cpp engine/io/XmlDocumentFile.cpp engine/io/XmlNestingDepth.cpp engine/base/Log.cpp engine/base/Logger.cpp engine/base/Assert.cpp
    engine/io/DirectoryIterator.cpp engine/io/RecursiveDirectoryIterator.cpp
    engine/base/Paths.cpp engine/base/DebugOutput.cpp
    engine/resources/ResourceManager.cpp engine/resources/ResourceManagerPackages.cpp
)

# The XML loaders add the serializers and, for archetypes and rooms, the object
# model they build (factory, compositions, the reflection core behind them).
case "$target" in
    Archetypes|Room|States|PropertyPage|LevelOrder|TilePalette)
        engine_sources+=(
            engine/io/SerializerXML.cpp engine/io/SerializerXMLLoaders.cpp engine/io/SerializerXMLObjects.cpp
            engine/io/SerializerLevelSave.cpp engine/io/XmlText.cpp engine/io/ObjectTypeRecord.cpp
            engine/io/StateResourceTable.cpp engine/world/RoomInstance.cpp
            engine/core/Composition.cpp engine/core/CompositionFactory.cpp engine/core/Variant.cpp
            engine/core/VariantList.cpp engine/core/VariantMethod.cpp engine/core/MetaClass.cpp
            engine/core/MetaClassString.cpp engine/core/MetaRegistryInst.cpp engine/core/CoreReflection.cpp
            engine/core/SmallAllocator.cpp engine/core/SmallObject.cpp engine/core/FixedAllocator.cpp
            engine/core/BlockPoolChunk.cpp engine/core/Lifetime.cpp
        )
        ;;
    RoomPalette|RoomLevel)
        # The levels code and what it stands on: the object model, the stock
        # components (transforms, portals, collision) and the XML loaders.
        engine_sources+=($(ls engine/base/*.cpp engine/core/*.cpp engine/io/*.cpp engine/resources/*.cpp \
                              engine/components/*.cpp)
            engine/world/RoomInstance.cpp engine/world/RoomPaletteRecord.cpp engine/world/RoomLayout.cpp
            engine/world/LevelInstanceManager.cpp engine/resources/SerializerXMLRoomFile.cpp)
        ;;
    Tutorial)
        # The reader and the show rule, over the object model's core (the
        # manager's messages go through the engine's table).
        engine_sources+=($(ls engine/base/*.cpp engine/core/*.cpp engine/io/*.cpp engine/resources/*.cpp)
            engine/platform/SubscriptionList.cpp engine/world/TutorialRecord.cpp engine/world/TutorialManager.cpp)
        ;;
    SceneScript)
        # Scene files run through the scene loader and every script binding:
        # the whole engine below the game (the UI draws through the graphics
        # layer, which needs the GL device's sources but no context here).
        engine_sources+=($(ls engine/*/*.cpp engine/*/*/*.cpp))
        extra_flags="$(pkg-config --cflags --libs lua5.1-c++ epoxy freetype2 fontconfig sndfile imgui) -ldl"
        ;;
    ModelData)
        engine_sources+=(
            engine/graphics/models/ModelData.cpp engine/graphics/animation/Skeleton.cpp engine/graphics/animation/Quaternion.cpp
            engine/core/Matrix4.cpp engine/core/Vec3.cpp
        )
        ;;
    GlslText)
        engine_sources+=(engine/graphics/device/GlslText.cpp engine/graphics/device/DeviceResources.cpp
                         engine/graphics/device/DeviceTypes.cpp)
        ;;
    FontFace)
        engine_sources+=(engine/graphics/text/FontFace.cpp)
        extra_flags=$(pkg-config --cflags --libs freetype2 fontconfig)
        ;;
    Pfm|Dds|Tga)
        engine_sources+=(engine/graphics/textures/ImageDecoder.cpp engine/graphics/textures/PfmReader.cpp engine/graphics/textures/DdsReader.cpp)
        # The stb decoder is compiled in (not the shared library) so that it is
        # instrumented and the fuzzer can see its branches.
        mkdir -p "$root/build/fuzz"
        printf '#define STB_IMAGE_IMPLEMENTATION\n#include <stb_image.h>\n' > "$root/build/fuzz/stb_image_impl.cpp"
        engine_sources+=(build/fuzz/stb_image_impl.cpp)
        ;;
esac

# Each source once, in first-seen order.
mapfile -t engine_sources < <(printf '%s\n' "${engine_sources[@]}" | awk '!seen[$0]++')

out="$root/build/fuzz"
mkdir -p "$out/artifacts/$lower" "$out/corpus-$lower"
cd "$root"
# shellcheck disable=SC2046
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root" $(pkg-config --cflags tinyxml sdl2 stb) \
    "$source_file" "${engine_sources[@]}" \
    $(pkg-config --libs tinyxml sdl2) ${extra_flags:-} -o "$out/${lower}-fuzzer"

options=()
case "$target" in
    ConfigureFileXML|Archetypes|Room|States|PropertyPage|LevelOrder|TilePalette|XmlDepth|RoomLevel)
        options+=(-max_len=1048576) ;;
esac

seeds="$root/tests/fuzz/corpus/$lower"
echo "fuzzing $target for $seconds s (seeds: $seeds)"
"$out/${lower}-fuzzer" -max_total_time="$seconds" -print_final_stats=1 "${options[@]}" \
    -artifact_prefix="$out/artifacts/$lower/" "$out/corpus-$lower" "$seeds"
