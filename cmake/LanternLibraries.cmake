# Each engine and game folder is one OBJECT library whose sources are every
# .cpp below it. OBJECT libraries put all their object files into whatever
# links them, so the static registration of reflected classes survives
# linking (a static archive would drop registration-only translation units).

set(LV_LIBRARIES "" CACHE INTERNAL "")

function(lv_add_library name folder)
  cmake_parse_arguments(ARG "" "" "RECURSE_EXCLUDE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  foreach(ex IN LISTS ARG_RECURSE_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "^${CMAKE_SOURCE_DIR}/${folder}/${ex}/")
  endforeach()
  set(target lv_${name})
  if(sources)
    add_library(${target} OBJECT ${sources})
  else()
    # A folder with no sources yet still gets a target, so others can name it.
    add_library(${target} INTERFACE)
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    set(scope INTERFACE)
  else()
    set(scope PUBLIC)
  endif()
  target_include_directories(${target} ${scope} ${CMAKE_SOURCE_DIR})
  target_link_libraries(${target} ${scope}
    Threads::Threads SDL2::SDL2 Freetype::Freetype
    PkgConfig::LUA PkgConfig::TINYXML PkgConfig::EPOXY PkgConfig::SNDFILE
    PkgConfig::STB PkgConfig::IMGUI ${CMAKE_DL_LIBS})
  set(LV_LIBRARIES ${LV_LIBRARIES} ${target} CACHE INTERNAL "")
endfunction()

# Links every engine and game library directly into target (objects of an
# OBJECT library reach only the targets that link it directly).
function(lv_link_engine target)
  target_link_libraries(${target} PRIVATE ${LV_LIBRARIES})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
endfunction()
