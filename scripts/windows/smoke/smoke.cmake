# The smoke programs' build, through the prefix's CMake packages and pkg-config files as the
# game build will find them. run writes the CMakeLists.txt that includes this.
set(CMAKE_CXX_STANDARD 17)
find_package(SDL2 REQUIRED CONFIG)
find_package(OpenAL REQUIRED CONFIG)
find_package(PNG REQUIRED)
find_package(Freetype REQUIRED)
find_package(Vorbis REQUIRED CONFIG)
find_package(GTest REQUIRED CONFIG)
find_package(PkgConfig REQUIRED)
pkg_check_modules(EPOXY REQUIRED IMPORTED_TARGET epoxy)

add_executable(smoke "${CMAKE_CURRENT_LIST_DIR}/smoke.cpp")
target_link_libraries(smoke PRIVATE SDL2::SDL2-static PkgConfig::EPOXY PNG::PNG Freetype::Freetype
    Vorbis::vorbisenc Vorbis::vorbisfile OpenAL::OpenAL)
# Everything but OpenAL32.dll inside the .exe, GCC's and winpthreads' runtimes too.
target_link_options(smoke PRIVATE -static)

add_executable(gtest_smoke "${CMAKE_CURRENT_LIST_DIR}/gtest_smoke.cpp")
target_link_libraries(gtest_smoke PRIVATE GTest::gmock GTest::gtest_main)
target_link_options(gtest_smoke PRIVATE -static)
