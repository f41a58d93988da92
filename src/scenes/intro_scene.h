// The intro scene.
#pragma once

#include "shell/scene_runner.h"

bool loadIntroScene();
bool initIntroScene();
bool drawIntroScene(float t);
void cleanupIntroScene();

extern const Scene introScene;
