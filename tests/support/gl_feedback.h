// GL feedback capture for the suites that check vertices themselves: draws under an orthographic
// projection through GL_FEEDBACK and turns the window coordinates back into eye coordinates, so
// a test compares with the values its code sent (modelview permitting).
#pragma once

#include <GL/gl.h>

#include <functional>
#include <vector>

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
