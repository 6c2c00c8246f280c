# Toolchain: Linux on 32-bit ARM with a hardware FPU (Debian armhf: 32-bit Raspberry Pi OS)
# (cmake -DCMAKE_TOOLCHAIN_FILE=cmake/linux-armhf.cmake); its programs run here under qemu-arm.
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CORVEXA_LINUX_TRIPLE arm-linux-gnueabihf)
set(CORVEXA_QEMU qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
