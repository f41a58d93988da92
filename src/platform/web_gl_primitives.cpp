// The browser's GL layer, drawing side: vertices between glBegin and glEnd are gathered here,
// lit on the CPU when GL_LIGHTING is on, and handed to the emulation as triangles, lines or
// points, so that quad strips, wireframe polygons, edge flags, emission, spot and positional
// lights look as the fixed pipeline draws them.
#include "platform/web_gl_state.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace {
struct Vertex {
    float position[3];
    float colour[4];
    float texCoord[2];
    bool edge;
};

GLenum primitive = 0;        // the glBegin mode, 0 outside glBegin / glEnd
std::vector<Vertex> vertices;
float modelview[16];         // column-major, as OpenGL reads it back
float normalMatrix[9];       // inverse of the modelview's upper 3 x 3, row-major
bool lit = false;


void transformPoint(const float* m, const float* v, float* out)
{
    for (int r = 0; r < 4; ++r) out[r] = m[r] * v[0] + m[4 + r] * v[1] + m[8 + r] * v[2] + m[12 + r] * v[3];
}

// The inverse of the upper 3 x 3 of the column-major m, row-major; identity when singular.
void inverseUpper3(const float* m, float* inv)
{
    const double a = m[0], b = m[4], c = m[8], d = m[1], e = m[5], f = m[9], g = m[2], h = m[6], i = m[10];
    const double det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    if (std::fabs(det) < 1e-30) {
        const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
        std::memcpy(inv, identity, sizeof identity);
        return;
    }
    const double k = 1.0 / det;
    const double out[9] = {(e * i - f * h) * k, (c * h - b * i) * k, (b * f - c * e) * k,
                           (f * g - d * i) * k, (a * i - c * g) * k, (c * d - a * f) * k,
                           (d * h - e * g) * k, (b * g - a * h) * k, (a * e - b * d) * k};
    for (int n = 0; n < 9; ++n) inv[n] = static_cast<float>(out[n]);
}

float clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

void emitVertex(const Vertex& v)
{
    glColor4f(v.colour[0], v.colour[1], v.colour[2], v.colour[3]);
    glTexCoord2f(v.texCoord[0], v.texCoord[1]);
    glVertex3f(v.position[0], v.position[1], v.position[2]);
}

// True when the polygon of the given vertices faces the viewer in window space (glFrontFace).
bool facesFront(const std::vector<int>& loop, const float* projection)
{
    double area = 0.0;
    std::vector<std::array<double, 2>> window(loop.size());
    for (size_t n = 0; n < loop.size(); ++n) {
        const float* p = vertices[loop[n]].position;
        const float object[4] = {p[0], p[1], p[2], 1.0f};
        float eye[4], clip[4];
        transformPoint(modelview, object, eye);
        transformPoint(projection, eye, clip);
        const double w = std::fabs(clip[3]) > 1e-12 ? clip[3] : 1e-12;
        window[n] = {clip[0] / w, clip[1] / w};
    }
    for (size_t n = 0; n < loop.size(); ++n) {
        const auto& p = window[n];
        const auto& q = window[(n + 1) % loop.size()];
        area += p[0] * q[1] - q[0] * p[1];
    }
    return webGlState.frontFace == GL_CW ? area < 0.0 : area > 0.0;
}

// The polygons of the gathered primitive, each as its vertices in order.
std::vector<std::vector<int>> polygonsOf(GLenum mode, int count)
{
    std::vector<std::vector<int>> polygons;
    switch (mode) {
        case GL_TRIANGLES:
            for (int i = 0; i + 2 < count; i += 3) polygons.push_back({i, i + 1, i + 2});
            break;
        case GL_TRIANGLE_STRIP:
            for (int i = 0; i + 2 < count; ++i)
                polygons.push_back(i % 2 == 0 ? std::vector<int>{i, i + 1, i + 2}
                                              : std::vector<int>{i + 1, i, i + 2});
            break;
        case GL_TRIANGLE_FAN:
            for (int i = 1; i + 1 < count; ++i) polygons.push_back({0, i, i + 1});
            break;
        case GL_QUADS:
            for (int i = 0; i + 3 < count; i += 4) polygons.push_back({i, i + 1, i + 2, i + 3});
            break;
        case GL_QUAD_STRIP:
            for (int i = 0; i + 3 < count; i += 2) polygons.push_back({i, i + 1, i + 3, i + 2});
            break;
        case GL_POLYGON:
            if (count >= 3) {
                polygons.emplace_back();
                for (int i = 0; i < count; ++i) polygons.back().push_back(i);
            }
            break;
        default: break;
    }
    return polygons;
}

