// Model renderer: immediate-mode drawing of an AseModel.
//
// One begin/end pair per triangle; when lit, each corner's normal is turned by the current
// modelview matrix and normalised on the processor before OpenGL applies its own normal
// transformation, which is how the demo's models were lit. The renderer never reads outside a
// table: a frame past a per-frame table takes its nearest entry, an animated track without a
// table holds its first key, a lit object without vertex normals uses its face normals, an
// object without texture vertices is drawn untextured, a material reference past the table
// counts as absent, and a face corner naming no vertex leaves its triangle out.
#include "render/model_renderer.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "render/vector3.h"

namespace {

template <class T>
const T* entryOrNull(const std::vector<T>& table, int32_t index)
{
    if (index < 0 || static_cast<size_t>(index) >= table.size()) return nullptr;
    return &table[static_cast<size_t>(index)];
}

// The per-frame position of a track: the table entry, clamped to the table; the first key's
// value when no table was built. False when the track has no position keys.
bool framePosition(const AnimTrack& track, int frame, Vector3& out)
{
    if (track.posKeyCount == 0 || track.posKeys.empty()) return false;
    if (track.posFrames.empty()) {
        const AnimKey& first = track.posKeys.front();
        out = Vector3{first.value[0], first.value[1], first.value[2]};
        return true;
    }
    const int last = static_cast<int>(track.posFrames.size()) - 1;
    out = track.posFrames[static_cast<size_t>(std::clamp(frame, 0, last))];
    return true;
}

bool frameRotation(const AnimTrack& track, int frame, AxisAngle& out)
{
    if (track.rotKeyCount == 0 || track.rotKeys.empty()) return false;
    if (track.rotFrames.empty()) {
        const AnimKey& first = track.rotKeys.front();
        out = AxisAngle{first.value[0], first.value[1], first.value[2], first.params[3] * 180.0f / 3.1415927f};
        return true;
    }
    const int last = static_cast<int>(track.rotFrames.size()) - 1;
    out = track.rotFrames[static_cast<size_t>(std::clamp(frame, 0, last))];
    return true;
}

void setLights(const AseModel& model, int animate, int frame)
{
    const size_t count = std::min(model.lights.size(), static_cast<size_t>(std::max(model.lightCount, 0)));
    for (size_t i = 0; i < count; ++i) {
        const AseLight& light = model.lights[i];
        // Lights past the eighth all program the last OpenGL light; the last one wins.
        const GLenum id = static_cast<GLenum>(GL_LIGHT0 + std::min<size_t>(i, 7));
        if (!animate) {
            glLightfv(id, GL_POSITION, light.position);
        } else {
            Vector3 p;
            if (framePosition(light.anim, frame, p)) {
                const float position[4] = {p.x, p.y, p.z, light.position[3]};
                glLightfv(id, GL_POSITION, position);
            }
        }
        float ambient[4];
        lightAmbient(light.color, light.intensity, ambient);
        glLightfv(id, GL_AMBIENT, ambient);
        const float diffuse[4] = {light.color[0], light.color[1], light.color[2], 1.0f};
        glLightfv(id, GL_DIFFUSE, diffuse);
        if (light.hasTarget == 1) {
            float direction[4];
            spotDirection(light.position, light.target, direction);
            glLightfv(id, GL_SPOT_DIRECTION, direction);
            glLightf(id, GL_SPOT_CUTOFF, 45.0f);
            glLightf(id, GL_SPOT_EXPONENT, 100.0f);
        }
        glEnable(id);
    }
}

// GL_SHININESS in its integer form: shine times 128, truncated, held to what OpenGL accepts.
GLint shininessOf(float shine)
{
    const float value = shine * 128.0f;
    if (!(value > 0.0f)) return 0;
    if (value >= 128.0f) return 128;
    return static_cast<GLint>(value);
}

void setMaterial(const AseObject& object, const AseMaterial* material, bool textured, bool lit)
{
    const float white[4] = {1, 1, 1, 1};
    if (lit && material) {
        const float ambient[4] = {material->ambient[0], material->ambient[1], material->ambient[2], 1.0f};
        const float diffuse[4] = {material->diffuse[0], material->diffuse[1], material->diffuse[2], 1.0f};
        const float specular[4] = {material->specular[0], material->specular[1], material->specular[2], 1.0f};
        const float emission[4] = {material->diffuse[0], material->diffuse[1], material->diffuse[2],
                                   material->selfIllum};
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, textured ? white : ambient);
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, textured ? white : diffuse);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
        glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emission);
        glMateriali(GL_FRONT_AND_BACK, GL_SHININESS, shininessOf(material->shine));
    } else {
        const float diffuse[4] = {object.wireColor[0], object.wireColor[1], object.wireColor[2], 1.0f};
        const float black[4] = {0, 0, 0, 0};
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, white);
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, white);
        glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, black);
        glMateriali(GL_FRONT_AND_BACK, GL_SHININESS, 0);
    }
}

}  // namespace

