# Toolchain: Linux on IBM Z (Debian s390x), a big-endian machine
# (cmake -DCMAKE_TOOLCHAIN_FILE=cmake/linux-s390x.cmake); its programs run here under qemu-s390x.
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(CORVEXA_LINUX_TRIPLE s390x-linux-gnu)
set(CORVEXA_QEMU qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
