# How Kovapost is installed and packaged. `cmake --install` lays out a normal Linux installation:
#   bin/kovapost, bin/kovapost-batch
#   share/kovapost/Par.mdb                     the read-only template each user's copy is made from
#   share/kovapost/fonts/*.otf                 the faces printed in (tools/make_print_fonts.py)
#   share/doc/kovapost/user-guide.html and its pictures in images/
#   share/applications/org.kovapost.Kovapost.desktop
#   share/metainfo/org.kovapost.Kovapost.metainfo.xml
#   share/icons/hicolor/{scalable,NxN}/apps/org.kovapost.Kovapost.{svg,png}
# The program finds the template at ../share/kovapost/ from its own folder (store/user_copy.cpp),
# so the default GNU layout is assumed. `cmake --build build --target package` makes the .deb.
include(GNUInstallDirs)

set(KOVA_APP_ID org.kovapost.Kovapost)
set(KOVA_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)

install(TARGETS kovapost kovapost-batch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_BINARY_DIR}/Par.mdb DESTINATION ${CMAKE_INSTALL_DATADIR}/kovapost)
install(FILES ${KOVA_PRINT_FONTS} DESTINATION ${CMAKE_INSTALL_DATADIR}/kovapost/fonts)
install(FILES ${CMAKE_SOURCE_DIR}/docs/user-guide.html DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/images DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${KOVA_PACKAGING}/${KOVA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KOVA_PACKAGING}/${KOVA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${KOVA_PACKAGING}/icons/kovapost.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${KOVA_APP_ID}.svg)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${KOVA_PACKAGING}/icons/kovapost-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${KOVA_APP_ID}.png)
endforeach()

# The Debian package. Library dependencies are computed from the binaries (dpkg-shlibdeps);
# what Qt loads at run time is named by hand: the X11 platform plugin, the Chinese translation
# of Qt's own dialogs and the CJK fonts the envelopes are printed in.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kovapost)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kovapost developers <kovapost@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Envelope and address label printer for Chinese address lists")
set(CPACK_PACKAGE_DESCRIPTION
    "Lays out envelopes at their true size, imports address lists from Excel workbooks and CSV files, cleans them, completes missing postcodes and prints envelopes and label sheets in batches.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-noto-cjk | fonts-arphic-uming")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups-client")
include(CPack)
