# The game's version, read by both builds before their project() (the desktop's at the top
# of the tree and the browser's in web/): the package, --version and the game's own files
# all take it from here.
set(CROWDFIRE_VERSION 1.0.0)
