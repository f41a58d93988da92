// The temple scene.
#pragma once

#include "shell/scene_runner.h"

bool loadTempleScene();
bool initTempleScene();
bool drawTempleScene(float t);
void cleanupTempleScene();

extern const Scene templeScene;
