# Installs the client as a desktop program (binary, menu entry, theme icons, AppStream metadata)
# and packs it as a .deb with CPack.
include(GNUInstallDirs)

set(SORVO_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)

install(TARGETS sorvo-radio RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${SORVO_PACKAGING_DIR}/${SORVO_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

configure_file(${SORVO_PACKAGING_DIR}/${SORVO_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/packaging/${SORVO_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${SORVO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The theme icons are the images of the program icon, taken out of it at build time so that
# they always match the icon the client shows.
set(SORVO_ICON_SIZES 16 24 32 48 64 72)
set(SORVO_ICON_SOURCE ${CMAKE_SOURCE_DIR}/src/resources/pictures/ProgramIcon.ico)
set(SORVO_ICON_DIR ${CMAKE_BINARY_DIR}/packaging/icons)
add_executable(sorvo-extract-icons ${SORVO_PACKAGING_DIR}/extract_icons.cpp)
target_link_libraries(sorvo-extract-icons PRIVATE Qt6::Gui)
set(SORVO_ICON_FILES)
foreach(size IN LISTS SORVO_ICON_SIZES)
  list(APPEND SORVO_ICON_FILES ${SORVO_ICON_DIR}/${size}x${size}/apps/sorvo-radio.png)
endforeach()
add_custom_command(
  OUTPUT ${SORVO_ICON_FILES}
  COMMAND sorvo-extract-icons ${SORVO_ICON_SOURCE} ${SORVO_ICON_DIR} sorvo-radio ${SORVO_ICON_SIZES}
  DEPENDS sorvo-extract-icons ${SORVO_ICON_SOURCE}
  COMMENT "Taking the theme icons out of ProgramIcon.ico"
  VERBATIM)
add_custom_target(sorvo-icons ALL DEPENDS ${SORVO_ICON_FILES})
install(DIRECTORY ${SORVO_ICON_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

# A package needs the client and its icons only; scripts/check-package builds those, so the
# tests and benchmarks need not be built before packing.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sorvo-radio)
set(CPACK_PACKAGE_VENDOR Sorvo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop client for the Sorvo online radio")
set(CPACK_PACKAGE_DESCRIPTION "索沃电台 plays the Sorvo online radio from the desktop: the radio's \
page in a compact rounded window, a tray icon with the service's pages, and online updates.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Sorvo Radio packagers <packages@sorvo.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.sorvo.example/)
# The libraries come from dpkg-shlibdeps; Chinese texts need the CJK fonts, and web addresses
# and the upgrade package are handed to xdg-open.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, xdg-utils")
include(CPack)
