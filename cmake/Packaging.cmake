# The Debian package: `cpack -G DEB` in the build folder after the build.
# It holds what `cmake --install` installs: quillo, quillo-cli and its manual
# page, the language files, the .desktop file and the icons. The programs look
# for the language files under the prefix they were configured with, so configure with
# -DCMAKE_INSTALL_PREFIX=/usr for a package that installs into /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quillo developers")
set(CPACK_PACKAGE_CONTACT "Quillo developers <dev@quillo.local>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Expression calculator with decimal, hex, binary, octal and exponent results")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillo calculates an expression on every key press and shows the result as decimal, hexadecimal, binary, octal and exponent text. It comes with a Qt window and a command-line calculator.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
find_program(QUILLO_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(QUILLO_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6widgets6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6core6 (>= 6.4), libstdc++6, libc6")
endif()
include(CPack)
