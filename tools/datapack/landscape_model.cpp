// The intro's landscape: an adaptive height-field mesh under a sky dome, and their pictures.
// The scene draws it unlit and tinted (1, 0.6, 0.6) into the pass whose picture the tile wall
// shows, so the light is baked into the ground's texture, and both pictures carry more green
// and blue than they show: the tint takes 40 % of each back. The dome closes the view above
// and behind the hills, so no pixel of the pass keeps its flat clear colour; at the centre,
// where the camera looks down from 25.5 s, the ground is a patchwork of fields along a river
// that reads at the wall's tile size.
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

#include "image.h"
#include "models.h"

namespace {
constexpr float pi = 3.14159265358979f;
constexpr float landHalf = 3000.0f;  // file units from the centre to each edge
constexpr int landCells = 128;        // the finest grid the mesh may use, per side (a power of two)
// Largest height error, in file units, of a left-out vertex. At 100 the mesh has 861 faces
// (2,835 at 50) and the wall's frames look the same: ridges and the hills' outline keep their
// vertices. The landscape pass costs the software renderer per triangle and is a third of an
// intro frame. At 200 (274 faces) the near hills' outline visibly rounds off.
constexpr float landTolerance = 100.0f;
// The dome stands round the whole ground, its foot below the hills at the edge; every eye
// position of the fly-over lies well inside it, and its far side inside the pass's far plane.
constexpr float skyRadius = 5200.0f, skyFoot = -400.0f;

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

float cellValue(int i, int j, uint32_t seed) { return latticeNoise(static_cast<float>(i), static_cast<float>(j), 4096, seed); }

// Colour of the low ground at (u, v): fields of a few crops in a tilted grid, hedges between
// them, a river winding through the middle with pale banks.
Colour lowlandAt(float u, float v)
{
    // Fields some 250 x 400 units, 25 x 35 texels: the camera ends the scene looking down on the
    // middle from close by, where smaller ones would blur into a grid of hedges.
    const float a = 0.35f, fu = (u * std::cos(a) - v * std::sin(a)) * 22.0f, fv = (u * std::sin(a) + v * std::cos(a)) * 15.0f;
    const int i = static_cast<int>(std::floor(fu)), j = static_cast<int>(std::floor(fv));
    const float pick = cellValue(i, j, 83u);
    const Colour crops[4] = {{0.34f, 0.86f, 0.36f, 1}, {0.78f, 0.95f, 0.40f, 1}, {0.52f, 0.78f, 0.30f, 1},
                             {0.70f, 0.70f, 0.42f, 1}};
    Colour c = crops[static_cast<int>(pick * 3.999f)];
    // Furrows across each field, a hedge round it.
    c = mixColour(c, {0.2f, 0.4f, 0.2f, 1}, 0.12f * (0.5f + 0.5f * std::sin((pick > 0.5f ? fu : fv) * 60.0f)));
    const float edge = std::fmin(std::fmin(fu - i, i + 1 - fu), std::fmin(fv - j, j + 1 - fv));
    c = mixColour(c, {0.14f, 0.36f, 0.16f, 1}, 0.85f * smoothStep(0.05f, 0.01f, edge));
    const float bend = 0.5f + 0.07f * std::sin(v * 2.0f * pi * 1.5f + 0.6f) + 0.03f * std::sin(v * 2.0f * pi * 4.0f);
    const float river = std::fabs(u - bend);
    c = mixColour(c, {0.86f, 0.92f, 0.70f, 1}, smoothStep(0.014f, 0.008f, river));
    return mixColour(c, {0.40f, 0.88f, 1.0f, 1}, smoothStep(0.008f, 0.005f, river));
}

Image landscapeTexture()
{
    const int n = 512;
    Image image = makeImage(n, n, {0, 0, 0, 1});
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
            const float light = 0.35f + 0.8f * std::fmax(0.0f, dot(normal, sun));
            const float slope = 1.0f - normal.z;
            const float t = clamp01(h / 1100.0f);
            const float woods = fractalNoise(u * 24.0f, v * 24.0f, 24, 4, 91u);
            Colour c = lowlandAt(u, v);
            // Woods climb the lower slopes in dark clumps, bare rock and scree above them.
            c = mixColour(c, {0.16f, 0.52f, 0.30f, 1}, smoothStep(0.06f, 0.16f, t) * smoothStep(0.4f, 0.6f, woods + 0.3f * t));
            c = mixColour(c, {0.60f, 0.80f, 0.80f, 1}, smoothStep(0.32f, 0.55f, t));
            c = mixColour(c, {0.55f, 0.70f, 0.72f, 1}, smoothStep(0.25f, 0.6f, slope) * smoothStep(0.1f, 0.3f, t));
            c = mixColour(c, {0.96f, 1.0f, 1.0f, 1}, smoothStep(0.66f, 0.82f, t) * (1.0f - smoothStep(0.35f, 0.65f, slope)));
            const float grain = 0.88f + 0.24f * fractalNoise(u * 64.0f, v * 64.0f, 64, 3, 5u);
            pixelAt(image, px, py) = {c.r * light * grain, c.g * light * grain, c.b * light * grain, 1.0f};
        }
    return image;
}

