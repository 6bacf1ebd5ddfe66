# cmake --install: the program and what must sit beside it into lib/varnel/
# (GetAppDir is the program file's own folder), a link bin/varnel to it, and
# what the desktop needs to offer it: entry, icons, AppStream data, manual.
set(VARNEL_APP_ID org.example.varnel)
set(VARNEL_LIBEXEC lib/varnel)

install(TARGETS varnel varnel-cli RUNTIME DESTINATION ${VARNEL_LIBEXEC})
install(FILES ${VARNEL_BIN_DIR}/vrimgs.dll ${VARNEL_BIN_DIR}/vrhelp.dll DESTINATION ${VARNEL_LIBEXEC})
install(DIRECTORY DESTINATION ${VARNEL_LIBEXEC}/Plugins)
install(CODE "
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
  foreach(program varnel varnel-cli)
    file(CREATE_LINK ../${VARNEL_LIBEXEC}/\${program} \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/\${program}\" SYMBOLIC)
    message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/\${program} -> ../${VARNEL_LIBEXEC}/\${program}\")
  endforeach()")

set(DESKTOP_DIR ${CMAKE_SOURCE_DIR}/resources/desktop)
configure_file(${DESKTOP_DIR}/${VARNEL_APP_ID}.metainfo.xml.in ${CMAKE_BINARY_DIR}/desktop/${VARNEL_APP_ID}.metainfo.xml @ONLY)
configure_file(${DESKTOP_DIR}/varnel.1 ${CMAKE_BINARY_DIR}/desktop/varnel.1 @ONLY)
configure_file(${DESKTOP_DIR}/varnel-cli.1 ${CMAKE_BINARY_DIR}/desktop/varnel-cli.1 @ONLY)
install(FILES ${DESKTOP_DIR}/${VARNEL_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${CMAKE_BINARY_DIR}/desktop/${VARNEL_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${CMAKE_BINARY_DIR}/desktop/varnel.1 ${CMAKE_BINARY_DIR}/desktop/varnel-cli.1 DESTINATION share/man/man1)
foreach(size 48 128 256)
  install(FILES ${CMAKE_BINARY_DIR}/resources/images/appicon/${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ${VARNEL_APP_ID}.png)
endforeach()

# scripts/package: a Debian package of the same files, installed under /usr,
# its dependencies read off the linked libraries by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varnel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop cleaner of junk files and traces, also inside Wine prefixes")
set(CPACK_PACKAGE_DESCRIPTION "Varnel finds temporary files, backup copies, empty folders, zero-byte files and broken shortcuts and deletes them into the Trash or for good; inside a Wine prefix it also cleans what Windows programs left there. Files running programs hold, other users' files and files installed by packages are never deleted.")
set(CPACK_PACKAGE_CONTACT "The Varnel developers <${VARNEL_MAIL}>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VARNEL_HOMEPAGE}")
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
include(CPack)
