# Toolchain: Linux on 64-bit ARM (Debian arm64: a Raspberry Pi 3, 4 or 5 with a 64-bit OS)
# (cmake -DCMAKE_TOOLCHAIN_FILE=cmake/linux-arm64.cmake); its programs run here under qemu-aarch64.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CORVEXA_LINUX_TRIPLE aarch64-linux-gnu)
set(CORVEXA_QEMU qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
