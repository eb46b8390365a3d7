# The Windows cross build: core, io, the video core with the null driver, the
# Direct3D 9 driver and its Win32 test program. Debian's MinGW-w64 has zlib
# only, so XML, JPEG and PNG are off.
set(PELLORA_WITH_EXPAT OFF CACHE BOOL "" FORCE)
set(PELLORA_WITH_JPEG OFF CACHE BOOL "" FORCE)
set(PELLORA_WITH_PNG OFF CACHE BOOL "" FORCE)
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)
# Windows headers: no min/max macros, and the XP-and-later interfaces.
add_compile_definitions(NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601 UNICODE _UNICODE)

include(cmake/PelloraLibrary.cmake)
add_subdirectory(src/core)
add_subdirectory(src/io)
add_subdirectory(src/video)
if(PELLORA_TESTS)
    add_subdirectory(tests/wine)
endif()
