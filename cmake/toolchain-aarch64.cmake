# Cross-compiles for 64-bit ARM Linux with Debian's g++-aarch64-linux-gnu;
# the programs and tests run under qemu-user (Debian qemu-user) with the
# cross sysroot, which CTest uses as the emulator.
#   cmake -S . -B build-arm64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-aarch64.cmake
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(QUILLO_AARCH64_PREFIX aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${QUILLO_AARCH64_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${QUILLO_AARCH64_PREFIX}-g++)

set(QUILLO_AARCH64_SYSROOT /usr/${QUILLO_AARCH64_PREFIX})
set(CMAKE_FIND_ROOT_PATH ${QUILLO_AARCH64_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test discovery and CTest run every test program through qemu.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64;-L;${QUILLO_AARCH64_SYSROOT})
