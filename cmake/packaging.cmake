# Installation and the Debian package (`cpack -G DEB` in the build folder).
#
# SDL2 and libedit are opened at run time (the first window() call, the interactive
# loop at a terminal), so the linker never records them and dpkg-shlibdeps cannot
# find them: they are named by hand. Whatever the binary does link (the C library,
# ICU when it is not linked statically) is found by dpkg-shlibdeps.
#
# On Windows the package is a zip of one folder: quenra.exe with SDL2.dll beside it,
# the README, the examples and the licence texts of SDL2 and ICU.
if(WIN32)
  install(TARGETS quenra RUNTIME DESTINATION .)
  install(FILES ${QUENRA_SDL2_DLL} README.md DESTINATION .)
  install(DIRECTORY examples DESTINATION . FILES_MATCHING PATTERN "*.qn")
  install(DIRECTORY ${QUENRA_WINDOWS_DEPS}/licenses/ DESTINATION licenses)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME quenra-${PROJECT_VERSION}-windows-x64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_STRIP_FILES ON)
  include(CPack)
  return()
endif()

include(GNUInstallDirs)

install(TARGETS quenra RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES README.md docs/guide.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples FILES_MATCHING PATTERN "*.qn")
if(EXISTS ${PROJECT_SOURCE_DIR}/docs/quenra.1)
  install(FILES docs/quenra.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_PACKAGE_NAME quenra)
set(CPACK_PACKAGE_VENDOR "Quenra developers")
set(CPACK_PACKAGE_CONTACT "Quenra developers <quenra@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small scripting language with built-in 2-D graphics")
set(CPACK_PACKAGE_DESCRIPTION
    "Quenra is a small, dynamically typed scripting language with built-in 2-D graphics, made for teaching and small games. This package holds its interpreter, quenra, with an interactive loop and example scripts.")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION interpreters)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl2-2.0-0, libedit2")
include(CPack)
