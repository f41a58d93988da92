// Steady scene frames and synthetic drawing material for the intro and temple suites.
#include "support/scene_frames.h"

#include <GL/gl.h>

#include <cmath>

#include "core/demo_state.h"
#include "render/vector3.h"
#include "support/late_scene_frames.h"

float playFrames(bool (*draw)(float), float from, float to, int fps,
                 const std::function<void(float)>& afterFrame)
{
    long frame = static_cast<long>(std::floor(static_cast<double>(from) * fps));
    while (demoClockTime(frame, fps) > from) --frame;
    demoState.previousFrameTime = demoClockTime(frame, fps);
    float last = demoState.previousFrameTime;
    for (++frame;; ++frame) {
        const float t = demoClockTime(frame, fps);
        if (t > to) break;
        draw(t);
        last = t;
        if (afterFrame) afterFrame(t);
        if (demoState.sceneDone) break;
    }
    return last;
}

AseModel texturedCube(float h, TextureId texture)
{
    AseModel model;
    model.objectCount = 1;
    model.materialCount = 1;
    model.materials.resize(1);
    model.materials[0].hasBitmap = 1;
    model.materials[0].texture = texture;
    model.materials[0].diffuse[0] = model.materials[0].diffuse[1] = model.materials[0].diffuse[2] = 1.0f;
    model.objects.resize(1);
    AseObject& object = model.objects[0];
    object.materialRef = 0;
    for (int i = 0; i < 8; ++i)
        object.vertices.push_back(Vector3{(i & 1) ? h : -h, (i & 2) ? h : -h, (i & 4) ? h : -h});
    object.texVertices = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    // Each face as two triangles of corner indices, with outward normals for lighting.
    const int faces[6][4] = {{0, 1, 3, 2}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 3, 7, 5}};
    for (const auto& q : faces) {
        const int tris[2][3] = {{q[0], q[1], q[2]}, {q[0], q[2], q[3]}};
        const int texs[2][3] = {{0, 1, 2}, {0, 2, 3}};
        for (int k = 0; k < 2; ++k) {
            AseFace f;
            for (int c = 0; c < 3; ++c) {
                f.v[c] = tris[k][c];
                f.t[c] = texs[k][c];
            }
            object.faces.push_back(f);
        }
    }
    // Vertex normals point inwards, towards a camera inside the cube.
    for (const Vector3& v : object.vertices) {
        Vector3 n{-v.x, -v.y, -v.z};
        normalizeVector3(n, n);
        object.vertexNormals.push_back(n);
    }
    object.hasNormals = 1;
    object.vertexCount = 8;
    object.texVertexCount = 4;
    object.faceCount = object.texFaceCount = static_cast<int>(object.faces.size());
    return model;
}

void solidTexture(TextureId name, unsigned char r, unsigned char g, unsigned char b)
{
    const unsigned char texels[12] = {r, g, b, r, g, b, r, g, b, r, g, b};
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
}