void drawPolygons()
{
    const bool edgeFlagsApply =
        primitive == GL_TRIANGLES || primitive == GL_QUADS || primitive == GL_POLYGON;
    const bool anyLines = webGlState.polygonFront != GL_FILL || webGlState.polygonBack != GL_FILL;
    const bool cull = webGlState.enabled[CapCullFace];
    float projection[16];
    const bool needFacing = anyLines && (cull || webGlState.polygonFront != webGlState.polygonBack);
    if (needFacing) glGetFloatv(GL_PROJECTION_MATRIX, projection);
    if (needFacing && !lit) glGetFloatv(GL_MODELVIEW_MATRIX, modelview);

    std::vector<int> triangles, lines, points;
    for (const std::vector<int>& loop : polygonsOf(primitive, static_cast<int>(vertices.size()))) {
        GLenum mode = webGlState.polygonFront;
        if (needFacing) {
            const bool front = facesFront(loop, projection);
            const GLenum culled = webGlState.cullFace;
            // Filled polygons are culled by the emulation itself; outlines here.
            if (cull && mode != GL_FILL &&
                (culled == GL_FRONT_AND_BACK || (culled == GL_BACK) == !front))
                continue;
            mode = front ? webGlState.polygonFront : webGlState.polygonBack;
        }
        if (mode == GL_FILL) {
            for (size_t n = 1; n + 1 < loop.size(); ++n) {
                triangles.push_back(loop[0]);
                triangles.push_back(loop[n]);
                triangles.push_back(loop[n + 1]);
            }
        } else if (mode == GL_LINE) {
            for (size_t n = 0; n < loop.size(); ++n) {
                if (edgeFlagsApply && !vertices[loop[n]].edge) continue;
                lines.push_back(loop[n]);
                lines.push_back(loop[(n + 1) % loop.size()]);
            }
        } else {
            for (size_t n = 0; n < loop.size(); ++n)
                if (!edgeFlagsApply || vertices[loop[n]].edge) points.push_back(loop[n]);
        }
    }
    auto draw = [](GLenum mode, const std::vector<int>& indices) {
        if (indices.empty()) return;
        glBegin(mode);
        for (int index : indices) emitVertex(vertices[index]);
        glEnd();
    };
    draw(GL_TRIANGLES, triangles);
    draw(GL_LINES, lines);
    draw(GL_POINTS, points);
}
}  // namespace

void webGlLightVertex(const float eye[3], const float n[3], float colour[4])
{
    const WebGlMaterial& m = webGlState.material;
    float sum[3];
    for (int c = 0; c < 3; ++c) sum[c] = m.emission[c] + m.ambient[c] * webGlState.modelAmbient[c];
    for (int i = 0; i < webGlLightCount; ++i) {
        if (!webGlState.enabled[CapLight0 + i]) continue;
        const WebGlLight& light = webGlState.lights[i];
        float toLight[3];
        float attenuation = 1.0f;
        if (light.position[3] != 0.0f) {
            for (int c = 0; c < 3; ++c) toLight[c] = light.position[c] / light.position[3] - eye[c];
            const float distance = std::sqrt(toLight[0] * toLight[0] + toLight[1] * toLight[1] +
                                             toLight[2] * toLight[2]);
            if (distance > 0.0f)
                for (float& c : toLight) c /= distance;
            const float k = light.attenuation[0] + light.attenuation[1] * distance +
                            light.attenuation[2] * distance * distance;
            attenuation = k > 0.0f ? 1.0f / k : 1.0f;
        } else {
            std::memcpy(toLight, light.position, sizeof toLight);
            const float length = std::sqrt(toLight[0] * toLight[0] + toLight[1] * toLight[1] +
                                           toLight[2] * toLight[2]);
            if (length > 0.0f)
                for (float& c : toLight) c /= length;
        }
        float spot = 1.0f;
        if (light.spotCutoff != 180.0f) {
            const float* d = light.spotDirection;
            const float length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
            const float cosine = length > 0.0f
                                     ? -(toLight[0] * d[0] + toLight[1] * d[1] + toLight[2] * d[2]) / length
                                     : 0.0f;
            const float limit = std::cos(light.spotCutoff * 3.14159265358979f / 180.0f);
            spot = cosine >= limit ? std::pow(std::max(cosine, 0.0f), light.spotExponent) : 0.0f;
        }
        const float factor = attenuation * spot;
        if (factor == 0.0f) continue;
        const float diffuse = n[0] * toLight[0] + n[1] * toLight[1] + n[2] * toLight[2];
        float specular = 0.0f;
        if (diffuse > 0.0f) {
            // The viewer at infinity: the half vector between the light and (0, 0, 1).
            float half[3] = {toLight[0], toLight[1], toLight[2] + 1.0f};
            const float length = std::sqrt(half[0] * half[0] + half[1] * half[1] + half[2] * half[2]);
            if (length > 0.0f)
                for (float& c : half) c /= length;
            const float angle = n[0] * half[0] + n[1] * half[1] + n[2] * half[2];
            if (angle > 0.0f) specular = m.shininess > 0.0f ? std::pow(angle, m.shininess) : 1.0f;
        }
        for (int c = 0; c < 3; ++c)
            sum[c] += factor * (m.ambient[c] * light.ambient[c] +
                                std::max(diffuse, 0.0f) * m.diffuse[c] * light.diffuse[c] +
                                specular * m.specular[c] * light.specular[c]);
    }
    for (int c = 0; c < 3; ++c) colour[c] = clamp01(sum[c]);
    colour[3] = clamp01(m.diffuse[3]);
}

