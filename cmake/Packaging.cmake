# A Debian package of the installed files: `cpack -G DEB` in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tarvex developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Compare two folder trees and bring them into step")
set(CPACK_PACKAGE_DESCRIPTION
    "Tarvex compares a main folder with a sub folder, lists every path with its time and size on\
 each side, and copies files in either direction or moves them to the trash. Japanese interface.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tarvex developers <tarvex@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program links (the spreadsheet writer among them), the SVG plugin that draws
# its icon, and a font for Japanese.
set(TARVEX_DEB_DEPENDS
    "libc6 (>= 2.34)"
    "libstdc++6 (>= 12)"
    "libglib2.0-0 (>= 2.74)"
    "libqt6core6 (>= 6.4.2)"
    "libqt6gui6 (>= 6.4.2)"
    "libqt6widgets6 (>= 6.4.2)"
    "libqt6dbus6 (>= 6.4.2)"
    "libqt6svg6 (>= 6.4.2)"
    "libxcb1"
    "libicu72"
    "libxxhash0 (>= 0.8)"
    "liburing2 (>= 2.3)"
    "zlib1g (>= 1:1.1.4)"
    "fonts-ipafont-gothic | fonts-noto-cjk")
list(JOIN TARVEX_DEB_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
include(CPack)
