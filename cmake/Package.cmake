# A Debian package: `cpack` in a build tree writes bralun_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME bralun)
set(CPACK_PACKAGE_VENDOR "The bralun developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "quiz on the waits of a mahjong hand")
set(CPACK_PACKAGE_DESCRIPTION
    "Each problem shows a hand of thirteen tiles; mark every tile that would complete it\n\
before the time runs out. Ten problems make a game; three levels keep their own best score.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The bralun developers <bralun@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Named packages rather than dpkg-shlibdeps, so the list is the same on every build machine
# and also brings what the program loads at run time (platform plugin, fonts, soundfont,
# Qt's Japanese buttons).
string(JOIN ", " CPACK_DEBIAN_PACKAGE_DEPENDS
       libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins qt6-translations-l10n
       libsdl2-mixer-2.0-0 fonts-ipafont-gothic fonts-ipafont-mincho
       "timgm6mb-soundfont | fluid-soundfont-gm")
include(CPack)
