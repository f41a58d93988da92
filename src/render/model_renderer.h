// Model renderer: draws an AseModel in immediate mode, lit by its own lights and textured by
// its materials, optionally placing each object by its per-frame animation tables.
#pragma once

#include "assets/ase_model.h"

// polygonMode 1: fill, 2: outlines, other values leave the mode alone.
void drawAseModel(const AseModel& model, int polygonMode, int textured, int lit, int faceNormals,
                  int animate, int frame);
// material may be null.
void drawAseObject(const AseObject& object, const AseMaterial* material, int polygonMode,
                   int textured, int lit, int faceNormals);
// out rgb = colour - (1 - intensity), out alpha = colour alpha.
void lightAmbient(const float color[4], float intensity, float out[4]);
// out xyz = target - position, out w = 1.
void spotDirection(const float position[4], const float target[4], float out[4]);
