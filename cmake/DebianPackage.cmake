# The Debian package of the program: `cpack -G DEB` in the build folder
# writes skerrow_<version>_<arch>.deb, which `apt install ./skerrow_*.deb`
# installs with what it needs.
set(CPACK_PACKAGE_NAME skerrow)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Skerrow developers <skerrow@skerrow.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small desktop video saver")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://skerrow.example.org/skerrow/")
# The summary is the first line of the description; these lines follow it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Paste, type or copy the address of a video's watch page, pick a quality
and press START: Skerrow finds the video's stream, proposes a file name
and downloads the video while a window shows its progress. Direct links
to video files and any web page that shows a video work too. It speaks
English and Spanish and has a command-line mode for machines without a
display and for scripts, with a manual page and completion for bash.")
# The libraries the program links come from dpkg-shlibdeps; what it loads
# at run time is named here: Qt's platform plugins open its windows, Wine's
# Tahoma gives the windows their designed metrics, and Qt's catalogues put
# its own dialogs in Spanish.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wine, qt6-translations-l10n")
# The completion is read by bash-completion, when it is there.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion")
# The Spanish catalogue travels appended to the executable, which stripping
# would cut off.
set(CPACK_STRIP_FILES OFF)
include(CPack)
