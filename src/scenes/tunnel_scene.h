// The tunnel scene.
#pragma once

#include "shell/scene_runner.h"

bool loadTunnelScene();
bool initTunnelScene();
bool drawTunnelScene(float t);
void cleanupTunnelScene();

extern const Scene tunnelScene;
