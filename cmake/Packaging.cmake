# The Debian package: `make package` (cpack -G DEB) after building the program, the probe and vrx_package_files.
#
# Installs /usr/bin/vrx-setup-wizard, /usr/bin/vrx-probe and /usr/bin/vrx-provision, the menu launcher, the
# AppStream metadata, the program icon in the hicolor theme (drawn by tools/artgen), the manual pages and the
# Debian copyright and changelog. Library dependencies come from dpkg-shlibdeps; only the Qt platform plugins,
# which the program loads at run time and shlibdeps cannot see, are named (and the fonts are recommended).
set(VRX_APP_ID com.halvik.VrxSetupWizard)
# The package's home page and the AppStream URLs: the maker's support address, the one the wizard itself
# links to (kSupportAddress), read from the source so the two never differ.
file(STRINGS ${CMAKE_SOURCE_DIR}/net/ServiceAddresses.h _support_line REGEX "kSupportAddress = \"")
string(REGEX REPLACE ".*kSupportAddress = \"([^\"]+)\".*" "\\1" VRX_HOMEPAGE "${_support_line}")
if(NOT VRX_HOMEPAGE MATCHES "^https://")
  message(FATAL_ERROR "Packaging: no kSupportAddress in net/ServiceAddresses.h")
endif()
set(_pkg ${CMAKE_BINARY_DIR}/package-files)

configure_file(${CMAKE_SOURCE_DIR}/packaging/${VRX_APP_ID}.metainfo.xml.in ${_pkg}/${VRX_APP_ID}.metainfo.xml @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${_pkg}/changelog @ONLY)
set(_gz_outputs)
foreach(page vrx-setup-wizard.1 vrx-probe.1 vrx-provision.1)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/${page} ${_pkg}/${page} @ONLY)
endforeach()
foreach(file vrx-setup-wizard.1 vrx-probe.1 vrx-provision.1 changelog)
  add_custom_command(OUTPUT ${_pkg}/${file}.gz
    COMMAND gzip -9nf -k ${_pkg}/${file}
    DEPENDS ${_pkg}/${file}
    VERBATIM)
  list(APPEND _gz_outputs ${_pkg}/${file}.gz)
endforeach()
add_custom_command(OUTPUT ${_pkg}/icons/256x256/apps/vrx-setup-wizard.png
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:vrx_artgen> --icon-theme ${_pkg}/icons
  DEPENDS vrx_artgen ${CMAKE_SOURCE_DIR}/tools/artgen/AppIcon.cpp
  COMMENT "Drawing the program icon for the hicolor theme"
  VERBATIM)
# Not part of `all`: `make test` does not draw or compress anything for the package.
add_custom_target(vrx_package_files DEPENDS ${_gz_outputs} ${_pkg}/icons/256x256/apps/vrx-setup-wizard.png)

# Installing needs only what is installed: the program, the probe, vrx-provision and vrx_package_files, which
# `make package` builds first; the tests are not built for the package.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
# A build that trusts the simulator (VRX_TEST_TRUST) is never packaged: `make package` configures its own build
# with it off.
if(VRX_TEST_TRUST)
  install(CODE "message(FATAL_ERROR \"this build trusts VRX_EXTRA_CA_FILE and VRX_EXTRA_CLOUD_HOSTS (VRX_TEST_TRUST=ON): \
package a build configured with -DVRX_TEST_TRUST=OFF (make package)\")")
endif()
include(GNUInstallDirs)
install(TARGETS vrx-setup-wizard vrx-probe vrx-provision RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${VRX_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_pkg}/${VRX_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${_pkg}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${_pkg}/vrx-setup-wizard.1.gz ${_pkg}/vrx-probe.1.gz ${_pkg}/vrx-provision.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${_pkg}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vrx-setup-wizard)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vrx-setup-wizard)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "VRX-410Q Setup Wizard team <wizard@vrx-setup.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "setup wizard for the VRX-410Q network video recorder")
set(CPACK_PACKAGE_DESCRIPTION
  "Leads page by page through setting up a VRX-410Q recorder on the local\n\
network: finding it, its administrator password, time zone, disks,\n\
cameras and remote access. The vrx-probe command explains why the\n\
recorder cannot be found; vrx-provision sets up one recorder or a\n\
whole site unattended from an answer file.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libcurl and libcrypto are opened at the first connection, so the shared-library scan cannot see them. The
# client restricts each request's protocols with CURLOPT_PROTOCOLS_STR (libcurl 7.85) and sends nothing
# where that is refused.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libcurl4 (>= 7.85.0), libssl3")
# The page layouts were drawn for DejaVu Sans; the Chinese pages need a CJK font.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VRX_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
