#!/bin/sh
# Compiler and linker launcher of the test programs: runs the posix
# thread-model twin of the win32-model compiler CMake was given
# (i686-w64-mingw32-g++-win32 -> i686-w64-mingw32-g++-posix).
compiler=$1
shift
case $compiler in
*-win32) exec "${compiler%-win32}-posix" "$@" ;;
*) exec "$compiler" "$@" ;;
esac
