# Runs at install time (cmake --install, cpack): writes the desktop entry with the
# launcher's final absolute path under the prefix in use, then installs it. DESTDIR is
# not part of that path: it only stages the files.
if(IS_ABSOLUTE "${CROWDFIRE_INSTALL_GAMESDIR}")
  set(CROWDFIRE_LAUNCHER_PATH "${CROWDFIRE_INSTALL_GAMESDIR}/crowdfire")
else()
  set(CROWDFIRE_LAUNCHER_PATH "${CMAKE_INSTALL_PREFIX}/${CROWDFIRE_INSTALL_GAMESDIR}/crowdfire")
endif()
# Exec would need quoting and escaping for anything else; refuse instead of writing an
# entry that starts the wrong thing.
if(NOT CROWDFIRE_LAUNCHER_PATH MATCHES "^[A-Za-z0-9_./+-]+$")
  message(FATAL_ERROR "crowdfire: the launcher path '${CROWDFIRE_LAUNCHER_PATH}' has "
    "characters a desktop entry cannot take unquoted; choose another prefix")
endif()
configure_file("${CROWDFIRE_DESKTOP_TEMPLATE}" "${CROWDFIRE_DESKTOP_OUTPUT}" @ONLY)
file(INSTALL "${CROWDFIRE_DESKTOP_OUTPUT}"
  DESTINATION "${CMAKE_INSTALL_PREFIX}/${CROWDFIRE_APPLICATIONS_DIR}")
