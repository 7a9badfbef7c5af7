# A Debian package: cpack -G DEB in the build folder gives
# veskora_<version>_<arch>.deb with its library dependencies worked out by
# dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veskora)
set(CPACK_PACKAGE_VENDOR "VESKORA developers")
set(CPACK_PACKAGE_CONTACT "VESKORA developers <dev@veskora.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Keeps the desktop tidy by moving files into folders by rules")
set(CPACK_PACKAGE_DESCRIPTION
    "VESKORA sits in the tray and moves each file on the desktop that matches one of the user's rules into that rule's folder. Files are never replaced, never lost, and never pulled away from a program still writing them.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own texts (Yes/No, the folder dialog) in the user's language; joined to
# the libraries dpkg-shlibdeps finds.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-translations-l10n)
# GNOME shows tray icons only with this extension; desktops with a tray of
# their own need nothing.
# Opening a rule's folder or the move log goes through xdg-open on most
# desktops (Qt asks the desktop's own opener only on some).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS gnome-shell-extension-appindicator)
# A file under /etc belongs to the administrator: dpkg keeps their changes to it
# on upgrade and leaves it until the package is purged.
if(VESKORA_INSTALL_AUTOSTART)
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/debian/conffiles "/etc/xdg/autostart/veskora.desktop\n")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_BINARY_DIR}/debian/conffiles)
endif()
set(CPACK_STRIP_FILES ON)
include(CPack)