// The dome's picture: v from the dome's foot (0) to its crown (1), u twice round. A warm, pale
// band at the horizon deepens to a violet blue overhead, with drifts of evening cloud.
Image skyTexture()
{
    const int n = 256;
    Image image = makeImage(n, n, {0, 0, 0, 1});
    for (int py = 0; py < n; ++py)
        for (int px = 0; px < n; ++px) {
            const float u = (px + 0.5f) / n, v = 1.0f - (py + 0.5f) / n;
            Colour c = mixColour({0.80f, 0.95f, 1.0f, 1}, {0.62f, 0.80f, 1.0f, 1}, smoothStep(0.08f, 0.3f, v));
            c = mixColour(c, {0.20f, 0.34f, 0.80f, 1}, smoothStep(0.25f, 0.9f, v));
            // Cloud banks stretched along the horizon, thinning towards the crown.
            const float cloud = fractalNoise(u * 8.0f, v * 24.0f, 8, 4, 131u);
            const float cover = smoothStep(0.5f, 0.72f, cloud) * (1.0f - smoothStep(0.35f, 0.75f, v));
            c = mixColour(c, {1.0f, 0.90f, 0.88f, 1}, 0.8f * cover);
            pixelAt(image, px, py) = c;
        }
    return image;
}

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

// A dome of sky over the ground: rings from just below the horizon to the crown, quads
// between them and a fan at the top. Sixteen sides: the dome is drawn unlit and only its
// gradient shows, so its outline never reads.
Mesh skyDome()
{
    Mesh m;
    m.name = "Sky";
    m.materialRef = 1;
    const int segments = 16, rings = 4;
    const float lowest = -0.08f;  // elevation of the foot in radians, below every horizon
    for (int j = 0; j <= rings; ++j) {
        const float e = lowest + (0.5f * pi - lowest) * j / rings;
        for (int i = 0; i <= segments; ++i) {
            const float a = 2.0f * pi * i / segments;
            m.vertices.push_back({skyRadius * std::cos(e) * std::cos(a), skyRadius * std::cos(e) * std::sin(a),
                                  skyFoot + skyRadius * std::sin(e)});
            m.texVertices.push_back({2.0f * i / segments, static_cast<float>(j) / rings, 0.0f});
        }
    }
    for (int j = 0; j < rings; ++j)
        for (int i = 0; i < segments; ++i) {
            const int a = j * (segments + 1) + i, b = a + 1, c = a + segments + 1, d = c + 1;
            m.faces.push_back({{a, d, b}, {a, d, b}, 1});
            if (j + 1 < rings) m.faces.push_back({{a, c, d}, {a, c, d}, 1});
        }
    return m;
}
}  // namespace

MeshScene landscapeScene()
{
    MeshScene scene;
    scene.fileName = "landscape.max";
    MeshMaterial ground;
    ground.name = "Ground";
    ground.bitmap = "models/landscape/landscape.tga";
    MeshMaterial sky;
    sky.name = "Dusk";
    sky.bitmap = "models/landscape/sky.tga";
    scene.materials = {ground, sky};
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
    // The ground first: where it hides the dome, the dome's pixels fail the depth test.
    scene.meshes.push_back(std::move(m));
    scene.meshes.push_back(skyDome());
    return scene;
}

bool writeLandscape(const std::string& dir)
{
    const std::string folder = dir + "/models/landscape";
    const std::string ase = folder + "/landscape.ase", ground = folder + "/landscape.tga", sky = folder + "/sky.tga";
    return writeAse(ase, landscapeScene()) && writeTga(ground, landscapeTexture(), false) &&
           writeTga(sky, skyTexture(), false);
}
