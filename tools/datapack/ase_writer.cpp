// Writes ASE text. Numbers are printed with four decimals, as exporters write them, and
// blocks are indented with tabs; lights come before the geometry objects, so that a reader
// that gives an object the last node name before the next object keeps each object's own.
#include "ase_writer.h"

#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "image.h"

Point3 operator+(Point3 a, Point3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Point3 operator-(Point3 a, Point3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Point3 operator*(Point3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
Point3 cross(Point3 a, Point3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float dot(Point3 a, Point3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Point3 normalised(Point3 a)
{
    const float l = std::sqrt(dot(a, a));
    return l > 0.0f ? a * (1.0f / l) : Point3{0.0f, 0.0f, 1.0f};
}

void addQuad(Mesh& mesh, Point3 a, Point3 b, Point3 c, Point3 d, Point3 ta, Point3 tb, Point3 tc, Point3 td)
{
    const int base = static_cast<int>(mesh.vertices.size());
    const Point3 n = normalised(cross(b - a, c - a));
    const Point3 corners[] = {a, b, c, d};
    const Point3 tex[] = {ta, tb, tc, td};
    for (int k = 0; k < 4; ++k) {
        mesh.vertices.push_back(corners[k]);
        mesh.texVertices.push_back(tex[k]);
        mesh.vertexNormals.push_back(n);
    }
    mesh.faces.push_back({{base, base + 1, base + 2}, {base, base + 1, base + 2}, 1});
    mesh.faces.push_back({{base, base + 2, base + 3}, {base, base + 2, base + 3}, 1});
}

void addTriangle(Mesh& mesh, Point3 a, Point3 b, Point3 c, Point3 ta, Point3 tb, Point3 tc)
{
    const int base = static_cast<int>(mesh.vertices.size());
    const Point3 n = normalised(cross(b - a, c - a));
    for (const Point3& q : {a, b, c}) {
        mesh.vertices.push_back(q);
        mesh.vertexNormals.push_back(n);
    }
    for (const Point3& q : {ta, tb, tc}) mesh.texVertices.push_back(q);
    mesh.faces.push_back({{base, base + 1, base + 2}, {base, base + 1, base + 2}, 1});
}

void addBox(Mesh& m, Point3 lo, Point3 hi, float texScale, int sides)
{
    const float s = 1.0f / texScale;
    const Point3 p[8] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z},
                         {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}};
    auto t = [&](float a, float b) { return Point3{a * s, b * s, 0.0f}; };
    if (sides & BoxTop) addQuad(m, p[4], p[5], p[6], p[7], t(lo.x, lo.y), t(hi.x, lo.y), t(hi.x, hi.y), t(lo.x, hi.y));
    if (sides & BoxBottom)
        addQuad(m, p[0], p[3], p[2], p[1], t(lo.x, lo.y), t(lo.x, hi.y), t(hi.x, hi.y), t(hi.x, lo.y));
    if (sides & BoxFront)
        addQuad(m, p[0], p[1], p[5], p[4], t(lo.x, lo.z), t(hi.x, lo.z), t(hi.x, hi.z), t(lo.x, hi.z));
    if (sides & BoxBack) addQuad(m, p[2], p[3], p[7], p[6], t(hi.x, lo.z), t(lo.x, lo.z), t(lo.x, hi.z), t(hi.x, hi.z));
    if (sides & BoxLeft) addQuad(m, p[3], p[0], p[4], p[7], t(hi.y, lo.z), t(lo.y, lo.z), t(lo.y, hi.z), t(hi.y, hi.z));
    if (sides & BoxRight)
        addQuad(m, p[1], p[2], p[6], p[5], t(lo.y, lo.z), t(hi.y, lo.z), t(hi.y, hi.z), t(lo.y, hi.z));
}

void addFrustum(Mesh& m, const Frustum& f)
{
    constexpr float pi = 3.14159265358979f;
    const Point3 axis = f.top - f.base;
    const float length = std::sqrt(dot(axis, axis));
    const Point3 d = normalised(axis);
    const Point3 side = normalised(cross(d, std::fabs(d.z) < 0.9f ? Point3{0, 0, 1} : Point3{1, 0, 0}));
    const Point3 up = cross(d, side);
    const float slope = length > 0.0f ? (f.r0 - f.r1) / length : 0.0f;
    const int base = static_cast<int>(m.vertices.size());
    for (int i = 0; i <= f.segments; ++i) {
        const float a = 2.0f * pi * i / f.segments;
        const Point3 radial = side * std::cos(a) + up * std::sin(a);
        const Point3 n = normalised(radial + d * slope);
        const float u = f.uTurns * i / f.segments;
        m.vertices.push_back(f.base + radial * f.r0);
        m.vertices.push_back(f.top + radial * f.r1);
        m.vertexNormals.push_back(n);
        m.vertexNormals.push_back(n);
        m.texVertices.push_back({u, f.v0, 0.0f});
        m.texVertices.push_back({u, f.v1, 0.0f});
    }
    for (int i = 0; i < f.segments; ++i) {
        const int a = base + 2 * i, b = a + 2;
        m.faces.push_back({{a, b, b + 1}, {a, b, b + 1}, 1});
        m.faces.push_back({{a, b + 1, a + 1}, {a, b + 1, a + 1}, 1});
    }
    // Caps: fans round their centres, mapped flat across the disc.
    for (int end = 0; end < 2; ++end) {
        if (!(end == 0 ? f.capBase : f.capTop)) continue;
        const Point3 centre = end == 0 ? f.base : f.top;
        const float r = end == 0 ? f.r0 : f.r1;
        for (int i = 0; i < f.segments; ++i) {
            const float a0 = 2.0f * pi * i / f.segments, a1 = 2.0f * pi * (i + 1) / f.segments;
            const Point3 q0 = centre + (side * std::cos(a0) + up * std::sin(a0)) * r;
            const Point3 q1 = centre + (side * std::cos(a1) + up * std::sin(a1)) * r;
            const Point3 t0{0.5f + 0.5f * std::cos(a0), 0.5f + 0.5f * std::sin(a0), 0.0f};
            const Point3 t1{0.5f + 0.5f * std::cos(a1), 0.5f + 0.5f * std::sin(a1), 0.0f};
            if (end == 0)
                addTriangle(m, centre, q1, q0, {0.5f, 0.5f, 0.0f}, t1, t0);
            else
                addTriangle(m, centre, q0, q1, {0.5f, 0.5f, 0.0f}, t0, t1);
        }
    }
}

Point3 faceNormal(const Mesh& mesh, const MeshFace& face)
{
    const Point3 a = mesh.vertices[face.v[0]], b = mesh.vertices[face.v[1]], c = mesh.vertices[face.v[2]];
    return normalised(cross(b - a, c - a));
}

namespace {
struct Out {
    std::string text;
    void line(int indent, const char* format, ...) __attribute__((format(printf, 3, 4)));
};

void Out::line(int indent, const char* format, ...)
{
    text.append(static_cast<size_t>(indent), '\t');
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    text += buffer;
    text += '\n';
}

// Prints -0.0000 as 0.0000, as exporters do.
float tidy(float v) { return std::fabs(v) < 0.00005f ? 0.0f : v; }

void nodeTransform(Out& o, const std::string& name, Point3 pos)
{
    o.line(1, "*NODE_TM {");
    o.line(2, "*NODE_NAME \"%s\"", name.c_str());
    o.line(2, "*INHERIT_POS 0 0 0");
    o.line(2, "*INHERIT_ROT 0 0 0");
    o.line(2, "*INHERIT_SCL 0 0 0");
    o.line(2, "*TM_ROW0 1.0000\t0.0000\t0.0000");
    o.line(2, "*TM_ROW1 0.0000\t1.0000\t0.0000");
    o.line(2, "*TM_ROW2 0.0000\t0.0000\t1.0000");
    o.line(2, "*TM_ROW3 %.4f\t%.4f\t%.4f", tidy(pos.x), tidy(pos.y), tidy(pos.z));
    o.line(2, "*TM_POS %.4f\t%.4f\t%.4f", tidy(pos.x), tidy(pos.y), tidy(pos.z));
    o.line(2, "*TM_ROTAXIS 0.0000\t0.0000\t0.0000");
    o.line(2, "*TM_ROTANGLE 0.0000");
    o.line(2, "*TM_SCALE 1.0000\t1.0000\t1.0000");
    o.line(2, "*TM_SCALEAXIS 0.0000\t0.0000\t0.0000");
    o.line(2, "*TM_SCALEAXISANG 0.0000");
    o.line(1, "}");
}

void material(Out& o, int index, const MeshMaterial& m)
{
    o.line(1, "*MATERIAL %d {", index);
    o.line(2, "*MATERIAL_NAME \"%s\"", m.name.c_str());
    o.line(2, "*MATERIAL_CLASS \"Standard\"");
    o.line(2, "*MATERIAL_AMBIENT %.4f\t%.4f\t%.4f", m.ambient.x, m.ambient.y, m.ambient.z);
    o.line(2, "*MATERIAL_DIFFUSE %.4f\t%.4f\t%.4f", m.diffuse.x, m.diffuse.y, m.diffuse.z);
    o.line(2, "*MATERIAL_SPECULAR %.4f\t%.4f\t%.4f", m.specular.x, m.specular.y, m.specular.z);
    o.line(2, "*MATERIAL_SHINE %.4f", m.shine);
    o.line(2, "*MATERIAL_SHINESTRENGTH %.4f", m.shineStrength);
    o.line(2, "*MATERIAL_TRANSPARENCY 0.0000");
    o.line(2, "*MATERIAL_WIRESIZE 1.0000");
    o.line(2, "*MATERIAL_SHADING Blinn");
    o.line(2, "*MATERIAL_XP_FALLOFF 0.0000");
    o.line(2, "*MATERIAL_SELFILLUM 0.0000");
    o.line(2, "*MATERIAL_FALLOFF In");
    o.line(2, "*MATERIAL_XP_TYPE Filter");
    if (!m.bitmap.empty()) {
        o.line(2, "*MAP_DIFFUSE {");
        o.line(3, "*MAP_NAME \"%sMap\"", m.name.c_str());
        o.line(3, "*MAP_CLASS \"Bitmap\"");
        o.line(3, "*MAP_SUBNO 1");
        o.line(3, "*MAP_AMOUNT 1.0000");
        o.line(3, "*BITMAP \"%s\"", m.bitmap.c_str());
        o.line(3, "*MAP_TYPE Screen");
        o.line(3, "*UVW_U_OFFSET 0.0000");
        o.line(3, "*UVW_V_OFFSET 0.0000");
        o.line(3, "*UVW_U_TILING %.4f", m.uTiling);
        o.line(3, "*UVW_V_TILING %.4f", m.vTiling);
        o.line(3, "*UVW_ANGLE 0.0000");
        o.line(3, "*UVW_BLUR 1.0000");
        o.line(3, "*UVW_BLUR_OFFSET 0.0000");
        o.line(3, "*UVW_NOUSE_AMT 1.0000");
        o.line(3, "*UVW_NOISE_SIZE 1.0000");
        o.line(3, "*UVW_NOISE_LEVEL 1");
        o.line(3, "*UVW_NOISE_PHASE 0.0000");
        o.line(3, "*BITMAP_FILTER Pyramidal");
        o.line(2, "}");
    }
    o.line(1, "}");
}

void light(Out& o, const MeshLight& l)
{
    o.line(0, "*LIGHTOBJECT {");
    o.line(1, "*NODE_NAME \"%s\"", l.name.c_str());
    o.line(1, "*LIGHT_TYPE Omni");
    nodeTransform(o, l.name, l.position);
    o.line(1, "*LIGHT_SHADOWS Off");
    o.line(1, "*LIGHT_USELIGHT 1");
    o.line(1, "*LIGHT_SPOTSHAPE Circle");
    o.line(1, "*LIGHT_USEGLOBAL 0");
    o.line(1, "*LIGHT_ABSMAPBIAS 0");
    o.line(1, "*LIGHT_OVERSHOOT 0");
    o.line(1, "*LIGHT_SETTINGS {");
    o.line(2, "*TIMEVALUE 0");
    o.line(2, "*LIGHT_COLOR %.4f\t%.4f\t%.4f", l.colour.x, l.colour.y, l.colour.z);
    o.line(2, "*LIGHT_INTENS %.4f", l.intensity);
    o.line(2, "*LIGHT_ASPECT -1.0000");
    o.line(2, "*LIGHT_TDIST -1.0000");
    o.line(2, "*LIGHT_MAPBIAS 1.0000");
    o.line(2, "*LIGHT_MAPRANGE 4.0000");
    o.line(2, "*LIGHT_MAPSIZE 512");
    o.line(2, "*LIGHT_RAYBIAS 0.0000");
    o.line(1, "}");
    o.line(0, "}");
}

void geometry(Out& o, const Mesh& m)
{
    o.line(0, "*GEOMOBJECT {");
    o.line(1, "*NODE_NAME \"%s\"", m.name.c_str());
    nodeTransform(o, m.name, {});
    o.line(1, "*MESH {");
    o.line(2, "*TIMEVALUE 0");
    o.line(2, "*MESH_NUMVERTEX %zu", m.vertices.size());
    o.line(2, "*MESH_NUMFACES %zu", m.faces.size());
    o.line(2, "*MESH_VERTEX_LIST {");
    for (size_t i = 0; i < m.vertices.size(); ++i)
        o.line(3, "*MESH_VERTEX %4zu\t%.4f\t%.4f\t%.4f", i, tidy(m.vertices[i].x), tidy(m.vertices[i].y),
               tidy(m.vertices[i].z));
    o.line(2, "}");
    o.line(2, "*MESH_FACE_LIST {");
    for (size_t i = 0; i < m.faces.size(); ++i) {
        const MeshFace& f = m.faces[i];
        o.line(3, "*MESH_FACE %4zu:    A: %4d B: %4d C: %4d AB:    1 BC:    1 CA:    1\t *MESH_SMOOTHING %d \t*MESH_MTLID 0",
               i, f.v[0], f.v[1], f.v[2], f.smoothing);
    }
    o.line(2, "}");
    if (!m.texVertices.empty()) {
        o.line(2, "*MESH_NUMTVERTEX %zu", m.texVertices.size());
        o.line(2, "*MESH_TVERTLIST {");
        for (size_t i = 0; i < m.texVertices.size(); ++i)
            o.line(3, "*MESH_TVERT %zu\t%.4f\t%.4f\t%.4f", i, tidy(m.texVertices[i].x), tidy(m.texVertices[i].y),
                   tidy(m.texVertices[i].z));
        o.line(2, "}");
        o.line(2, "*MESH_NUMTVFACES %zu", m.faces.size());
        o.line(2, "*MESH_TFACELIST {");
        for (size_t i = 0; i < m.faces.size(); ++i)
            o.line(3, "*MESH_TFACE %zu\t%d\t%d\t%d", i, m.faces[i].t[0], m.faces[i].t[1], m.faces[i].t[2]);
        o.line(2, "}");
    }
    o.line(2, "*MESH_NUMCVERTEX 0");
    if (!m.vertexNormals.empty()) {
        o.line(2, "*MESH_NORMALS {");
        for (size_t i = 0; i < m.faces.size(); ++i) {
            const MeshFace& f = m.faces[i];
            const Point3 n = faceNormal(m, f);
            o.line(3, "*MESH_FACENORMAL %zu\t%.4f\t%.4f\t%.4f", i, tidy(n.x), tidy(n.y), tidy(n.z));
            for (int k = 0; k < 3; ++k) {
                const Point3 vn = m.vertexNormals[f.v[k]];
                o.line(4, "*MESH_VERTEXNORMAL %d\t%.4f\t%.4f\t%.4f", f.v[k], tidy(vn.x), tidy(vn.y), tidy(vn.z));
            }
        }
        o.line(2, "}");
    }
    o.line(1, "}");
    o.line(1, "*PROP_MOTIONBLUR 0");
    o.line(1, "*PROP_CASTSHADOW 1");
    o.line(1, "*PROP_RECVSHADOW 1");
    o.line(1, "*MATERIAL_REF %d", m.materialRef);
    o.line(1, "*WIREFRAME_COLOR %.4f\t%.4f\t%.4f", m.wireColour.x, m.wireColour.y, m.wireColour.z);
    o.line(0, "}");
}
}  // namespace

std::string aseText(const MeshScene& scene)
{
    Out o;
    o.line(0, "*3DSMAX_ASCIIEXPORT\t200");
    o.line(0, "*COMMENT \"AsciiExport Version  2.00\"");
    o.line(0, "*SCENE {");
    o.line(1, "*SCENE_FILENAME \"%s\"", scene.fileName.c_str());
    o.line(1, "*SCENE_FIRSTFRAME 0");
    o.line(1, "*SCENE_LASTFRAME 100");
    o.line(1, "*SCENE_FRAMESPEED 30");
    o.line(1, "*SCENE_TICKSPERFRAME 160");
    o.line(1, "*SCENE_BACKGROUND_STATIC 0.0000\t0.0000\t0.0000");
    o.line(1, "*SCENE_AMBIENT_STATIC 0.0000\t0.0000\t0.0000");
    o.line(0, "}");
    o.line(0, "*MATERIAL_LIST {");
    o.line(1, "*MATERIAL_COUNT %zu", scene.materials.size());
    for (size_t i = 0; i < scene.materials.size(); ++i) material(o, static_cast<int>(i), scene.materials[i]);
    o.line(0, "}");
    for (const MeshLight& l : scene.lights) light(o, l);
    for (const Mesh& m : scene.meshes) geometry(o, m);
    return o.text;
}

bool writeAse(const std::string& path, const MeshScene& scene)
{
    const std::string text = aseText(scene);
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return writeFailed(path);
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0 || !written) return writeFailed(path);
    return true;
}
