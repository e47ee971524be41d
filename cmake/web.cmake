# The browser build (emcmake cmake, with scripts/web/env.sh sourced): the game's layers
# as on the desktop, compiled to WebAssembly, then the game and the runner as pages in
# ${CMAKE_BINARY_DIR}/site. The libraries come from the prefix that scripts/web/build-libs
# fills; OpenAL and WebGL 2 are Emscripten's own. The embedded pictures and the sounds
# come from the desktop build (GF_NATIVE_BUILD), which has the tools that make them.
set(GF_WEB_PREFIX "$ENV{GF_WEB_PREFIX}" CACHE PATH "the libraries built for the browser")
set(GF_NATIVE_BUILD "${PROJECT_SOURCE_DIR}/build" CACHE PATH "the desktop build")
if(NOT EXISTS ${GF_WEB_PREFIX}/lib/libSDL2.a)
    message(FATAL_ERROR "no libraries for the browser in '${GF_WEB_PREFIX}': run make web-libs")
endif()
if(NOT EXISTS ${GF_NATIVE_BUILD}/generated/embedded_assets.cpp)
    message(FATAL_ERROR "no desktop build in '${GF_NATIVE_BUILD}': run make build")
endif()

# Emscripten's own SDL 1 headers and library stay out of it.
add_compile_options(-sUSE_SDL=0)
add_link_options(-sUSE_SDL=0)

# The same names the desktop build gets from pkg-config, so the layers read the same.
set(lib ${GF_WEB_PREFIX}/lib)
add_library(PkgConfig::SDL2 INTERFACE IMPORTED)
target_include_directories(PkgConfig::SDL2 BEFORE INTERFACE ${GF_WEB_PREFIX}/include/SDL2
                           ${GF_WEB_PREFIX}/include)
target_link_libraries(PkgConfig::SDL2 INTERFACE ${lib}/libSDL2.a)
add_library(PkgConfig::EPOXY INTERFACE IMPORTED)  # WebGL 2 needs no loader
add_library(PkgConfig::OPENAL INTERFACE IMPORTED)
target_link_options(PkgConfig::OPENAL INTERFACE -lopenal)
add_library(PkgConfig::VORBIS INTERFACE IMPORTED)
target_link_libraries(PkgConfig::VORBIS INTERFACE ${lib}/libvorbisfile.a ${lib}/libvorbis.a
                      ${lib}/libogg.a)
add_library(PkgConfig::PNG INTERFACE IMPORTED)
target_link_libraries(PkgConfig::PNG INTERFACE ${lib}/libpng16.a ${lib}/libz.a)
add_library(PkgConfig::FREETYPE INTERFACE IMPORTED)
target_include_directories(PkgConfig::FREETYPE INTERFACE ${GF_WEB_PREFIX}/include/freetype2)
target_link_libraries(PkgConfig::FREETYPE INTERFACE ${lib}/libfreetype.a ${lib}/libz.a)

add_subdirectory(src)
add_subdirectory(tools/replay)
add_subdirectory(web)
