// Builds the models in the file axes of the format (Z up) and paints their textures. The
// landscape's light is baked into its texture because it is drawn unlit; the temple and its
// textures have files of their own (temple_model.cpp, temple_textures.cpp); the tunnel's
// texture coordinates run around the tube and along it from 0 at its mouth.
#include "models.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <utility>
#include <vector>

#include "image.h"
#include "palette.h"

namespace {
constexpr float pi = 3.14159265358979f;

// ---- landscape -------------------------------------------------------------------------

constexpr float landHalf = 3000.0f;  // file units from the centre to each edge
constexpr int landCells = 128;        // the finest grid the mesh may use, per side (a power of two)
// Largest height error, in file units, of a left-out vertex. At 100 the mesh has 861 faces
// (2,835 at 50) and the wall's frames look the same: ridges and the hills' outline keep their
// vertices. The landscape pass costs the software renderer per triangle and is a third of an
// intro frame. At 200 (274 faces) the near hills' outline visibly rounds off.
constexpr float landTolerance = 100.0f;

// Low, gently rolling ground at the centre, hills and ridges rising beyond it.
float landHeight(float x, float y)
{
    const float u = (x + landHalf) / (2.0f * landHalf), v = (y + landHalf) / (2.0f * landHalf);
    const float r = std::sqrt(x * x + y * y) / landHalf;
    const float hills = fractalNoise(u * 8.0f, v * 8.0f, 8, 5, 7u);
    const float ridge = 1.0f - std::fabs(2.0f * fractalNoise(u * 4.0f, v * 4.0f, 4, 3, 19u) - 1.0f);
    const float rise = smoothStep(0.06f, 0.55f, r);
    return -20.0f + 60.0f * hills + rise * (900.0f * hills * hills + 450.0f * ridge * ridge) + 250.0f * smoothStep(0.6f, 1.2f, r);
}

Image landscapeTexture()
{
    const int n = 512;
    Image image = makeImage(n, n, paletteNight);
    const Point3 sun = normalised({-0.5f, 0.35f, 0.55f});
    const float step = 2.0f * landHalf / n;
    for (int py = 0; py < n; ++py)
        for (int px = 0; px < n; ++px) {
            // Texture row 0 is stored last: the picture's bottom row is v = 0.
            const float u = (px + 0.5f) / n, v = 1.0f - (py + 0.5f) / n;
            const float x = -landHalf + 2.0f * landHalf * u, y = -landHalf + 2.0f * landHalf * v;
            const float h = landHeight(x, y);
            const float hx = landHeight(x + step, y) - landHeight(x - step, y);
            const float hy = landHeight(x, y + step) - landHeight(x, y - step);
            const Point3 normal = normalised({-hx, -hy, 2.0f * step});
            const float light = 0.3f + 0.85f * std::fmax(0.0f, dot(normal, sun));
            const float slope = 1.0f - normal.z;
            const float t = clamp01(h / 1100.0f);
            Colour c = mixColour({0.10f, 0.30f, 0.32f, 1}, {0.42f, 0.52f, 0.36f, 1}, smoothStep(0.0f, 0.35f, t));
            c = mixColour(c, {0.62f, 0.56f, 0.52f, 1}, smoothStep(0.3f, 0.7f, t));
            c = mixColour(c, {0.55f, 0.48f, 0.45f, 1}, smoothStep(0.15f, 0.5f, slope));
            c = mixColour(c, {0.96f, 0.96f, 1.0f, 1}, smoothStep(0.72f, 0.9f, t) * (1.0f - smoothStep(0.3f, 0.6f, slope)));
            const float grain = 0.85f + 0.3f * fractalNoise(u * 64.0f, v * 64.0f, 64, 3, 5u);
            pixelAt(image, px, py) = {c.r * light * grain, c.g * light * grain, c.b * light * grain, 1.0f};
        }
    return image;
}

// ---- tunnel ----------------------------------------------------------------------------

Image rockTexture()
{
    const int n = 256;
    Image image = makeImage(n, n, paletteNight);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const float u = static_cast<float>(x) / n, v = static_cast<float>(y) / n;
            const float rock = fractalNoise(u * 8.0f, v * 8.0f, 8, 5, 61u);
            Colour c = mixColour({0.05f, 0.06f, 0.16f, 1}, {0.30f, 0.34f, 0.55f, 1}, rock);
            // Panels: seams of teal light across, amber lamps along.
            const float sv = std::fabs(v * 4.0f - std::floor(v * 4.0f) - 0.5f);
            const float su = std::fabs(u * 2.0f - std::floor(u * 2.0f) - 0.5f);
            c = mixColour(c, paletteTeal, smoothStep(0.47f, 0.5f, sv) * 0.9f);
            c = mixColour(c, paletteNight, smoothStep(0.40f, 0.47f, sv) * 0.6f * (1.0f - smoothStep(0.47f, 0.5f, sv)));
            const float lamp = std::exp(-((su - 0.5f) * (su - 0.5f) + (sv - 0.0f) * (sv - 0.0f)) * 300.0f);
            c = mixColour(c, paletteAmber, clamp01(lamp * 1.5f));
            pixelAt(image, x, y) = c;
        }
    return image;
}

