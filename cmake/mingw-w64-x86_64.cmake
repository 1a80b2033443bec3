# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix):
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# SDL2 and ICU for the target come from tools/windows_deps.sh, which leaves them in
# build-windows-deps/ (QUENRA_WINDOWS_DEPS names another folder). The tests run the
# cross-built programs under Wine (see windows.cmake).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUENRA_MINGW_TRIPLE x86_64-w64-mingw32)
# The posix thread model: std::thread and friends, which GoogleTest wants.
set(CMAKE_C_COMPILER ${QUENRA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUENRA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUENRA_MINGW_TRIPLE}-windres)

if(NOT QUENRA_WINDOWS_DEPS)
  if(DEFINED ENV{QUENRA_WINDOWS_DEPS})
    set(QUENRA_WINDOWS_DEPS $ENV{QUENRA_WINDOWS_DEPS})
  else()
    get_filename_component(QUENRA_WINDOWS_DEPS ${CMAKE_CURRENT_LIST_DIR}/../build-windows-deps ABSOLUTE)
  endif()
endif()
set(QUENRA_WINDOWS_DEPS ${QUENRA_WINDOWS_DEPS} CACHE PATH "Cross-built SDL2 and ICU for Windows")
# Passed on to the test projects CMake builds while it checks the compilers.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUENRA_WINDOWS_DEPS)

set(CMAKE_FIND_ROOT_PATH /usr/${QUENRA_MINGW_TRIPLE} ${QUENRA_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
