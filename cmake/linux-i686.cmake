# Toolchain: Linux on 32-bit x86 (cmake -DCMAKE_TOOLCHAIN_FILE=cmake/linux-i686.cmake).
# Like Debian's i386 architecture it targets i686 without SSE2: the engine
# mixes with its plain loops. An x86-64 kernel runs its programs directly.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CORVEXA_LINUX_TRIPLE i686-linux-gnu)
set(CORVEXA_QEMU "")
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
