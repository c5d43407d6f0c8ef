# Installs the build into a fresh staging root, exactly as a packager would:
#   cmake -DBUILD_DIR=... -DSTAGE_DIR=... -P stage_install.cmake
# The prefix is /usr, as in the Debian package; DESTDIR keeps everything under STAGE_DIR.
foreach(required BUILD_DIR STAGE_DIR)
  if(NOT ${required})
    message(FATAL_ERROR "stage_install: ${required} is not set")
  endif()
endforeach()
file(REMOVE_RECURSE "${STAGE_DIR}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env "DESTDIR=${STAGE_DIR}"
    ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix /usr
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "stage_install: cmake --install failed (${result})")
endif()
