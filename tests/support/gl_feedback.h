// GL feedback capture for the suites that check vertices themselves: draws under an orthographic
// projection through GL_FEEDBACK and turns the window coordinates back into eye coordinates, so
// a test compares with the values its code sent (modelview permitting).
#pragma once

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <functional>
#include <vector>

#include "assets/ase_model.h"

struct FeedbackVertex {
    float x = 0, y = 0, z = 0;  // eye coordinates
    float r = 0, g = 0, b = 0;  // colour
    float s = 0, t = 0;         // texture coordinates
};

struct FeedbackItem {
    GLenum token = 0;                      // GL_POLYGON_TOKEN, GL_POINT_TOKEN, GL_LINE_TOKEN, ...
    std::vector<FeedbackVertex> vertices;  // none for a pass-through token
    float value = 0;                       // the pass-through value
};

// Eye-space box mapped onto the 800 x 600 viewport; depth covers z from -10 to 10.
struct FeedbackView {
    float left = -1, right = 9, bottom = -1, top = 9;
};

inline std::vector<FeedbackItem> captureFeedback(const std::function<void()>& draw,
                                                 FeedbackView view = {})
{
    constexpr float width = 800, height = 600, zNear = -10, zFar = 10;
    std::vector<GLfloat> buffer(1 << 20);
    glViewport(0, 0, int(width), int(height));
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(view.left, view.right, view.bottom, view.top, zNear, zFar);
    glMatrixMode(GL_MODELVIEW);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    std::vector<FeedbackItem> items;
    GLint i = 0;
    auto vertex = [&]() {
        FeedbackVertex v;
        v.x = view.left + buffer[i] / width * (view.right - view.left);
        v.y = view.bottom + buffer[i + 1] / height * (view.top - view.bottom);
        // glOrtho sends eye z = -zNear to depth 0 and -zFar to depth 1.
        v.z = -(zNear + buffer[i + 2] * (zFar - zNear));
        v.r = buffer[i + 3];
        v.g = buffer[i + 4];
        v.b = buffer[i + 5];
        v.s = buffer[i + 7];
        v.t = buffer[i + 8];
        i += 11;
        return v;
    };
    while (i < used) {
        FeedbackItem item;
        item.token = GLenum(buffer[i++]);
        int count = 0;
        switch (item.token) {
        case GL_POLYGON_TOKEN: count = int(buffer[i++]); break;
        case GL_LINE_TOKEN:
        case GL_LINE_RESET_TOKEN: count = 2; break;
        case GL_PASS_THROUGH_TOKEN: item.value = buffer[i++]; break;
        default: count = 1; break;  // point, bitmap, draw-pixel, copy-pixel
        }
        for (int k = 0; k < count; ++k) item.vertices.push_back(vertex());
        items.push_back(item);
    }
    return items;
}

using GlMatrix = std::array<GLfloat, 16>;

// The model-view matrix the given calls build from identity; the current one is left as it was.
// Lets a test build the transform it expects from its own constants.
inline GlMatrix modelViewFrom(const std::function<void()>& calls)
{
    GlMatrix m{};
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    calls();
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    glPopMatrix();
    return m;
}

// The point (x, y, z) through the column-major matrix m (w taken as 1, projective part ignored).
inline FeedbackVertex transformed(const GlMatrix& m, float x, float y, float z)
{
    FeedbackVertex v;
    v.x = m[0] * x + m[4] * y + m[8] * z + m[12];
    v.y = m[1] * x + m[5] * y + m[9] * z + m[13];
    v.z = m[2] * x + m[6] * y + m[10] * z + m[14];
    return v;
}

// Whether any vertex of the items lies within tolerance of p in every axis.
inline bool hasVertexNear(const std::vector<FeedbackItem>& items, const FeedbackVertex& p, float tolerance)
{
    for (const FeedbackItem& item : items)
        for (const FeedbackVertex& v : item.vertices)
            if (std::fabs(v.x - p.x) < tolerance && std::fabs(v.y - p.y) < tolerance &&
                std::fabs(v.z - p.z) < tolerance)
                return true;
    return false;
}

// A model of one triangle with corners on the three axes at distance size, so that where each
// corner lands shows a transform's placement and turn.
inline AseModel feedbackTriangleModel(float size)
{
    AseModel model;
    model.objectCount = 1;
    model.objects.resize(1);
    AseObject& object = model.objects[0];
    object.vertexCount = 3;
    object.faceCount = 1;
    object.vertices = {{size, 0, 0}, {0, size, 0}, {0, 0, size}};
    object.faces.resize(1);
    object.faces[0].v[1] = 1;
    object.faces[0].v[2] = 2;
    return model;
}
