# Cross build for 64-bit Windows with Debian's MinGW-w64 (the posix thread
# model, for std::thread and std::mutex). Usage:
#   cmake -S . -B build/mingw -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# Only the parts the Direct3D 9 driver needs are built (see cmake/WindowsBuild.cmake).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PELLORA_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PELLORA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PELLORA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${PELLORA_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PELLORA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs run under Wine with no MinGW run-time DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(ZLIB_USE_STATIC_LIBS ON)
