# Cross-building for Linux on another processor with Debian's cross compilers
# (g++-TRIPLE). Included by the toolchain files linux-*.cmake, which set
# CORVEXA_LINUX_TRIPLE, CMAKE_SYSTEM_PROCESSOR and CORVEXA_QEMU (the qemu-user
# program that runs the target's code here; empty where this machine runs it
# itself) first.
#
# Programs are linked statically, so that they run here without the target's
# loader and libraries at hand; libraries are found as Debian's multiarch
# packages (libpng-dev:ARCH) install them, or under CMAKE_PREFIX_PATH, static
# archives only (CMakeLists.txt says so once CMake's own defaults are set).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${CORVEXA_LINUX_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${CORVEXA_LINUX_TRIPLE}-g++)
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
if(CORVEXA_QEMU)
  # What ctest (and gtest_discover_tests) runs the test programs with.
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CORVEXA_QEMU})
endif()
