# Cross-compiles for 64-bit Windows with MinGW-w64 (Debian packages
# g++-mingw-w64-x86-64-posix and binutils-mingw-w64-x86-64).
#   cmake -S . -B build-win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUILLO_MINGW_PREFIX x86_64-w64-mingw32)
# The posix thread model: the win32 one lacks std::thread and std::mutex.
set(CMAKE_C_COMPILER ${QUILLO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILLO_MINGW_PREFIX}-windres)
set(CMAKE_AR ${QUILLO_MINGW_PREFIX}-gcc-ar-posix CACHE FILEPATH "Archiver")
set(CMAKE_RANLIB ${QUILLO_MINGW_PREFIX}-gcc-ranlib-posix CACHE FILEPATH "Ranlib")

set(CMAKE_FIND_ROOT_PATH /usr/${QUILLO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained executables: the C and C++ runtimes and winpthread are
# linked in, so nothing but the system's DLLs is needed. Unused functions are
# dropped and the symbols stripped to keep them small.
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -s -Wl,--gc-sections")
