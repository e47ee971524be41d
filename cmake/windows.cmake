# The Windows build (cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake, with
# scripts/windows/env.sh sourced): the game's layers as on the desktop, cross-built with
# mingw-w64, then glimmerfrost.exe, glimmerfrost-replay.exe and the unit tests that need no
# POSIX. The libraries come from the prefix that scripts/windows/build-libs fills: all
# static but OpenAL Soft, which is LGPL and ships as OpenAL32.dll. The embedded pictures
# and the sounds come from the desktop build (GF_NATIVE_BUILD), which has the tools that
# make them.
set(GF_NATIVE_BUILD "${PROJECT_SOURCE_DIR}/build" CACHE PATH "the desktop build")
set(lib ${GF_WIN_PREFIX}/lib)
if(NOT EXISTS ${lib}/libSDL2.a OR NOT EXISTS ${GF_WIN_PREFIX}/bin/OpenAL32.dll)
    message(FATAL_ERROR "no libraries for Windows in '${GF_WIN_PREFIX}': run make windows-libs")
endif()
if(NOT EXISTS ${GF_NATIVE_BUILD}/generated/embedded_assets.cpp)
    message(FATAL_ERROR "no desktop build in '${GF_NATIVE_BUILD}': run make build")
endif()

# The C++ runtime and winpthread go into the programs: only OpenAL32.dll ships beside them.
add_link_options(-static -static-libgcc -static-libstdc++)
# The game has its own main(); SDL's would take its place.
add_compile_definitions(SDL_MAIN_HANDLED)

# The same names the desktop build gets from pkg-config, so the layers read the same.
add_library(PkgConfig::SDL2 INTERFACE IMPORTED)
target_include_directories(PkgConfig::SDL2 BEFORE INTERFACE ${GF_WIN_PREFIX}/include/SDL2
                           ${GF_WIN_PREFIX}/include)
target_link_libraries(PkgConfig::SDL2 INTERFACE ${lib}/libSDL2.a m user32 gdi32 winmm imm32
                      ole32 oleaut32 version uuid advapi32 setupapi shell32 dinput8)
add_library(PkgConfig::EPOXY INTERFACE IMPORTED)
target_compile_definitions(PkgConfig::EPOXY INTERFACE "EPOXY_PUBLIC=extern")  # static
target_link_libraries(PkgConfig::EPOXY INTERFACE ${lib}/libepoxy.a opengl32 gdi32)
add_library(PkgConfig::OPENAL INTERFACE IMPORTED)
target_include_directories(PkgConfig::OPENAL INTERFACE ${GF_WIN_PREFIX}/include)
target_link_libraries(PkgConfig::OPENAL INTERFACE ${lib}/libOpenAL32.dll.a)
add_library(PkgConfig::VORBIS INTERFACE IMPORTED)
target_link_libraries(PkgConfig::VORBIS INTERFACE ${lib}/libvorbisfile.a ${lib}/libvorbis.a
                      ${lib}/libogg.a)
add_library(PkgConfig::VORBISENC INTERFACE IMPORTED)
target_link_libraries(PkgConfig::VORBISENC INTERFACE ${lib}/libvorbisenc.a PkgConfig::VORBIS)
add_library(PkgConfig::PNG INTERFACE IMPORTED)
target_link_libraries(PkgConfig::PNG INTERFACE ${lib}/libpng16.a ${lib}/libz.a)
add_library(PkgConfig::FREETYPE INTERFACE IMPORTED)
target_include_directories(PkgConfig::FREETYPE INTERFACE ${GF_WIN_PREFIX}/include/freetype2)
target_link_libraries(PkgConfig::FREETYPE INTERFACE ${lib}/libfreetype.a ${lib}/libz.a)

# The game's icon (drawn by the desktop build), version and manifest.
enable_language(RC)
set(GF_ICON_FILE ${GF_NATIVE_BUILD}/assets/glimmerfrost.ico)
set(GF_MANIFEST_FILE ${PROJECT_SOURCE_DIR}/windows/glimmerfrost.manifest)
configure_file(${PROJECT_SOURCE_DIR}/windows/glimmerfrost.rc.in ${CMAKE_BINARY_DIR}/glimmerfrost.rc
               @ONLY)
set(GF_WIN_RESOURCES ${CMAKE_BINARY_DIR}/glimmerfrost.rc)

add_subdirectory(src)
add_subdirectory(tools/replay)
add_subdirectory(windows)
