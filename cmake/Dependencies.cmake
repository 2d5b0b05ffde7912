# Third-party libraries, all from Debian (scripts/setup-deps.sh installs them).
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(SDL2 REQUIRED CONFIG)
find_package(Freetype REQUIRED)

# Lua is the C++ build so that a Lua error unwinds C++ destructors.
pkg_check_modules(LUA REQUIRED IMPORTED_TARGET lua5.1-c++)
pkg_check_modules(TINYXML REQUIRED IMPORTED_TARGET tinyxml)
pkg_check_modules(EPOXY REQUIRED IMPORTED_TARGET epoxy)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
pkg_check_modules(STB REQUIRED IMPORTED_TARGET stb)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
pkg_check_modules(ASSIMP REQUIRED IMPORTED_TARGET assimp)
pkg_check_modules(IMGUI REQUIRED IMPORTED_TARGET imgui)

if(LV_BUILD_TESTS)
  find_package(GTest REQUIRED CONFIG)
  include(GoogleTest)
endif()
if(LV_BUILD_BENCH)
  find_package(benchmark REQUIRED CONFIG)
  find_package(mimalloc CONFIG QUIET)
endif()