// ---- star and bar ----------------------------------------------------------------------

Image starTexture()
{
    const int n = 64;
    Image image = makeImage(n, n, paletteAmber);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const float v = 1.0f - (y + 0.5f) / n;  // 0 at the spike's foot, 1 at its tip
            const float u = (x + 0.5f) / n;
            Colour c = mixColour({0.9f, 0.45f, 0.12f, 1}, {1.0f, 0.98f, 0.9f, 1}, smoothStep(0.2f, 0.95f, v));
            c = mixColour(c, {1.0f, 0.8f, 0.4f, 1}, 0.3f * std::exp(-(u - 0.5f) * (u - 0.5f) * 40.0f));
            pixelAt(image, x, y) = c;
        }
    return image;
}

Image barTexture()
{
    const int w = 256, h = 32;
    Image image = makeImage(w, h, {0, 0, 0, 1});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float u = (x + 0.5f) / w, v = (y + 0.5f) / h;
            const float across = std::exp(-(v - 0.5f) * (v - 0.5f) * 30.0f) * 0.7f + std::exp(-(v - 0.5f) * (v - 0.5f) * 400.0f) * 0.5f;
            const float along = smoothStep(0.0f, 0.08f, u) * smoothStep(1.0f, 0.92f, u);
            const Colour c = mixColour(paletteTeal, paletteAmber, u);
            const float k = clamp01(across * along);
            pixelAt(image, x, y) = {c.r * k, c.g * k, c.b * k, 1.0f};
        }
    return image;
}

bool saveImage(const std::string& path, const Image& image, bool alpha)
{
    if (writeTga(path, image, alpha)) return true;
    std::fprintf(stderr, "demotorva-datapack: cannot write %s\n", path.c_str());
    return false;
}

bool saveScene(const std::string& path, const MeshScene& scene)
{
    if (writeAse(path, scene)) return true;
    std::fprintf(stderr, "demotorva-datapack: cannot write %s\n", path.c_str());
    return false;
}
}  // namespace

namespace {
// The landscape's adaptive mesh: right triangles split at their long edge's midpoint, over the
// finest grid, only where the midpoint's height departs from the edge by more than the
// tolerance. A midpoint's error also counts the errors of every midpoint below it, so a split
// anywhere splits all the triangles it depends on: the mesh has no cracks. Ridges and the
// hills' outline keep their vertices; flat ground thins out to large triangles.
struct LandGrid {
    int side = landCells + 1;
    std::vector<float> height, error;
    float at(int i, int j) const { return height[static_cast<size_t>(j) * side + i]; }
    float& errorAt(int i, int j) { return error[static_cast<size_t>(j) * side + i]; }
};
struct GridPoint {
    int i, j;
};
GridPoint midpoint(GridPoint a, GridPoint b) { return {(a.i + b.i) / 2, (a.j + b.j) / 2}; }
bool splits(GridPoint l, GridPoint r) { return (l.i + r.i) % 2 == 0 && (l.j + r.j) % 2 == 0; }

// Raises the error of the midpoints of the triangles at depth level (0: the two halves of the
// square), given that the levels below are done.
void raiseErrors(LandGrid& g, GridPoint apex, GridPoint l, GridPoint r, int depth, int level)
{
    if (!splits(l, r)) return;
    const GridPoint m = midpoint(l, r);
    if (depth < level) {
        raiseErrors(g, m, apex, l, depth + 1, level);
        raiseErrors(g, m, r, apex, depth + 1, level);
        return;
    }
    float e = std::fabs(g.at(m.i, m.j) - 0.5f * (g.at(l.i, l.j) + g.at(r.i, r.j)));
    if (splits(apex, l)) e = std::fmax(e, g.errorAt((apex.i + l.i) / 2, (apex.j + l.j) / 2));
    if (splits(r, apex)) e = std::fmax(e, g.errorAt((r.i + apex.i) / 2, (r.j + apex.j) / 2));
    g.errorAt(m.i, m.j) = std::fmax(g.errorAt(m.i, m.j), e);
}

void emitLand(LandGrid& g, std::vector<int>& index, Mesh& m, GridPoint apex, GridPoint l, GridPoint r)
{
    if (splits(l, r)) {
        const GridPoint mid = midpoint(l, r);
        if (g.errorAt(mid.i, mid.j) > landTolerance) {
            emitLand(g, index, m, mid, apex, l);
            emitLand(g, index, m, mid, r, apex);
            return;
        }
    }
    int corner[3];
    const GridPoint points[3] = {apex, l, r};
    for (int k = 0; k < 3; ++k) {
        const GridPoint p = points[k];
        int& slot = index[static_cast<size_t>(p.j) * g.side + p.i];
        if (slot < 0) {
            slot = static_cast<int>(m.vertices.size());
            const float u = static_cast<float>(p.i) / landCells, v = static_cast<float>(p.j) / landCells;
            m.vertices.push_back({-landHalf + 2.0f * landHalf * u, -landHalf + 2.0f * landHalf * v, g.at(p.i, p.j)});
            m.texVertices.push_back({u, v, 0.0f});
        }
        corner[k] = slot;
    }
    // Counter-clockwise seen from above.
    const float turn = static_cast<float>((l.i - apex.i) * (r.j - apex.j) - (l.j - apex.j) * (r.i - apex.i));
    if (turn < 0.0f) std::swap(corner[1], corner[2]);
    m.faces.push_back({{corner[0], corner[1], corner[2]}, {corner[0], corner[1], corner[2]}, 1});
}
}  // namespace

