# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-builds Velumbra's plain C++ libraries, the Windows backends and their
# tests for 64-bit Windows with Debian's mingw-w64, and runs the tests through
# wine:
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
#   cmake --build build-win && ctest --test-dir build-win
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELUMBRA_MINGW_TRIPLET x86_64-w64-mingw32)
# The "-posix" compilers use the winpthreads thread model; the default ones
# have no std::thread or std::mutex, which GoogleTest needs.
set(CMAKE_C_COMPILER ${VELUMBRA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELUMBRA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VELUMBRA_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELUMBRA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Without -static every program needs libstdc++, libgcc and winpthread DLLs
# next to it, and wine fails on a missing one with no message at all.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

find_program(VELUMBRA_WINE wine)
if(VELUMBRA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VELUMBRA_WINE})
else()
  message(WARNING "wine is not installed: the Windows programs build but their tests cannot run "
                  "(install the Debian packages wine and wine64).")
endif()
