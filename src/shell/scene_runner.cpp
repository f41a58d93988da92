// Scene runner (not yet running).
#include "shell/scene_runner.h"

bool runScene(const Scene&) { return true; }
bool runDemoSequence() { return true; }