void webGlBegin(GLenum mode)
{
    WEB_GL_RECORD(webGlBegin(mode));
    primitive = mode;
    vertices.clear();
    lit = webGlState.enabled[CapLighting];
    if (lit) {
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
        inverseUpper3(modelview, normalMatrix);
    }
}

void webGlEnd()
{
    WEB_GL_RECORD(webGlEnd());
    if (primitive == 0) return;
    if (primitive == GL_POINTS || primitive == GL_LINES || primitive == GL_LINE_STRIP ||
        primitive == GL_LINE_LOOP) {
        glBegin(primitive);
        for (const Vertex& v : vertices) emitVertex(v);
        glEnd();
    } else {
        drawPolygons();
    }
    primitive = 0;
    vertices.clear();
}

void webGlVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    WEB_GL_RECORD(webGlVertex3f(x, y, z));
    if (primitive == 0) return;
    Vertex v{{x, y, z}, {}, {webGlState.texCoord[0], webGlState.texCoord[1]}, webGlState.edgeFlag};
    if (lit) {
        const float object[4] = {x, y, z, 1.0f};
        float eye[4];
        transformPoint(modelview, object, eye);
        // The normal times the inverse modelview: n' = n M^-1 with n as a row.
        const float* a = webGlState.normal;
        const float* k = normalMatrix;
        const float n[3] = {a[0] * k[0] + a[1] * k[3] + a[2] * k[6], a[0] * k[1] + a[1] * k[4] + a[2] * k[7],
                            a[0] * k[2] + a[1] * k[5] + a[2] * k[8]};
        webGlLightVertex(eye, n, v.colour);
    } else {
        std::memcpy(v.colour, webGlState.color, sizeof v.colour);
    }
    vertices.push_back(v);
}

void webGlVertex2f(GLfloat x, GLfloat y) { webGlVertex3f(x, y, 0.0f); }
void webGlVertex3dv(const GLdouble* v)
{
    webGlVertex3f(static_cast<GLfloat>(v[0]), static_cast<GLfloat>(v[1]), static_cast<GLfloat>(v[2]));
}

void webGlNormal3f(GLfloat x, GLfloat y, GLfloat z)
{
    WEB_GL_RECORD(webGlNormal3f(x, y, z));
    webGlState.normal[0] = x;
    webGlState.normal[1] = y;
    webGlState.normal[2] = z;
}

void webGlTexCoord2f(GLfloat s, GLfloat t)
{
    WEB_GL_RECORD(webGlTexCoord2f(s, t));
    webGlState.texCoord[0] = s;
    webGlState.texCoord[1] = t;
}

void webGlColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a)
{
    WEB_GL_RECORD(webGlColor4f(r, g, b, a));
    const float colour[4] = {clamp01(r), clamp01(g), clamp01(b), clamp01(a)};
    std::memcpy(webGlState.color, colour, sizeof colour);
    // The emulation's own current colour too: what it draws outside this layer uses it.
    glColor4f(colour[0], colour[1], colour[2], colour[3]);
}

void webGlColor3f(GLfloat r, GLfloat g, GLfloat b) { webGlColor4f(r, g, b, 1.0f); }

void webGlEdgeFlag(GLboolean flag)
{
    WEB_GL_RECORD(webGlEdgeFlag(flag));
    webGlState.edgeFlag = flag != GL_FALSE;
}

