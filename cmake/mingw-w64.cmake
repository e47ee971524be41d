# Cross-builds for 64-bit Windows with Debian's mingw-w64, posix thread model (the win32
# one has no std::mutex). Libraries and headers come from GF_WIN_PREFIX (what
# scripts/windows/build-libs built) and mingw's own folder; programs from the build
# machine. GF_WIN_PREFIX: a -D value, else the environment's (scripts/windows/env.sh), else
# build-win/prefix in this repository.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(GF_WIN_HOST x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${GF_WIN_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GF_WIN_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${GF_WIN_HOST}-windres)

if(NOT GF_WIN_PREFIX)
    if(DEFINED ENV{GF_WIN_PREFIX} AND NOT "$ENV{GF_WIN_PREFIX}" STREQUAL "")
        set(GF_WIN_PREFIX "$ENV{GF_WIN_PREFIX}")
    else()
        get_filename_component(GF_WIN_PREFIX "${CMAKE_CURRENT_LIST_DIR}/../build-win/prefix" ABSOLUTE)
    endif()
endif()
# try_compile projects read this file again, without our cache.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES GF_WIN_PREFIX)

set(CMAKE_FIND_ROOT_PATH "${GF_WIN_PREFIX}" /usr/${GF_WIN_HOST})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config sees the prefix's files only, never the build machine's.
set(ENV{PKG_CONFIG_LIBDIR} "${GF_WIN_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
