// Vector3: three floats, the one record the model data and the renderer share. It lives with
// the model records, the lower of the two layers, so both see it; its operations (copy, clear,
// normalise, transform) belong to the renderer and are declared in render/vector3.h.
#pragma once

struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};
