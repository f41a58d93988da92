// The credits scene.
#pragma once

#include "shell/scene_runner.h"

bool loadCreditsScene();
bool initCreditsScene();
bool drawCreditsScene(float t);
void cleanupCreditsScene();

extern const Scene creditsScene;
