// Every layer but the desktop platform builds without SDL: only src/sdl/ may use it. This
// file sits first on the other layers' include path so that an SDL include there stops the
// build instead of quietly compiling against the system's (or emscripten's) SDL headers.
#error "SDL is not available here: only the SDL platform (src/sdl/) may include it"
