# SPDX-License-Identifier: Apache-2.0
# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (POSIX thread model, so that
# std::thread and std::mutex work). ORDANO_WINDOWS_PREFIX names the folders (a list) where the
# cross-built libraries are installed. How programs link the compiler's runtime is the project's
# choice (CMakeLists.txt), not the toolchain's.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ORDANO_WINDOWS_PREFIX)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${ORDANO_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# zlib comes as both libz.a and libz.dll.a: take the static one.
set(ZLIB_USE_STATIC_LIBS ON)
