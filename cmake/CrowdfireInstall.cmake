# Installing crowdfire like any other Linux game, and packing it as a Debian package.
#
# Layout under the prefix (defaults, each overridable at configure time; the directories
# are strings, so a relative value stays relative to the prefix):
#   games/crowdfire                          launcher: the command the player runs
#   libexec/crowdfire/crowdfire              the game itself, kept off the PATH
#   share/games/crowdfire/*.BMP, Sound/      the data the game reads from its current directory
#   share/applications, share/metainfo, share/icons/hicolor, share/man/man6, share/doc/crowdfire
#
# The game reads its files from the current directory, so the launcher changes into the
# data directory and runs the real binary there, passing on the player's command line
# ("$@": --window, --scale and the rest). The binary keeps the file name `crowdfire`
# because the game titles its window with it. It lives under libexec because it is meant
# to be run only by the launcher: started from anywhere else it would find no artwork.
include(GNUInstallDirs)

# Without the asset generators there is no artwork or sound to install yet.
if(NOT TARGET crowdfire_art_assets OR NOT TARGET crowdfire_sound_assets)
  message(STATUS "crowdfire: install rules and packaging need the crowdfire_art_assets and "
    "crowdfire_sound_assets targets; skipped")
  return()
endif()

set(CROWDFIRE_APP_ID "org.crowdfire.Crowdfire" CACHE STRING
  "Reverse-DNS id of the desktop entry, AppStream component and icons")
set(CROWDFIRE_INSTALL_GAMESDIR "games" CACHE STRING
  "Directory of the launcher, relative to the prefix (Debian: games)")
set(CROWDFIRE_INSTALL_PROGRAMDIR "${CMAKE_INSTALL_LIBEXECDIR}/crowdfire" CACHE STRING
  "Directory of the real game binary, relative to the prefix")
set(CROWDFIRE_INSTALL_DATADIR "${CMAKE_INSTALL_DATAROOTDIR}/games/crowdfire" CACHE STRING
  "Directory of the game's bitmaps and Sound folder, relative to the prefix")
# The project has no public web site yet: .invalid says so plainly. Set the real address
# when there is one, and publish docs/screenshot.png there as screenshot.png.
set(CROWDFIRE_HOMEPAGE_URL "https://crowdfire.invalid/" CACHE STRING
  "Home page named in the AppStream metadata, ending in /")
set(CROWDFIRE_SCREENSHOT_URL "${CROWDFIRE_HOMEPAGE_URL}screenshot.png")
set(CROWDFIRE_RELEASE_DATE "2026-12-07")
set(CROWDFIRE_PACKAGE_MAINTAINER "The crowdfire developers <crowdfire@crowdfire.invalid>"
  CACHE STRING "Maintainer field of the Debian package")

# The files the game opens at start-up, exactly as it names them: the pictures beside the
# game, the sounds under Sound/.
include(${PROJECT_SOURCE_DIR}/cmake/GameFiles.cmake)
crowdfire_game_files(CROWDFIRE_BITMAPS CROWDFIRE_SOUNDS)

set(CROWDFIRE_PACKAGING_DIR ${PROJECT_BINARY_DIR}/packaging)

# The launcher finds the data and the binary relative to its own place when the
# directories are given relative to the prefix, so a staged (DESTDIR) or moved install
# works unchanged; absolute directories are used as they stand.
function(crowdfire_launcher_path out dir)
  # The path goes into a double-quoted shell string.
  if(dir MATCHES "[\"'`$\\]")
    message(FATAL_ERROR "crowdfire: install directory ${dir} contains quote or $ characters")
  endif()
  if(IS_ABSOLUTE "${dir}")
    set(path "${dir}")
  elseif(IS_ABSOLUTE "${CROWDFIRE_INSTALL_GAMESDIR}")
    set(path "${CMAKE_INSTALL_PREFIX}/${dir}")
  else()
    file(RELATIVE_PATH relative "/prefix/${CROWDFIRE_INSTALL_GAMESDIR}" "/prefix/${dir}")
    set(path "\$here/${relative}")
  endif()
  set(${out} "\"${path}\"" PARENT_SCOPE)
endfunction()

