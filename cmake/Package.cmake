# A Debian package: `cpack` in a build tree writes bralun_<version>_<arch>.deb, laid out as
# Debian's policy puts games and clean under lintian.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME bralun)
set(CPACK_PACKAGE_VENDOR "The bralun developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "quiz on the waits of a mahjong hand")
set(CPACK_PACKAGE_DESCRIPTION
    "Each problem shows a hand of thirteen tiles; mark every tile that would\n\
complete it before the time runs out. Ten problems make a game; three levels\n\
keep their own best score. The windows and the help are in Japanese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The bralun developers <bralun@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_STRIP_FILES ON)
# The libraries the binary links come from dpkg-shlibdeps; these are what it loads at run time:
# the platform plugin, SDL and SDL_mixer (opened by name), the fonts the windows name, a
# soundfont for the music, Qt's Japanese buttons, and the SQLite driver of the history.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
string(JOIN ", " CPACK_DEBIAN_PACKAGE_DEPENDS
       qt6-qpa-plugins qt6-translations-l10n libqt6sql6-sqlite libsdl2-mixer-2.0-0
       fonts-ipafont-gothic fonts-ipafont-mincho "timgm6mb-soundfont | fluid-soundfont-gm")
include(CPack)
