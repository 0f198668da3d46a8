# A 64-bit cross build of the same sources, made only to run the Windows
# tests on a machine whose kernel cannot start 32-bit programs (and so not
# Wine's 32-bit loader): scripts/test-win64.sh, which runs them in the build
# folder's 64-bit prefix. What is shipped is the 32-bit build of
# mingw-i686.cmake.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