// --- Lights and materials --------------------------------------------------------------------

namespace {
WebGlLight* lightOf(GLenum light)
{
    if (light < GL_LIGHT0 || light >= GL_LIGHT0 + webGlLightCount) return nullptr;
    return &webGlState.lights[light - GL_LIGHT0];
}
}  // namespace

void webGlLightf(GLenum light, GLenum name, GLfloat value)
{
    WEB_GL_RECORD(webGlLightf(light, name, value));
    WebGlLight* l = lightOf(light);
    if (!l) return;
    switch (name) {
        case GL_SPOT_EXPONENT: l->spotExponent = value; break;
        case GL_SPOT_CUTOFF: l->spotCutoff = value; break;
        case GL_CONSTANT_ATTENUATION: l->attenuation[0] = value; break;
        case GL_LINEAR_ATTENUATION: l->attenuation[1] = value; break;
        case GL_QUADRATIC_ATTENUATION: l->attenuation[2] = value; break;
        default: break;
    }
}

void webGlLightfv(GLenum light, GLenum name, const GLfloat* value)
{
    if (!value) return;
    const std::array<float, 4> v{value[0], value[1], value[2],
                                 name == GL_SPOT_DIRECTION ? 0.0f : value[3]};
    WEB_GL_RECORD(webGlLightfv(light, name, v.data()));
    WebGlLight* l = lightOf(light);
    if (!l) return;
    switch (name) {
        case GL_AMBIENT: std::memcpy(l->ambient, v.data(), sizeof l->ambient); break;
        case GL_DIFFUSE: std::memcpy(l->diffuse, v.data(), sizeof l->diffuse); break;
        case GL_SPECULAR: std::memcpy(l->specular, v.data(), sizeof l->specular); break;
        case GL_POSITION:
        case GL_SPOT_DIRECTION: {
            // Into eye space by the modelview in force now, as OpenGL does.
            float m[16], eye[4];
            glGetFloatv(GL_MODELVIEW_MATRIX, m);
            transformPoint(m, v.data(), eye);
            if (name == GL_POSITION) std::memcpy(l->position, eye, sizeof l->position);
            else std::memcpy(l->spotDirection, eye, sizeof l->spotDirection);
            break;
        }
        case GL_SPOT_EXPONENT:
        case GL_SPOT_CUTOFF:
        case GL_CONSTANT_ATTENUATION:
        case GL_LINEAR_ATTENUATION:
        case GL_QUADRATIC_ATTENUATION: webGlLightf(light, name, v[0]); break;
        default: break;
    }
}

void webGlLightModelfv(GLenum name, const GLfloat* value)
{
    if (!value || name != GL_LIGHT_MODEL_AMBIENT) return;
    const std::array<float, 4> v{value[0], value[1], value[2], value[3]};
    WEB_GL_RECORD(webGlLightModelfv(name, v.data()));
    std::memcpy(webGlState.modelAmbient, v.data(), sizeof webGlState.modelAmbient);
}

void webGlMaterialfv(GLenum face, GLenum name, const GLfloat* value)
{
    if (!value) return;
    const std::array<float, 4> v{value[0], value[1], value[2], value[3]};
    WEB_GL_RECORD(webGlMaterialfv(face, name, v.data()));
    // One material serves both faces: lighting is one-sided, which lights back faces with the
    // front material.
    if (face == GL_BACK) return;
    WebGlMaterial& m = webGlState.material;
    switch (name) {
        case GL_AMBIENT: std::memcpy(m.ambient, v.data(), sizeof m.ambient); break;
        case GL_DIFFUSE: std::memcpy(m.diffuse, v.data(), sizeof m.diffuse); break;
        case GL_AMBIENT_AND_DIFFUSE:
            std::memcpy(m.ambient, v.data(), sizeof m.ambient);
            std::memcpy(m.diffuse, v.data(), sizeof m.diffuse);
            break;
        case GL_SPECULAR: std::memcpy(m.specular, v.data(), sizeof m.specular); break;
        case GL_EMISSION: std::memcpy(m.emission, v.data(), sizeof m.emission); break;
        case GL_SHININESS: m.shininess = v[0]; break;
        default: break;
    }
}

void webGlMaterialf(GLenum face, GLenum name, GLfloat value)
{
    const float v[4] = {value, 0, 0, 0};
    if (name == GL_SHININESS) webGlMaterialfv(face, name, v);
}

void webGlMateriali(GLenum face, GLenum name, GLint value)
{
    webGlMaterialf(face, name, static_cast<GLfloat>(value));
}
