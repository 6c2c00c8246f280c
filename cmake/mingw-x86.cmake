# Toolchain: Windows on 32-bit x86 (cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86.cmake).
# Its compiler targets i686 without SSE2: the engine mixes with its plain loops.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CORVEXA_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
