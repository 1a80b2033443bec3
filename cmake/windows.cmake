# Settings of the Windows build (cross-built with cmake/mingw-w64-x86_64.cmake).

# Windows 10 APIs (GetCurrentThreadStackLimits, virtual terminal output, ...).
target_compile_definitions(quenra_platform PUBLIC _WIN32_WINNT=0x0A00 WINVER=0x0A00)
# ICU is linked statically.
target_compile_definitions(quenra_lexer PUBLIC U_STATIC_IMPLEMENTATION)
target_link_libraries(quenra_platform PUBLIC bcrypt shell32 psapi)
# The C and C++ runtimes and the thread library linked in: quenra.exe needs no DLL
# but the system's own and SDL2.dll (loaded by the first window() call).
target_link_options(quenra_platform PUBLIC -static)

# SDL2.dll beside the programs, where the loader looks first: the tests run them in
# place under Wine. The copy is stripped of its symbols, as the one that ships.
find_file(QUENRA_SDL2_BUILT SDL2.dll PATH_SUFFIXES bin REQUIRED)
set(QUENRA_SDL2_DLL ${CMAKE_BINARY_DIR}/SDL2.dll)
execute_process(COMMAND ${CMAKE_STRIP} --strip-unneeded -o ${QUENRA_SDL2_DLL} ${QUENRA_SDL2_BUILT}
                COMMAND_ERROR_IS_FATAL ANY)
file(COPY ${QUENRA_SDL2_DLL} DESTINATION ${CMAKE_BINARY_DIR}/tests)

if(CMAKE_CROSSCOMPILING)
  # Tests and test discovery run the programs under Wine, in a prefix of this build
  # folder made once before the first of them runs. Wine's .NET and HTML engines are
  # not wanted (nor offered for download).
  set(QUENRA_WINEPREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
  set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${QUENRA_WINEPREFIX} WINEDEBUG=-all
                                    WINEDLLOVERRIDES=mscoree,mshtml= /usr/lib/wine/wine64)
  add_custom_command(OUTPUT ${QUENRA_WINEPREFIX}/system.reg
                     COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot --init
                     COMMENT "Making the Wine prefix for the tests")
  add_custom_target(wine_prefix ALL DEPENDS ${QUENRA_WINEPREFIX}/system.reg)
endif()
