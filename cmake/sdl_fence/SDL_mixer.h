// The game and the neutral drawing layer build without SDL: only src/sdl/ and src/sound/
// may use it. This file sits first on their include path so that an SDL include there
// stops the build instead of quietly compiling against the system's SDL headers.
#error "SDL is not available here: only the SDL platform (src/sdl/) and the sound layer (src/sound/) may include it"
