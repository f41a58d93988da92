// The soundtrack (not yet composed).
#include "music_module.h"

bool writeMusicModule(const char*) { return true; }
