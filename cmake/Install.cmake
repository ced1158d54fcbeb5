# Where a desktop looks for a program: the binary, its menu entry, its
# AppStream record and its icon in the standard theme sizes; and a Debian
# package of all of it (cpack, in the build folder).
include(GNUInstallDirs)

set(VELMORAN_APP_ID it.velmoran.Velmoran)

install(TARGETS velmoran-trace RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(VELMORAN_WINDOW)
  install(TARGETS velmoran RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES data/${VELMORAN_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES data/${VELMORAN_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  foreach(size 16 32 48 64 128 256)
    install(FILES ui/icons/velmoran${size}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
      RENAME ${VELMORAN_APP_ID}.png)
  endforeach()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmoran)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Velmoran)
set(CPACK_PACKAGE_CONTACT "Velmoran <info@velmoran.it>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Quattro frattali classici: Sierpinski e Koch")
set(CPACK_PACKAGE_DESCRIPTION
  "Disegna il triangolo e il tappeto di Sierpinski, la trina e il fiocco di neve di Koch per suddivisione ricorsiva, in una finestra in italiano.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.velmoran.it)
# The Qt libraries come from dpkg-shlibdeps; what it cannot see is loaded at
# run time: Italian for Qt's own dialogs and the face the buttons are drawn in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, cups")
include(CPack)
