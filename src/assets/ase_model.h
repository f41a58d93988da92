// Model records: everything one ASE scene export yields.
//
// Plain records of plain arrays, sized once from the counts the reader finds. Mesh vertices
// and normals are stored in the renderer's axes (file X, Y, Z becomes X, Z, -Y); every other
// triple is kept in file order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "assets/tga_loader.h"
#include "assets/vector3.h"

constexpr int aseNameSize = 255;

struct TexVertex {
    float u = 0.0f;  // already multiplied by the material's tiling
    float v = 0.0f;
};

struct AseFace {
    int32_t v[3] = {0, 0, 0};  // vertex indices A, B, C
    int32_t t[3] = {0, 0, 0};  // texture-vertex indices
    Vector3 normal;            // face normal, renderer axes
    int32_t materialId = 0;    // *MESH_MTLID, stored only
};

struct AnimKey {
    int32_t time = 0;             // ticks
    float value[3] = {0, 0, 0};   // position, or rotation axis
    float params[6] = {0, 0, 0, 0, 0, 0};  // params[3]: rotation angle in radians
    int32_t flags = 0;
};

struct AxisAngle {
    float x = 0.0f, y = 0.0f, z = 0.0f;  // axis, file order, not normalised
    float angle = 0.0f;                  // degrees
};

struct AnimTrack {
    int32_t posKeyCount = 0;
    int32_t rotKeyCount = 0;
    std::vector<AnimKey> posKeys;
    std::vector<AnimKey> rotKeys;
    std::vector<Vector3> posFrames;    // one per frame, built after loading the node
    std::vector<AxisAngle> rotFrames;
};

struct AseMaterial {
    char name[aseNameSize] = {};
    char className[aseNameSize] = {};
    float shine = 0.0f;          // times 128 gives the GL shininess
    float shineStrength = 0.0f;
    float wireSize = 0.0f;
    float transparency = 0.0f;
    float selfIllum = 0.0f;
    float ambient[3] = {0, 0, 0};
    float diffuse[3] = {0, 0, 0};
    float specular[3] = {0, 0, 0};
    int32_t hasBitmap = 0;
    char bitmap[aseNameSize] = {};  // path as read
    TextureId texture = 0;          // distinct name given when *BITMAP is read
    float uTiling = 0.0f;           // 0, not 1, when absent
    float vTiling = 0.0f;
    float uOffset = 0.0f;
    float vOffset = 0.0f;
};

struct AseObject {
    int32_t vertexCount = 0;
    int32_t faceCount = 0;
    int32_t texFaceCount = 0;
    int32_t texVertexCount = 0;
    int32_t hasNormals = 0;
    char name[aseNameSize] = {};
    std::vector<Vector3> vertices;
    std::vector<TexVertex> texVertices;
    std::vector<Vector3> vertexNormals;
    std::vector<AseFace> faces;
    int32_t materialRef = -1;
    AnimTrack anim;
    float pivot[3] = {0, 0, 0};
    float wireColor[3] = {1, 1, 1};
};

struct AseLight {
    int32_t hasTarget = 0;
    float position[4] = {0, 0, 0, 0};  // w stays 0: every light is directional
    float target[4] = {0, 0, 0, 0};
    float falloff = 0.0f;
    float color[4] = {0, 0, 0, 1};
    float intensity = 0.0f;
    char name[aseNameSize] = {};
    AnimTrack anim;
};

struct AseCamera {
    char name[aseNameSize] = {};
    float position[3] = {0, 0, 0};
    float target[3] = {0, 0, 0};
    float rotAxis[3] = {0, 0, 0};
    float nearPlane = 0.0f;
    float farPlane = 0.0f;
    float fov = 0.0f;
    float targetDistance = 0.0f;
    AnimTrack anim;
};

struct AseModel {
    int32_t objectCount = 0;
    int32_t materialCount = 0;
    int32_t lightCount = 0;
    int32_t cameraCount = 0;
    int32_t firstFrame = 0;
    int32_t lastFrame = 0;
    int32_t frameSpeed = 0;
    int32_t ticksPerFrame = 0;
    std::vector<AseMaterial> materials;
    std::vector<AseObject> objects;
    std::vector<AseLight> lights;
    std::vector<AseCamera> cameras;
};

// Material texture names come from one program-wide counter that starts far above the scenes'
// fixed names (0, 1001..5001) and the few names glGenTextures hands out for blank textures.
constexpr TextureId aseFirstMaterialTexture = 0x100000;
// The next unused material texture name.
TextureId nextMaterialTexture();

// Sizes an object's arrays from its counts (texture vertices and normals only when present).
// A negative count is taken as 0.
void allocateObjectArrays(AseObject& object);
// Uploads the material's bitmap under its texture name when it names one, with the path as
// written (relative to the working directory); a bitmap that does not resolve as written (an
// absolute path of the exporting machine, say) is looked up by its file name in the model
// file's folder. modelPath may be null. The loader's status is ignored.
void loadMaterialTexture(AseMaterial& material, const char* modelPath);
// The path loadMaterialTexture opens for bitmap: bitmap itself when it resolves as written,
// else the file of that name beside modelPath when that exists, else bitmap unchanged.
std::string resolveBitmapPath(const char* bitmap, const char* modelPath);
// Frees every object's geometry arrays and the material table. Deletes no GL texture.
void releaseAseModel(AseModel& model);
