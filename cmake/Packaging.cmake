# Installing the zip engine's libraries and packing everything installed into
# a Debian package (scripts/package.sh). Included at the end of the top
# CMakeLists.txt, when every folder's targets exist.

# The engine looks for its two libraries in <executable dir>/../lib/quillet.
if(TARGET quillet_zipdll)
  install(TARGETS quillet_zipdll LIBRARY DESTINATION lib/quillet)
endif()
if(TARGET quillet_unzdll)
  install(TARGETS quillet_unzdll LIBRARY DESTINATION lib/quillet)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillet)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${QUILLET_MAINTAINER}")
# Debian packages live under /usr, whatever prefix a hand-made install uses.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUILLET_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QUILLET_HOMEPAGE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "pack scanned pages onto a few sheets that print small")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Quillet turns a run of scanned monochrome page images (1-bit BMP files)
into a few large, densely packed bitmaps that print small. It crops each
page's white margins away, squeezes the blank space between text lines,
stacks the pages into columns cut only between text lines and sets the
columns side by side on big pages with borders, headers and footers.
.
It also imports the pages of scanned PDF, TIFF, PNG and JPEG files, writes
the composed pages as one PDF, prints, previews and views bitmaps, scans new
pages, keeps pages in ZIP archives and manages the files it makes.
quillet-batch does the same composing job from the command line.")
# Libraries come from the programs' links; the fonts the pages' texts are set
# in, the SANE backends and Qt's TIFF reader (for imported pages) are only met
# at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsane1, fonts-liberation2, fonts-dejavu-core, qt6-image-formats-plugins")
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