crowdfire_launcher_path(LAUNCHER_DATA_DIR "${CROWDFIRE_INSTALL_DATADIR}")
crowdfire_launcher_path(LAUNCHER_GAME "${CROWDFIRE_INSTALL_PROGRAMDIR}/crowdfire")
configure_file(packaging/launcher.sh.in ${CROWDFIRE_PACKAGING_DIR}/crowdfire @ONLY)
configure_file(packaging/crowdfire.metainfo.xml.in
  ${CROWDFIRE_PACKAGING_DIR}/${CROWDFIRE_APP_ID}.metainfo.xml @ONLY)

# Icons are drawn from the generated art, so they follow it.
set(CROWDFIRE_ICON_DIR ${PROJECT_BINARY_DIR}/icons)
set(CROWDFIRE_ICON_FILES)
foreach(size 32 48 64 128 256)
  list(APPEND CROWDFIRE_ICON_FILES
    ${CROWDFIRE_ICON_DIR}/hicolor/${size}x${size}/apps/${CROWDFIRE_APP_ID}.png)
endforeach()
add_custom_command(OUTPUT ${CROWDFIRE_ICON_FILES}
  COMMAND crowdfire_make_art --icons ${CROWDFIRE_ICON_DIR} ${CROWDFIRE_APP_ID}
  DEPENDS crowdfire_make_art
  COMMENT "Drawing the application icons from the game's sprites")
# The manual page and the changelog are installed compressed, as Debian expects; gzip -n
# leaves out the name and time stamp, so they are the same on every build.
set(CROWDFIRE_COMPRESSED_DOCS)
foreach(document crowdfire.6 changelog)
  set(compressed ${CROWDFIRE_PACKAGING_DIR}/${document}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/packaging/${document} > ${compressed}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${document})
  list(APPEND CROWDFIRE_COMPRESSED_DOCS ${compressed})
endforeach()
add_custom_target(crowdfire_packaging ALL DEPENDS ${CROWDFIRE_ICON_FILES} ${CROWDFIRE_COMPRESSED_DOCS})
foreach(generated crowdfire_art_assets crowdfire_sound_assets)
  if(TARGET ${generated})
    add_dependencies(crowdfire_packaging ${generated})
  endif()
endforeach()

