# Installation (GNUInstallDirs layout) and the Debian package made by `cpack -G DEB`.
# The desktop integration files are named after the application id that the program gives
# to QGuiApplication::setDesktopFileName.
include(GNUInstallDirs)

set(ARVEXHUB_APP_ID "example.arvexgames.arvexhub")
set(desktop_dir "${PROJECT_SOURCE_DIR}/resources/desktop")
# Rendered by arvexhub_add_app_resources for arvexhub_core (src/).
set(app_icon_dir "${PROJECT_BINARY_DIR}/src/app_icon")
set(app_icon_base "arvexhub_launcher_icon")

install(TARGETS arvexhub RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(FILES "${desktop_dir}/${ARVEXHUB_APP_ID}.desktop"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${desktop_dir}/${ARVEXHUB_APP_ID}.metainfo.xml"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
install(FILES "${desktop_dir}/${ARVEXHUB_APP_ID}.xml"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/mime/packages")

# Debian wants the man page and the changelog compressed, with no name or time stamp in the gzip
# header (-n) so the package comes out the same from one build to the next; the copyright file goes
# beside the changelog. configure_file makes a change to either source rerun this step.
set(package_doc_dir "${PROJECT_BINARY_DIR}/package-doc")
foreach(source IN ITEMS "resources/man/arvexhub.1" "cmake/debian/changelog")
  get_filename_component(name "${source}" NAME)
  configure_file("${PROJECT_SOURCE_DIR}/${source}" "${package_doc_dir}/${name}" COPYONLY)
  execute_process(COMMAND gzip -9nc "${package_doc_dir}/${name}"
    OUTPUT_FILE "${package_doc_dir}/${name}.gz" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
install(FILES "${package_doc_dir}/arvexhub.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
install(FILES "${package_doc_dir}/changelog.gz" "${PROJECT_SOURCE_DIR}/cmake/debian/copyright"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/arvexhub")

foreach(size IN LISTS ARVEXHUB_APP_ICON_SIZES)
  install(FILES "${app_icon_dir}/${app_icon_base}_${size}.png"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
    RENAME "${ARVEXHUB_APP_ID}.png")
endforeach()
install(FILES "${PROJECT_SOURCE_DIR}/resources/app_icon/${app_icon_base}.svg"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps"
  RENAME "${ARVEXHUB_APP_ID}.svg")

set(CPACK_PACKAGE_NAME "arvexhub")
set(CPACK_PACKAGE_VENDOR "Arvex Games")
set(CPACK_PACKAGE_CONTACT "Arvex Games <support@arvexgames.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION "Arvex Hub is the desktop home of your Arvex games.
It keeps a library of games, movies, PDF e-books and music albums and merges it
with the maker's online catalogues. It downloads and installs items, starts a
game and shows its output in a console, updates games, plays movies and music
with playlists and reads e-books.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://arvexgames.example/arvexhub/")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "ArvexHub")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# A launcher and media library, not a game itself (Debian keeps section games for /usr/games).
set(CPACK_DEBIAN_PACKAGE_SECTION "misc")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The Debian 12 runtime packages: the Qt modules the program links, the platform and
# multimedia back-ends it loads at run time (GStreamer decodes the movies and music).
set(arvexhub_deb_depends
  "libc6 (>= 2.36)" "libstdc++6 (>= 12)" "libgcc-s1"
  "libqt6core6 (>= 6.4)" "libqt6gui6 (>= 6.4)" "libqt6widgets6 (>= 6.4)" "libqt6network6 (>= 6.4)"
  "libqt6dbus6 (>= 6.4)" "libsdl2-2.0-0 (>= 2.26)"
  "libqt6svg6 (>= 6.4)" "libqt6svgwidgets6 (>= 6.4)" "libqt6multimedia6 (>= 6.4)"
  "libqt6multimediawidgets6 (>= 6.4)" "libqt6pdf6 (>= 6.4)" "libqt6pdfwidgets6 (>= 6.4)"
  "libqt6core5compat6 (>= 6.4)" "qt6-qpa-plugins" "libquazip1-qt6-1 (>= 1.4)" "libssl3" "zlib1g" "libbz2-1.0"
  "libglx0" "libopengl0"
  "gstreamer1.0-plugins-base" "gstreamer1.0-plugins-good" "gstreamer1.0-libav")
list(JOIN arvexhub_deb_depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
# Qt's own texts (dialog buttons) in the user's language; without them they stay in English.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
