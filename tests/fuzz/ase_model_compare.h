// Field-by-field comparison of two models, bit for bit (so NaNs compare by their bits), for
// the checks that read the same text two ways and must get the same model.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "assets/ase_model.h"

namespace ase_compare {

template <class T>
bool sameBits(const T& a, const T& b)
{
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

template <class T>
bool sameArray(const std::vector<T>& a, const std::vector<T>& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

inline bool sameTrack(const AnimTrack& a, const AnimTrack& b)
{
    return a.posKeyCount == b.posKeyCount && a.rotKeyCount == b.rotKeyCount && sameArray(a.posKeys, b.posKeys) &&
           sameArray(a.rotKeys, b.rotKeys) && sameArray(a.posFrames, b.posFrames) && sameArray(a.rotFrames, b.rotFrames);
}

// Texture names are left out: every read hands out new ones. Field by field, since the
// record has padding.
inline bool sameMaterial(const AseMaterial& a, const AseMaterial& b)
{
    return sameBits(a.name, b.name) && sameBits(a.className, b.className) && sameBits(a.shine, b.shine) &&
           sameBits(a.shineStrength, b.shineStrength) && sameBits(a.wireSize, b.wireSize) &&
           sameBits(a.transparency, b.transparency) && sameBits(a.selfIllum, b.selfIllum) &&
           sameBits(a.ambient, b.ambient) && sameBits(a.diffuse, b.diffuse) && sameBits(a.specular, b.specular) &&
           a.hasBitmap == b.hasBitmap && sameBits(a.bitmap, b.bitmap) && sameBits(a.uTiling, b.uTiling) &&
           sameBits(a.vTiling, b.vTiling) && sameBits(a.uOffset, b.uOffset) && sameBits(a.vOffset, b.vOffset);
}

inline bool sameObject(const AseObject& a, const AseObject& b)
{
    return a.vertexCount == b.vertexCount && a.faceCount == b.faceCount && a.texFaceCount == b.texFaceCount &&
           a.texVertexCount == b.texVertexCount && a.hasNormals == b.hasNormals && sameBits(a.name, b.name) &&
           sameArray(a.vertices, b.vertices) && sameArray(a.texVertices, b.texVertices) &&
           sameArray(a.vertexNormals, b.vertexNormals) && sameArray(a.faces, b.faces) &&
           a.materialRef == b.materialRef && sameTrack(a.anim, b.anim) && sameBits(a.pivot, b.pivot) &&
           sameBits(a.wireColor, b.wireColor);
}

inline bool sameLight(const AseLight& a, const AseLight& b)
{
    return a.hasTarget == b.hasTarget && sameBits(a.position, b.position) && sameBits(a.target, b.target) &&
           sameBits(a.falloff, b.falloff) && sameBits(a.color, b.color) && sameBits(a.intensity, b.intensity) &&
           sameBits(a.name, b.name) && sameTrack(a.anim, b.anim);
}

inline bool sameCamera(const AseCamera& a, const AseCamera& b)
{
    return sameBits(a.name, b.name) && sameBits(a.position, b.position) && sameBits(a.target, b.target) &&
           sameBits(a.rotAxis, b.rotAxis) && sameBits(a.nearPlane, b.nearPlane) && sameBits(a.farPlane, b.farPlane) &&
           sameBits(a.fov, b.fov) && sameBits(a.targetDistance, b.targetDistance) && sameTrack(a.anim, b.anim);
}

// Empty when the models are the same; otherwise the first part that differs.
inline std::string difference(const AseModel& a, const AseModel& b)
{
    if (a.objectCount != b.objectCount || a.materialCount != b.materialCount || a.lightCount != b.lightCount ||
        a.cameraCount != b.cameraCount)
        return "counts";
    if (a.firstFrame != b.firstFrame || a.lastFrame != b.lastFrame || a.frameSpeed != b.frameSpeed ||
        a.ticksPerFrame != b.ticksPerFrame)
        return "header";
    if (a.materials.size() != b.materials.size() || a.objects.size() != b.objects.size() ||
        a.lights.size() != b.lights.size() || a.cameras.size() != b.cameras.size())
        return "table sizes";
    for (size_t i = 0; i < a.materials.size(); ++i)
        if (!sameMaterial(a.materials[i], b.materials[i])) return "material " + std::to_string(i);
    for (size_t i = 0; i < a.objects.size(); ++i)
        if (!sameObject(a.objects[i], b.objects[i])) return "object " + std::to_string(i);
    for (size_t i = 0; i < a.lights.size(); ++i)
        if (!sameLight(a.lights[i], b.lights[i])) return "light " + std::to_string(i);
    for (size_t i = 0; i < a.cameras.size(); ++i)
        if (!sameCamera(a.cameras[i], b.cameras[i])) return "camera " + std::to_string(i);
    return "";
}

}  // namespace ase_compare
