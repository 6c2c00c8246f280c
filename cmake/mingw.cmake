# Cross-building for Windows with Debian's mingw-w64 (the -posix compilers,
# whose libstdc++ has std::thread). Included by the two toolchain files, which
# set CORVEXA_MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${CORVEXA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CORVEXA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${CORVEXA_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${CORVEXA_MINGW_TRIPLE})
# Programs run on this machine; libraries and headers come from the target's
# root (SDL2, built for the target elsewhere, is found through SDL2_DIR).
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
