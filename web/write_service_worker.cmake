# Writes SITE_DIR/sw.js from TEMPLATE: the list of every file in the site (what a player's
# browser keeps for playing offline) and the name of the cache that holds them, made from
# a hash of those files' names and bytes. A build that changes any file gets a new name,
# so the browser installs it as a new service worker with a cache of its own and never
# mixes the files of two builds.
#   cmake -DSITE_DIR=build-web/site -DTEMPLATE=web/service_worker.js.in -P write_service_worker.cmake
cmake_minimum_required(VERSION 3.22)
if(NOT IS_DIRECTORY "${SITE_DIR}" OR NOT EXISTS "${TEMPLATE}")
  message(FATAL_ERROR "usage: cmake -DSITE_DIR=SITE -DTEMPLATE=service_worker.js.in -P write_service_worker.cmake")
endif()

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${SITE_DIR}" "${SITE_DIR}/*")
# The worker itself is fetched by the browser's own update check, never from the cache;
# files a half-finished write left behind are no part of the build.
list(FILTER files EXCLUDE REGEX "^sw\\.js$|(^|/)\\.|\\.part$")
list(SORT files)
if(NOT "index.html" IN_LIST files)
  message(FATAL_ERROR "${SITE_DIR} holds no index.html: nothing to keep for offline play")
endif()

set(fingerprint "")
set(SITE_FILES "  './',\n")  # the address a player opens, which serves index.html
foreach(name ${files})
  if(NOT name MATCHES "^[A-Za-z0-9._/-]+$")
    message(FATAL_ERROR "${SITE_DIR}/${name}: a site file's name may hold only letters, digits, '.', '_', '-' and '/'")
  endif()
  file(SHA256 "${SITE_DIR}/${name}" digest)
  string(APPEND fingerprint "${name} ${digest}\n")
  string(APPEND SITE_FILES "  './${name}',\n")
endforeach()
# The template is part of the build too: a change to the worker's own code is a new build.
file(SHA256 "${TEMPLATE}" digest)
string(APPEND fingerprint "template ${digest}\n")
string(SHA256 BUILD_HASH "${fingerprint}")
string(SUBSTRING "${BUILD_HASH}" 0 16 BUILD_HASH)

# configure_file leaves sw.js alone when nothing changed, so the browser sees no update.
configure_file("${TEMPLATE}" "${SITE_DIR}/sw.js" @ONLY)
