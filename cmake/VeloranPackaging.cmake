# `cpack -G DEB` in a configured build folder makes veloran_<version>_<arch>.deb that
# installs under /usr. dpkg-shlibdeps finds the libraries the executable links; the rest
# below is what it cannot see: plugins and fonts that Qt and the captions load at run time.
set(CPACK_PACKAGE_NAME veloran)
set(CPACK_PACKAGE_VENDOR "Veloran developers")
set(CPACK_PACKAGE_CONTACT "Veloran developers <veloran@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "pins photo collages onto the desktop")
set(CPACK_PACKAGE_DESCRIPTION
  "Veloran lives in the system tray and shows photo collages just above the desktop\n"
  "picture: each photo a print with a white card, a push pin and a handwritten caption.\n"
  "Collages are plain folders of images with a small JSON layout in the Pictures folder.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# WebP and TIFF decoding come from Qt's image-format plugins.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-image-formats-plugins")
# Captions fall back to the system font without the handwriting face.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dancingscript, hicolor-icon-theme")
include(CPack)
