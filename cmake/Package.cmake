# The Debian package: `cpack -G DEB` in a build folder makes lumisto_<version>-1_<arch>.deb from the
# install rules. Its dependencies are computed from the binary by dpkg-shlibdeps, plus the run-time
# pieces no binary links (Qt's image-format and platform plug-ins, the caption font, the browser hand-off).

# The manual page and the Debian changelog go compressed and without a time stamp, as Debian wants them.
set(LUMISTO_PACKAGE_FILES ${CMAKE_BINARY_DIR}/package/lumisto.1.gz ${CMAKE_BINARY_DIR}/package/changelog.Debian.gz)
add_custom_command(
  OUTPUT ${LUMISTO_PACKAGE_FILES}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/package
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/assets/man/lumisto.1 ${CMAKE_BINARY_DIR}/package/lumisto.1
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/assets/package/changelog
          ${CMAKE_BINARY_DIR}/package/changelog.Debian
  COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/package/lumisto.1 ${CMAKE_BINARY_DIR}/package/changelog.Debian
  DEPENDS assets/man/lumisto.1 assets/package/changelog
  COMMENT "Compressing the manual page and the changelog")
add_custom_target(lumisto_package_files ALL DEPENDS ${LUMISTO_PACKAGE_FILES})

install(FILES ${CMAKE_BINARY_DIR}/package/lumisto.1.gz DESTINATION share/man/man1)
install(FILES ${CMAKE_BINARY_DIR}/package/changelog.Debian.gz assets/package/copyright DESTINATION share/doc/lumisto)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumisto)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Lumisto developers <dev@lumisto.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "put decorative frames around photos")
# cpack takes the synopsis from the summary; the description is the extended text.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Lumisto frames photos: pick a photo and a template (a frame
style with a background margin, a drop shadow, a frame band, a window, a
colour overlay, a stroke and a line) and the framed photo shows at once.
Crop, turn and mirror the photo, change its tone, add a caption, edit frame
styles, and save, print or e-mail the result; a batch list frames many
photos in one pass, and the same program runs from the command line.")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-image-formats-plugins, fonts-lato, xdg-utils")
# libgs-common: the standard CMYK profile for CMYK photos without one (else Qt's plain conversion).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, libgs-common")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
