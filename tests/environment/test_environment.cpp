// Every test process runs without a display or a sound card: SDL's offscreen video driver and
// dummy audio driver, unless the caller chose others. Set before main, so that no SDL call
// anywhere in a test can see the machine's real drivers.
#include <cstdlib>

namespace {
const bool driversChosen = [] {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    return true;
}();
}  // namespace
