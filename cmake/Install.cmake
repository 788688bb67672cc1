# What `cmake --install` puts where, the manual pages, and the Debian package (`cpack -G DEB`).

include(GNUInstallDirs)
# Debian keeps each package's documents in a folder named as the package, not as the project.
if("$CACHE{CMAKE_INSTALL_DOCDIR}" STREQUAL "")
  set(CMAKE_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/kirimo-avi)
  set(CMAKE_INSTALL_FULL_DOCDIR ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DOCDIR})
endif()

# The desktop entry, icon and AppStream metadata share this name.
set(KIRIMO_APP_ID invalid.avi.KirimoAvi)
set(resources ${CMAKE_SOURCE_DIR}/resources)

set(icon_sizes 16 22 24 32 48 64 128 256)

# Every folder a whole install puts files in. Before it copies any, the install notes which of
# them it makes, beside its manifest, for README's uninstall.
set(install_folders ${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_DOCDIR}
    ${CMAKE_INSTALL_DATADIR}/applications ${CMAKE_INSTALL_DATADIR}/metainfo
    ${CMAKE_INSTALL_MANDIR}/man1)
foreach(size ${icon_sizes})
  list(APPEND install_folders ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
# The Python package goes where the interpreter looks: Debian's own folder for a package in /usr,
# the local one elsewhere. Decided at install time, as cpack installs into /usr.
if(TARGET kirimo_python)
  install(CODE "if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
  set(KIRIMO_PYTHON_DIR lib/python3/dist-packages)
else()
  set(KIRIMO_PYTHON_DIR lib/python${KIRIMO_PYTHON_VERSION}/dist-packages)
endif()")
  list(APPEND install_folders "\${KIRIMO_PYTHON_DIR}/kirimo")
endif()
install(CODE "set(KIRIMO_INSTALL_FOLDERS \"${install_folders}\")
set(KIRIMO_FOLDER_RECORD \"${CMAKE_BINARY_DIR}/install_folders.txt\")
include(\"${CMAKE_SOURCE_DIR}/cmake/RecordInstallFolders.cmake\")")

install(TARGETS kirimo-avi kirimo-extract RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET kirimo_python)
  install(TARGETS kirimo_python LIBRARY DESTINATION "\${KIRIMO_PYTHON_DIR}/kirimo")
  install(FILES ${KIRIMO_PYTHON_FILES} DESTINATION "\${KIRIMO_PYTHON_DIR}/kirimo")
endif()
install(FILES ${resources}/Readme.txt DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${resources}/desktop/${KIRIMO_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The release number comes from project(), here as everywhere.
configure_file(${resources}/desktop/${KIRIMO_APP_ID}.metainfo.xml
               ${CMAKE_BINARY_DIR}/desktop/${KIRIMO_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/desktop/${KIRIMO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size ${icon_sizes})
  install(FILES ${resources}/images/icon${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${KIRIMO_APP_ID}.png)
endforeach()

# An installed program finds its user's guide by this path from its own folder.
file(RELATIVE_PATH KIRIMO_DOCDIR_FROM_BINDIR ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DOCDIR})
set_property(SOURCE ${CMAKE_SOURCE_DIR}/src/app/AppPaths.cpp DIRECTORY ${CMAKE_SOURCE_DIR}/src/app
             APPEND PROPERTY COMPILE_DEFINITIONS KIRIMO_DOCDIR_FROM_BINDIR="${KIRIMO_DOCDIR_FROM_BINDIR}")

# Manual pages made from each program's --help (help2man), so they follow every new option.
find_program(KIRIMO_HELP2MAN help2man)
if(KIRIMO_HELP2MAN)
  set(pages "")
  foreach(program kirimo-avi kirimo-extract)
    set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
    add_custom_command(
      OUTPUT ${page} ${page}.gz
      COMMAND bash ${CMAKE_SOURCE_DIR}/cmake/make-man-page.sh ${KIRIMO_HELP2MAN}
              $<TARGET_FILE:${program}> ${resources}/man/${program}.h2m ${page}
      DEPENDS ${program} ${resources}/man/${program}.h2m ${CMAKE_SOURCE_DIR}/cmake/make-man-page.sh
      COMMENT "Manual page of ${program} from its --help and --version"
      VERBATIM)
    list(APPEND pages ${page}.gz)
  endforeach()
  add_custom_target(kirimo-man ALL DEPENDS ${pages})
  install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(WARNING "help2man not found: the install will have no manual pages")
endif()

# Debian wants the licence as a machine-readable copyright file, and a compressed changelog.
install(FILES ${resources}/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
configure_file(${resources}/debian/changelog.in ${CMAKE_BINARY_DIR}/debian/changelog.Debian @ONLY)
set(changelog ${CMAKE_BINARY_DIR}/debian/changelog.Debian.gz)
add_custom_command(
  OUTPUT ${changelog}
  # -n: no name or time stamp inside, so a rebuild makes the same bytes.
  COMMAND gzip -9nc ${CMAKE_BINARY_DIR}/debian/changelog.Debian > ${changelog}
  DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog.Debian
  COMMENT "Compressed Debian changelog")
add_custom_target(kirimo-changelog ALL DEPENDS ${changelog})
# Debian's own files belong to the package alone: a component that a plain install leaves out and
# the package asks for.
install(FILES ${changelog} DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES ${resources}/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME kirimo-avi COMPONENT debian EXCLUDE_FROM_ALL)

# What `scripts/run.sh` builds: the programs and all that `cmake --install` and the package take,
# none of the tests.
add_custom_target(kirimo-programs)
add_dependencies(kirimo-programs kirimo-avi kirimo-extract kirimo-changelog)
if(TARGET kirimo-man)
  add_dependencies(kirimo-programs kirimo-man)
endif()

set(CPACK_GENERATOR DEB)
# One package of everything a plain install takes (the component of rules that name none) and the
# Debian component.
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${CMAKE_BINARY_DIR};${PROJECT_NAME};${CMAKE_INSTALL_DEFAULT_COMPONENT_NAME};/"
    "${CMAKE_BINARY_DIR};${PROJECT_NAME};debian;/")
set(CPACK_PACKAGE_NAME kirimo-avi)
set(CPACK_PACKAGE_VENDOR "Kirimo team")
set(CPACK_PACKAGE_CONTACT "Kirimo team <info@avi.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "cut still frames out of movies as numbered picture files")
set(CPACK_PACKAGE_DESCRIPTION
    "Kirimo AVI writes chosen frames of an AVI movie as numbered 24-bit BMP files:\n"
    "pick a movie, the first and last frame and an interval, a folder, and press\n"
    "Convert. kirimo-extract does the same from the command line, for MP4,\n"
    "Matroska and MPEG movies too, and writes PNG files on request.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Packaged apart from its source, so a Debian revision of its own: kirimo-avi_2.1-1_amd64.deb.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://avi.invalid/)
# The libraries come from dpkg-shlibdeps; the Japanese window font is not a linked library, nor
# is libavfilter, opened only for deinterlacing.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
string(REGEX MATCH "^[0-9]+" avfilter_major "${AVFILTER_VERSION}")
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, libavfilter${avfilter_major}")
# The help button opens the user's guide through xdg-open.
# One package: the Python module is a small part of it, and a user of the programs alone need not
# take Python; NumPy comes with the module's users' Python anyway, Dask only for clusters.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
if(TARGET kirimo_python)
  string(APPEND CPACK_DEBIAN_PACKAGE_RECOMMENDS ", python3 (>= ${KIRIMO_PYTHON_VERSION}), "
         "python3 (<< ${KIRIMO_PYTHON_NEXT_VERSION}), python3-numpy")
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS python3-distributed)
endif()
include(CPack)
