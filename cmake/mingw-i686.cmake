# Cross build of the 32-bit Windows program with Debian's mingw-w64. Every
# test of this build runs under Wine in the build folder's own prefix.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
