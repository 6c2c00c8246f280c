# Toolchain: Windows on x86-64 (cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86-64.cmake).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CORVEXA_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