MeshScene landscapeScene()
{
    MeshScene scene;
    scene.fileName = "landscape.max";
    MeshMaterial ground;
    ground.name = "Ground";
    ground.bitmap = "models/landscape/landscape.tga";
    scene.materials.push_back(ground);
    LandGrid g;
    g.height.resize(static_cast<size_t>(g.side) * g.side);
    g.error.assign(g.height.size(), 0.0f);
    for (int j = 0; j < g.side; ++j)
        for (int i = 0; i < g.side; ++i) {
            const float x = -landHalf + 2.0f * landHalf * i / landCells, y = -landHalf + 2.0f * landHalf * j / landCells;
            g.height[static_cast<size_t>(j) * g.side + i] = landHeight(x, y);
        }
    const int n = landCells;
    const GridPoint a{0, 0}, b{n, 0}, c{n, n}, d{0, n};
    int levels = 0;
    for (int cells = n; cells > 0; cells /= 2) levels += 2;
    for (int level = levels; level >= 0; --level) {
        raiseErrors(g, a, d, b, 0, level);
        raiseErrors(g, c, b, d, 0, level);
    }
    Mesh m;
    m.name = "Landscape";
    std::vector<int> index(g.height.size(), -1);
    emitLand(g, index, m, a, d, b);
    emitLand(g, index, m, c, b, d);
    // Drawn unlit with its shading in the texture: no normals, which would double the file.
    scene.meshes.push_back(std::move(m));
    return scene;
}

MeshScene tunnelScene()
{
    MeshScene scene;
    scene.fileName = "tunel01.max";
    MeshMaterial rock;
    rock.name = "Rock";
    rock.bitmap = "models/tunel01/rock.tga";
    scene.materials.push_back(rock);
    Mesh m;
    m.name = "Tunnel";
    // Rings every 50 units and 18 sides: the tube is straight and drawn unlit, so more would
    // change nothing but the cost; rings close enough that fog, reckoned at the corners, stays
    // right on the walls just ahead of the eye.
    const int segments = 18, rings = 60;
    const float start = 500.0f, finish = -2500.0f;
    for (int j = 0; j <= rings; ++j) {
        const float y = start + (finish - start) * j / rings;
        const float along = (start - y) / 100.0f;  // v: 0 at the mouth, growing inwards
        // Ribs every other ring narrow the tube a little.
        const float rib = (j % 2 == 0) ? -3.0f : 0.0f;
        for (int i = 0; i <= segments; ++i) {
            const float a = 2.0f * pi * (i % segments) / segments;
            const float bump = 2.0f * (latticeNoise(i * 0.5f, j * 0.5f, segments / 2, 71u) - 0.5f);
            const float r = 40.0f + rib + bump;
            m.vertices.push_back({r * std::cos(a), y, r * std::sin(a)});
            m.texVertices.push_back({3.0f * i / segments, along, 0.0f});
        }
    }
    for (int j = 0; j < rings; ++j)
        for (int i = 0; i < segments; ++i) {
            const int a = j * (segments + 1) + i, b = a + 1, c = a + segments + 1, d = c + 1;
            m.faces.push_back({{a, d, b}, {a, d, b}, 1});
            m.faces.push_back({{a, c, d}, {a, c, d}, 1});
        }
    // Both ends closed by a fan round a centre point, so that looking down the tube the eye
    // meets fogged rock instead of the cleared black beyond the open ends.
    for (int end = 0; end < 2; ++end) {
        const int ring = end == 0 ? 0 : rings;
        const int centre = static_cast<int>(m.vertices.size());
        const float y = end == 0 ? start : finish;
        m.vertices.push_back({0.0f, y, 0.0f});
        m.texVertices.push_back({1.5f, (start - y) / 100.0f, 0.0f});
        for (int i = 0; i < segments; ++i) {
            const int a = ring * (segments + 1) + i, b = a + 1;
            m.faces.push_back({{centre, a, b}, {centre, a, b}, 1});
        }
    }
    // Drawn unlit and fogged: no normals.
    scene.meshes.push_back(std::move(m));
    return scene;
}

