# The Debian package (cpack -G DEB, run by scripts/package.sh): what
# `cmake --install` puts under /usr. Its Depends come from the shared
# libraries the program and the module link (dpkg-shlibdeps), plus what no
# link names: the libraries opened when a run first needs them (DevIL,
# libcrypto, FreeImage, libtiff, JPEG XR, Cairo, fontconfig, FreeType:
# platform/shared_library.h), and for the module the Python it was built for
# and numpy.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pellucidcmd)
set(CPACK_PACKAGE_VERSION ${PELLUCID_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Batch converter of DDS textures into ordinary image files")
set(CPACK_PACKAGE_DESCRIPTION
    "pellucidcmd converts DirectDraw Surface (DDS) textures into 23 image formats, with\n"
    "resizing, tone, frame and watermark steps; the Python module pellucid reads DDS\n"
    "surfaces into numpy arrays.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Quillon Imaging Guild <packages@quillon.example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libdevil1c2, libssl3, libfreeimage3, libtiff6, libjxr0, "
                                 "libcairo2, libfontconfig1, libfreetype6")
string(JOIN "" CPACK_DEBIAN_PACKAGE_DEPENDS ${CPACK_DEBIAN_PACKAGE_DEPENDS})
if(PELLUCID_PYTHON)
  string(REPLACE "." ";" python_version "${PELLUCID_PYTHON_VERSION}")
  list(GET python_version 0 python_major)
  list(GET python_version 1 python_minor)
  math(EXPR python_next_minor "${python_minor} + 1")
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CPACK_DEBIAN_PACKAGE_DEPENDS}, "
      "python3 (>= ${python_major}.${python_minor}), "
      "python3 (<< ${python_major}.${python_next_minor}), python3-numpy")
  string(JOIN "" CPACK_DEBIAN_PACKAGE_DEPENDS ${CPACK_DEBIAN_PACKAGE_DEPENDS})
endif()
include(CPack)
