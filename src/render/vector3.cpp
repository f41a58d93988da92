// Vector operations of the model renderer.
#include "render/vector3.h"

#include <cmath>

void copyVector3(const Vector3& source, Vector3& destination) { destination = source; }

void clearVector3(Vector3& v) { v = Vector3{}; }

float normalizeVector3(const Vector3& v, Vector3& out)
{
    const float length = static_cast<float>(std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z));
    if (length == 0.0f) {
        out = Vector3{};
        return 0.0f;
    }
    const float inverse = 1.0f / length;
    out = Vector3{v.x * inverse, v.y * inverse, v.z * inverse};
    return length;
}

void transformNormal(const float m[16], Vector3& v)
{
    const Vector3 in = v;
    v.x = in.x * m[0] + in.y * m[4] + in.z * m[8];
    v.y = in.x * m[1] + in.y * m[5] + in.z * m[9];
    v.z = in.x * m[2] + in.y * m[6] + in.z * m[10];
}