install(TARGETS crowdfire_program RUNTIME DESTINATION ${CROWDFIRE_INSTALL_PROGRAMDIR})
install(PROGRAMS ${CROWDFIRE_PACKAGING_DIR}/crowdfire DESTINATION ${CROWDFIRE_INSTALL_GAMESDIR})
list(TRANSFORM CROWDFIRE_BITMAPS PREPEND ${CROWDFIRE_RUN_DIR}/ OUTPUT_VARIABLE bitmap_paths)
list(TRANSFORM CROWDFIRE_SOUNDS PREPEND ${CROWDFIRE_RUN_DIR}/ OUTPUT_VARIABLE sound_paths)
install(FILES ${bitmap_paths} DESTINATION ${CROWDFIRE_INSTALL_DATADIR})
install(FILES ${sound_paths} DESTINATION ${CROWDFIRE_INSTALL_DATADIR}/Sound)
install(FILES ${CROWDFIRE_PACKAGING_DIR}/${CROWDFIRE_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
install(DIRECTORY ${CROWDFIRE_ICON_DIR}/hicolor DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons)
install(FILES ${CROWDFIRE_PACKAGING_DIR}/crowdfire.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CROWDFIRE_PACKAGING_DIR}/changelog.gz ${PROJECT_SOURCE_DIR}/packaging/copyright
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The desktop entry names the launcher by its absolute path, and the prefix is only
# known for sure at install time (cpack installs into /usr whatever was configured).
install(CODE "
  set(CROWDFIRE_DESKTOP_TEMPLATE \"${PROJECT_SOURCE_DIR}/packaging/crowdfire.desktop.in\")
  set(CROWDFIRE_DESKTOP_OUTPUT \"${CROWDFIRE_PACKAGING_DIR}/install/${CROWDFIRE_APP_ID}.desktop\")
  set(CROWDFIRE_APP_ID \"${CROWDFIRE_APP_ID}\")
  set(CROWDFIRE_INSTALL_GAMESDIR \"${CROWDFIRE_INSTALL_GAMESDIR}\")
  set(CROWDFIRE_APPLICATIONS_DIR \"${CMAKE_INSTALL_DATAROOTDIR}/applications\")
  include(\"${PROJECT_SOURCE_DIR}/packaging/install-desktop-entry.cmake\")
")

# Debian package: cpack -G DEB in the build directory. CPack packs everything the whole
# build installs, so only a crowdfire built on its own sets it up: a project that builds it
# as one of its parts packs its own way.
if(PROJECT_IS_TOP_LEVEL)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME crowdfire)
  set(CPACK_PACKAGE_VENDOR "The crowdfire developers")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arcade game: shoot and bomb a walking crowd")
  # Each line of the long description becomes one line of the control file.
  string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "A crowd of people walks across a scene twice as wide as the screen. The mouse"
    "aims a crosshair: the left button fires a gun, the right button drops a bomb."
    "Blood and bodies stay on the ground. There is no score and no end: the game"
    "runs at 70 frames per second until Escape is pressed."
    "."
    "It shows realistic violence against human figures, with bloodshed and gore.")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CROWDFIRE_PACKAGE_MAINTAINER}")
  # dpkg-shlibdeps reads the libraries the binary links (SDL2, SDL2_mixer, the C++
  # runtime) and declares the packages that provide them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  include(CPack)
endif()

# Tests of the installed result: a staged install that the other tests read, the
# standard validators, the Debian package and, in the normal build, a real game under
# a virtual X server driven by real input events.
if(CROWDFIRE_TESTS)
  set(stage_dir ${PROJECT_BINARY_DIR}/staging)
  set(e2e_dir ${PROJECT_SOURCE_DIR}/tests/e2e)
  add_test(NAME install_staged COMMAND ${CMAKE_COMMAND}
    -DBUILD_DIR=${PROJECT_BINARY_DIR} -DSTAGE_DIR=${stage_dir} -P ${e2e_dir}/stage_install.cmake)
  set_tests_properties(install_staged PROPERTIES FIXTURES_SETUP staged_install)

  add_test(NAME install_layout COMMAND ${e2e_dir}/check_install.sh ${stage_dir} ${CROWDFIRE_APP_ID})
  add_test(NAME desktop_entry_valid COMMAND desktop-file-validate
    ${stage_dir}/usr/share/applications/${CROWDFIRE_APP_ID}.desktop)
  add_test(NAME metainfo_valid COMMAND appstreamcli validate --no-net
    ${stage_dir}/usr/share/metainfo/${CROWDFIRE_APP_ID}.metainfo.xml)
  # The whole tree: metainfo, desktop entry and icons must name each other correctly.
  add_test(NAME metainfo_tree_valid COMMAND appstreamcli validate-tree --no-net ${stage_dir}/usr)
  set_tests_properties(install_layout desktop_entry_valid metainfo_valid metainfo_tree_valid
    PROPERTIES FIXTURES_REQUIRED staged_install)

  add_test(NAME icons_reproducible COMMAND ${e2e_dir}/check_icons.sh $<TARGET_FILE:crowdfire_make_art> ${CROWDFIRE_APP_ID})
  if(PROJECT_IS_TOP_LEVEL)
    add_test(NAME debian_package COMMAND ${e2e_dir}/check_deb.sh
      ${PROJECT_BINARY_DIR} ${PROJECT_BINARY_DIR}/deb-test ${CROWDFIRE_APP_ID})
  endif()

  # Under the sanitizers the game is too slow to walk its crowd at the real pace, and
  # playing it proves nothing the normal build does not.
  if(NOT CROWDFIRE_SANITIZE)
    # Debian's own Python (scripts/install-deps.sh), never a user's shim earlier on PATH.
    find_program(CROWDFIRE_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
    add_test(NAME play_installed_game COMMAND ${CROWDFIRE_PYTHON} ${e2e_dir}/play_test.py
      --stage ${stage_dir} --artifacts ${PROJECT_BINARY_DIR}/e2e)
    # Alone, so that the game keeps its pace on a two-core machine.
    set_tests_properties(play_installed_game PROPERTIES
      FIXTURES_REQUIRED staged_install RUN_SERIAL TRUE TIMEOUT 300)
  endif()

endif()