MeshScene starScene()
{
    MeshScene scene;
    scene.fileName = "star01.max";
    MeshMaterial glow;
    glow.name = "Star";
    glow.bitmap = "models/star.tga";
    scene.materials.push_back(glow);
    Mesh m;
    m.name = "Star";
    // Spikes along the twelve directions of an icosahedron.
    const float g = (1.0f + std::sqrt(5.0f)) * 0.5f;
    const Point3 dirs[12] = {{-1, g, 0}, {1, g, 0},  {-1, -g, 0}, {1, -g, 0}, {0, -1, g}, {0, 1, g},
                             {0, -1, -g}, {0, 1, -g}, {g, 0, -1}, {g, 0, 1},  {-g, 0, -1}, {-g, 0, 1}};
    for (const Point3& raw : dirs) {
        const Point3 d = normalised(raw);
        const Point3 side = normalised(cross(d, std::fabs(d.z) < 0.9f ? Point3{0, 0, 1} : Point3{1, 0, 0}));
        const Point3 up = cross(d, side);
        const Point3 tip = d * 42.0f;
        const int sides = 5;
        for (int k = 0; k < sides; ++k) {
            const float a0 = 2.0f * pi * k / sides, a1 = 2.0f * pi * (k + 1) / sides;
            const Point3 p0 = d * 8.0f + (side * std::cos(a0) + up * std::sin(a0)) * 9.0f;
            const Point3 p1 = d * 8.0f + (side * std::cos(a1) + up * std::sin(a1)) * 9.0f;
            addTriangle(m, p0, p1, tip, {static_cast<float>(k) / sides, 0, 0}, {static_cast<float>(k + 1) / sides, 0, 0},
                        {(k + 0.5f) / sides, 1.0f, 0});
            addTriangle(m, p1, p0, Point3{}, {0.5f, 0, 0}, {0.5f, 0, 0}, {0.5f, 0, 0});
        }
    }
    scene.meshes.push_back(std::move(m));
    return scene;
}

MeshScene logoBarScene()
{
    MeshScene scene;
    scene.fileName = "logobar.max";
    MeshMaterial bar;
    bar.name = "Bar";
    bar.bitmap = "models/logobar.tga";
    scene.materials.push_back(bar);
    Mesh m;
    m.name = "LogoBar";
    addQuad(m, {0, 0, -0.75f}, {10, 0, -0.75f}, {10, 0, 0.75f}, {0, 0, 0.75f}, {0, 0, 0}, {1, 0, 0}, {1, 1, 0},
            {0, 1, 0});
    scene.meshes.push_back(std::move(m));
    return scene;
}

bool writeModels(const std::string& dir)
{
    std::error_code error;
    for (const char* sub : {"models/landscape", "models/templo01", "models/tunel01"})
        std::filesystem::create_directories(dir + "/" + sub, error);
    const std::string models = dir + "/models";
    bool ok = saveScene(models + "/landscape/landscape.ase", landscapeScene());
    ok = ok && saveImage(models + "/landscape/landscape.tga", landscapeTexture(), false);
    ok = ok && saveScene(models + "/templo01/templo01.ase", templeScene());
    ok = ok && writeTempleTextures(dir);
    ok = ok && saveScene(models + "/tunel01/tunel01.ase", tunnelScene());
    ok = ok && saveImage(models + "/tunel01/rock.tga", rockTexture(), false);
    ok = ok && saveScene(models + "/star01.ase", starScene());
    ok = ok && saveImage(models + "/star.tga", starTexture(), false);
    ok = ok && saveScene(models + "/logobar.ase", logoBarScene());
    ok = ok && saveImage(models + "/logobar.tga", barTexture(), false);
    return ok;
}
