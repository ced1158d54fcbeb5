# Where a desktop looks for a program: the binary, its manual page, its menu
# entry, its AppStream record and its icon in the standard theme sizes; and a
# Debian package of all of it (cpack, in the build folder). velmoran-trace
# is a developer's tool and stays in the build folder.
include(GNUInstallDirs)

set(VELMORAN_APP_ID it.velmoran.Velmoran)
# Debian's place, whatever the project's name is spelt like.
set(VELMORAN_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/velmoran)

# Gzips SOURCE into the build folder as NAME.gz, at build time; the result's
# path is left in OUTPUT_VAR.
function(velmoran_gzip source name output_var)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${source} -DOUTPUT=${output}
            -P ${PROJECT_SOURCE_DIR}/cmake/Gzip.cmake
    DEPENDS ${source} ${PROJECT_SOURCE_DIR}/cmake/Gzip.cmake
    COMMENT "Compressing ${name}")
  set(${output_var} ${output} PARENT_SCOPE)
endfunction()

if(VELMORAN_WINDOW)
  velmoran_gzip(${PROJECT_SOURCE_DIR}/docs/velmoran.1 velmoran.1 manual_page)
  # Named as a native package names it: the version has no Debian revision.
  velmoran_gzip(${PROJECT_SOURCE_DIR}/data/deb/changelog changelog debian_changelog)
  add_custom_target(velmoran_docs ALL DEPENDS ${manual_page} ${debian_changelog})

  install(TARGETS velmoran RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The compilers' version notes are of no use in an installed program.
  install(CODE "execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/velmoran\")")
  install(FILES ${manual_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES data/deb/copyright ${debian_changelog} DESTINATION ${VELMORAN_DOC_DIR})
  install(FILES data/${VELMORAN_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES data/${VELMORAN_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  foreach(size 16 32 48 64 128 256)
    install(FILES window/icons/velmoran${size}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
      RENAME ${VELMORAN_APP_ID}.png)
  endforeach()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmoran)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Velmoran)
set(CPACK_PACKAGE_CONTACT "Velmoran <info@velmoran.it>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Velmoran <info@velmoran.it>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "draws the Sierpinski triangle and carpet, Koch curve and snowflake")
# The extended description, under the summary CPack puts first; an empty
# line separates paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[Velmoran draws four classic fractals by recursive subdivision: the
Sierpinski triangle, the Sierpinski carpet, the Koch curve and the Koch
snowflake. Pick an iteration count, press a figure's button and watch the
figure grow while the window keeps answering.

The window, in Italian and of a fixed size, can save its picture as a
lossless PNG file or copy it to the clipboard, stop a drawing in progress,
and print on the default printer (or to a PDF file when there is none).
From the command line, velmoran --export writes a figure's picture
without a window or a display.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.velmoran.it)
set(CPACK_STRIP_FILES ON)
# Files 0644 and folders 0755 whatever the umask of whoever packs it.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# The Qt libraries come from dpkg-shlibdeps; what it cannot see is loaded at
# run time: Italian for Qt's own dialogs and the face the buttons are drawn in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-liberation2")
# Qt's Wayland plugin lets the window run natively on a Wayland desktop
# (through X otherwise); cups is where "Stampa" prints; fonts-wine has the
# classic face the buttons are drawn in where it is installed.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, fonts-dejavu-core, fonts-wine, cups")
include(CPack)
