# Cross-compiles 32-bit Windows binaries with MinGW-w64 on Linux.
# The shipped modules are built by the win32 thread-model compilers: their
# libgcc_s_dw2-1.dll needs only kernel32 and msvcrt, so the program starts on
# Windows XP. The posix model's runtime needs libwinpthread-1.dll, which
# imports GetTickCount64 (Vista and later). The test programs need the posix
# model (std::thread, and GoogleTest's std::mutex); cmake/OrvuTesting.cmake
# switches them over.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
