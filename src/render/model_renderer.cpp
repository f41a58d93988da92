// Model renderer (not yet drawing).
#include "render/model_renderer.h"

void drawAseModel(const AseModel&, int, int, int, int, int, int) {}
void drawAseObject(const AseObject&, const AseMaterial*, int, int, int, int) {}
void lightAmbient(const float color[4], float intensity, float out[4])
{
    for (int i = 0; i < 3; ++i) out[i] = color[i] - (1.0f - intensity);
    out[3] = color[3];
}
void spotDirection(const float position[4], const float target[4], float out[4])
{
    for (int i = 0; i < 3; ++i) out[i] = target[i] - position[i];
    out[3] = 1.0f;
}
