# The game's picture and sound files, read from the one list the game itself includes
# (src/game/game_files.h): every quoted name there ending in .BMP is a picture, every one
# ending in .ogg or .mp3 a sound, each as the game names it: a path under the run
# directory (the sounds under Sound/). The art and sound tools, the browser's packs and
# the install all take their file names from here.
#
#   crowdfire_game_files(PICTURES_VAR SOUNDS_VAR)
function(crowdfire_game_files pictures_var sounds_var)
  set(list_file ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../src/game/game_files.h)
  # Configure again when the list changes.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${list_file})
  file(READ ${list_file} text)
  string(REGEX MATCHALL "\"[^\"]+\\.BMP\"" pictures "${text}")
  string(REGEX MATCHALL "\"[^\"]+\\.(ogg|mp3)\"" sounds "${text}")
  list(TRANSFORM pictures REPLACE "\"" "")
  list(TRANSFORM sounds REPLACE "\"" "")
  if(NOT pictures OR NOT sounds)
    message(FATAL_ERROR "crowdfire: no picture or sound file names found in ${list_file}")
  endif()
  set(${pictures_var} ${pictures} PARENT_SCOPE)
  set(${sounds_var} ${sounds} PARENT_SCOPE)
endfunction()