void drawAseObject(const AseObject& object, const AseMaterial* material, int polygonMode, int textured,
                   int lit, int faceNormals)
{
    float matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);

    if (polygonMode == 1) glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    else if (polygonMode == 2) glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);

    const size_t vertexCount = std::min(object.vertices.size(), static_cast<size_t>(std::max(object.vertexCount, 0)));
    const size_t faceCount = std::min(object.faces.size(), static_cast<size_t>(std::max(object.faceCount, 0)));
    // Texturing needs a material to bind and texture vertices to send.
    const bool texturing = textured && material && !object.texVertices.empty();
    // Vertex normals only when there is one for every vertex; face normals otherwise.
    const bool useFaceNormals = faceNormals || object.vertexNormals.size() < vertexCount;

    if (texturing) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, material->texture);
    } else if (textured) {
        // Asked for a texture it has no coordinates for: untextured, not with whatever picture
        // the caller left bound, and texturing left off as after a textured draw.
        glDisable(GL_TEXTURE_2D);
    }
    setMaterial(object, material, texturing, lit != 0);

    const float uOffset = material ? material->uOffset : 0.0f;
    const float vOffset = material ? material->vOffset : 0.0f;
    for (size_t f = 0; f < faceCount; ++f) {
        const AseFace& face = object.faces[f];
        const Vector3* corners[3];
        bool complete = true;
        for (int c = 0; c < 3; ++c) {
            corners[c] = face.v[c] >= 0 && static_cast<size_t>(face.v[c]) < vertexCount
                             ? &object.vertices[static_cast<size_t>(face.v[c])]
                             : nullptr;
            complete = complete && corners[c];
        }
        if (!complete) continue;
        glBegin(GL_TRIANGLES);
        for (int c = 0; c < 3; ++c) {
            if (lit) {
                Vector3 normal = useFaceNormals ? face.normal : object.vertexNormals[static_cast<size_t>(face.v[c])];
                transformNormal(matrix, normal);
                normalizeVector3(normal, normal);
                glNormal3f(normal.x, normal.y, normal.z);
            }
            if (texturing) {
                // A corner naming no texture vertex takes the coordinate (0, 0).
                const TexVertex* t = entryOrNull(object.texVertices, face.t[c]);
                glTexCoord2f((t ? t->u : 0.0f) + uOffset, (t ? t->v : 0.0f) + vOffset);
            }
            glVertex3f(corners[c]->x, corners[c]->y, corners[c]->z);
        }
        glEnd();
    }

    if (texturing && material->hasBitmap) glDisable(GL_TEXTURE_2D);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

void drawAseModel(const AseModel& model, int polygonMode, int textured, int lit, int faceNormals, int animate,
                  int frame)
{
    if (!lit) {
        glDisable(GL_LIGHTING);
    } else {
        glEnable(GL_LIGHTING);
        setLights(model, animate, frame);
    }

    const size_t materialCount =
        std::min(model.materials.size(), static_cast<size_t>(std::max(model.materialCount, 0)));
    const size_t objectCount = std::min(model.objects.size(), static_cast<size_t>(std::max(model.objectCount, 0)));
    for (size_t i = 0; i < objectCount; ++i) {
        const AseObject& object = model.objects[i];
        if (animate) {
            glPushMatrix();
            Vector3 p;
            if (framePosition(object.anim, frame, p)) glTranslatef(p.x, p.z, p.y);
            AxisAngle r;
            if (frameRotation(object.anim, frame, r)) {
                glTranslatef(-object.pivot[0], -object.pivot[2], -object.pivot[1]);
                glRotatef(r.angle, r.x, r.z, r.y);
                glTranslatef(object.pivot[0], object.pivot[2], object.pivot[1]);
            }
        }
        // A reference at or past the table counts as absent: the first material, untextured.
        const AseMaterial* material = nullptr;
        int objectTextured = 0;
        if (materialCount > 0 && object.materialRef >= 0 && static_cast<size_t>(object.materialRef) < materialCount) {
            material = &model.materials[static_cast<size_t>(object.materialRef)];
            objectTextured = material->hasBitmap ? textured : 0;
        } else if (materialCount > 0) {
            material = &model.materials[0];
        }
        drawAseObject(object, material, polygonMode, objectTextured, lit, faceNormals);
        if (animate) glPopMatrix();
    }

    if (lit) glDisable(GL_LIGHTING);
}

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
