# Each engine and game folder is one OBJECT library whose sources are every
# .cpp below it. OBJECT libraries put all their object files into whatever
# links them, so the static registration of reflected classes survives
# linking (a static archive would drop registration-only translation units).
#
# A library names the libraries below it (DEPENDS) and links them PUBLIC, so
# the order is part of the build: CMake refuses a dependency cycle between
# libraries that are not static archives. Third-party packages (PACKAGES) are
# linked PRIVATE to the one library that uses them, or PUBLIC (PUBLIC_PACKAGES)
# when its headers include theirs. tests/check-layering.sh checks the same
# order on the #include lines.

set(LV_LIBRARIES "" CACHE INTERNAL "")

# The first library with sources precompiles the standard headers of
# cmake/EnginePrecompiled.h; every later one reuses that header.
option(LV_PCH "Precompile the standard headers of engine sources" ON)
set(LV_PCH_OWNER "" CACHE INTERNAL "")

# Engine and game sources are compiled in unity batches of the files of one
# library (most of their headers are shared), which halves a clean build; a
# file-local name (anonymous namespace, static function) must therefore be
# unique within its library. -DLV_UNITY=OFF compiles every file on its own.
option(LV_UNITY "Compile engine sources in unity batches" ON)
set(LV_UNITY_BATCH 16 CACHE STRING "Engine sources per unity batch")
# Sources whose file-local names (helpers, constants, enums) repeat those of
# another source of their library: each is compiled on its own.
set(LV_UNITY_SKIP
  engine/graphics/GraphicsDebugDrawing.cpp
  engine/graphics/GraphicsFrame.cpp
  engine/graphics/GraphicsObjectDrawing.cpp
  engine/graphics/GraphicsParticles.cpp
  engine/graphics/particles/ParticleEmitterComponent.cpp
  engine/io/SerializerXMLObjects.cpp
  engine/physics/CollisionWorldResolve.cpp
  engine/ui/UiEventHandlers.cpp
  engine/ui/UiHandlerScript.cpp
  engine/ui/UiLoadHandlers.cpp
  engine/ui/UiScene.cpp
  engine/ui/UiScrollGroup.cpp
  engine/ui/UiSystem.cpp
  game/bosses/BroodMotherComponent.cpp
  game/bosses/FoxBossComponent.cpp
  game/bosses/YakBossComponent.cpp
  game/objects/RumbleEffectComponent.cpp
  game/player/FirestarterAttackAction.cpp
  tools/editor/LevelEditorPicking.cpp
  tools/viewer/ModelView.cpp
)

# Puts the sources of a library into unity groups of LV_UNITY_BATCH files;
# those of LV_UNITY_SKIP stay out of every group and compile on their own.
function(lv_group_sources target sources)
  list(TRANSFORM LV_UNITY_SKIP PREPEND ${CMAKE_SOURCE_DIR}/ OUTPUT_VARIABLE skipped)
  set(count 0)
  foreach(src IN LISTS sources)
    if(src IN_LIST skipped)
      continue()
    endif()
    math(EXPR group "${count} / ${LV_UNITY_BATCH}")
    set_source_files_properties(${src} PROPERTIES UNITY_GROUP ${target}_${group})
    math(EXPR count "${count} + 1")
  endforeach()
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_MODE GROUP)
  # A type from an anonymous namespace held by a class of the same file is
  # fine alone, but GCC warns about it once the file is in a unity batch.
  target_compile_options(${target} PRIVATE -Wno-subobject-linkage)
endfunction()

function(lv_add_library name folder)
  cmake_parse_arguments(ARG "" "" "RECURSE_EXCLUDE;DEPENDS;PACKAGES;PUBLIC_PACKAGES" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  foreach(ex IN LISTS ARG_RECURSE_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "^${CMAKE_SOURCE_DIR}/${folder}/${ex}/")
  endforeach()
  set(target lv_${name})
  if(sources)
    add_library(${target} OBJECT ${sources})
    if(LV_UNITY)
      lv_group_sources(${target} "${sources}")
    endif()
    set(public PUBLIC)
    set(private PRIVATE)
  else()
    # A folder with no sources yet still gets a target, so others can name it.
    add_library(${target} INTERFACE)
    set(public INTERFACE)
    set(private INTERFACE)
  endif()
  target_include_directories(${target} ${public} ${CMAKE_SOURCE_DIR})
  list(TRANSFORM ARG_DEPENDS PREPEND lv_)
  target_link_libraries(${target} ${public} ${ARG_DEPENDS} ${ARG_PUBLIC_PACKAGES})
  if(ARG_PACKAGES)
    target_link_libraries(${target} ${private} ${ARG_PACKAGES})
  endif()
  if(LV_PCH AND sources)
    if(LV_PCH_OWNER)
      target_precompile_headers(${target} REUSE_FROM ${LV_PCH_OWNER})
    else()
      target_precompile_headers(${target} PRIVATE ${CMAKE_SOURCE_DIR}/cmake/EnginePrecompiled.h)
      set(LV_PCH_OWNER ${target} CACHE INTERNAL "")
    endif()
  endif()
  set(LV_LIBRARIES ${LV_LIBRARIES} ${target} CACHE INTERNAL "")
endfunction()

# Links every engine and game library directly into target (objects of an
# OBJECT library reach only the targets that link it directly).
function(lv_link_engine target)
  target_link_libraries(${target} PRIVATE ${LV_LIBRARIES})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
endfunction()
