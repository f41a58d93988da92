// The small vector operations the model renderer uses, on the Vector3 record of the model data.
#pragma once

#include "assets/vector3.h"

void copyVector3(const Vector3& source, Vector3& destination);
void clearVector3(Vector3& v);
// out = v / |v| (length in double precision); (0,0,0) and result 0 for a zero vector.
// v and out may be the same vector. Returns the length.
float normalizeVector3(const Vector3& v, Vector3& out);
// v = upper-left 3x3 of the column-major matrix m times v.
void transformNormal(const float m[16], Vector3& v);
