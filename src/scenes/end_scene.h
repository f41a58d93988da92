// The end scene.
#pragma once

#include "shell/scene_runner.h"

bool loadEndScene();
bool initEndScene();
bool drawEndScene(float t);
void cleanupEndScene();

extern const Scene endScene;
