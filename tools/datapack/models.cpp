// Builds the models in the file axes of the format (Z up) and paints their textures. The
// landscape (landscape_model.cpp), the temple and its textures (temple_model.cpp,
// temple_textures.cpp) and the logo on the credits' bar (logo.cpp) have files of their own;
// the tunnel's texture coordinates run around the tube and along it from 0 at its mouth.
#include "models.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <utility>
#include <vector>

#include "image.h"
#include "logo.h"
#include "palette.h"

namespace {
constexpr float pi = 3.14159265358979f;

// ---- tunnel ----------------------------------------------------------------------------

// Dark rock plates between rings of light: four rings a texture length (one every 25 file
// units) and lamps between them. Under the scene's grey fog only strong contrast reads: the
// plates stay near black so the walls near the eye are dark against the fog down the tube,
// and the rings, sliding past as the texture scrolls and the camera flies, show the speed.
// The rings' light is cool, low in red, so that under the white flash only the nearest of
// them clip.
Image rockTexture()
{
    const int n = 256;
    Image image = makeImage(n, n, paletteNight);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const float u = (x + 0.5f) / n, v = (y + 0.5f) / n;
            const float rock = fractalNoise(u * 8.0f, v * 8.0f, 8, 5, 61u);
            Colour c = mixColour({0.02f, 0.025f, 0.06f, 1}, {0.11f, 0.12f, 0.24f, 1}, rock);
            // Plates: four round, four along, with a bevelled seam.
            const float pu = u * 4.0f - std::floor(u * 4.0f), pv = v * 4.0f - std::floor(v * 4.0f);
            const float seamU = std::fmin(pu, 1.0f - pu), seamV = std::fmin(pv, 1.0f - pv);
            c = mixColour(c, {0.0f, 0.0f, 0.01f, 1}, smoothStep(0.03f, 0.0f, seamU) * 0.8f);
            c = mixColour(c, {0.22f, 0.26f, 0.42f, 1}, smoothStep(0.06f, 0.03f, seamU) * smoothStep(0.0f, 0.03f, seamU) * 0.6f);
            // The ring at the plates' end: a hot core in a soft glow.
            const float ring = seamV * 4.0f;  // in quarter plates from the ring's middle
            c = mixColour(c, {0.20f, 0.70f, 0.85f, 1}, 0.9f * std::exp(-ring * ring * 8.0f));
            c = mixColour(c, {0.80f, 1.0f, 1.0f, 1}, smoothStep(0.17f, 0.08f, ring));
            // A lamp in the middle of every other plate.
            const int plate = static_cast<int>(std::floor(u * 4.0f)) + static_cast<int>(std::floor(v * 4.0f));
            const float du = (pu - 0.5f) * 1.6f, dv = pv - 0.5f;
            const float lamp = std::exp(-(du * du + dv * dv) * 200.0f);
            if (plate % 2 == 0) {
                c = mixColour(c, paletteAmber, clamp01(lamp * 1.6f));
                c = mixColour(c, {1.0f, 0.9f, 0.7f, 1}, clamp01(lamp * 3.0f - 2.0f));
            }
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
}  // namespace

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
    // right on the walls just ahead of the eye. A radius of 18 keeps the walls near: the eye
    // circles the axis at 10 units, and a wider tube would show mostly fog at its far end,
    // which the flash turns white.
    const int segments = 18, rings = 60;
    const float radius = 18.0f;
    const float start = 500.0f, finish = -2500.0f;
    for (int j = 0; j <= rings; ++j) {
        const float y = start + (finish - start) * j / rings;
        const float along = (start - y) / 100.0f;  // v: 0 at the mouth, growing inwards
        // Ribs every other ring narrow the tube a little.
        const float rib = (j % 2 == 0) ? -1.3f : 0.0f;
        for (int i = 0; i <= segments; ++i) {
            const float a = 2.0f * pi * (i % segments) / segments;
            const float bump = latticeNoise(i * 0.5f, j * 0.5f, segments / 2, 71u) - 0.5f;
            const float r = radius + rib + bump;
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

// The chain's link: a plate 28 x 7 units with the logo, standing in the view's plane. The chain
// turns every link about an axis through its origin, so the plate reaches 19 units to the
// right and 9 to the left of it: the scene puts that origin 5 units left of the view's middle,
// and the links, fanned out about the axis, fill the middle of the frame.
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
    addQuad(m, {-9, 0, -3.5f}, {19, 0, -3.5f}, {19, 0, 3.5f}, {-9, 0, 3.5f}, {0, 0, 0}, {1, 0, 0}, {1, 1, 0},
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
    bool ok = writeLandscape(dir);
    ok = ok && writeAse(models + "/templo01/templo01.ase", templeScene());
    ok = ok && writeTempleTextures(dir);
    ok = ok && writeAse(models + "/tunel01/tunel01.ase", tunnelScene());
    ok = ok && writeTga(models + "/tunel01/rock.tga", rockTexture(), false);
    ok = ok && writeAse(models + "/star01.ase", starScene());
    ok = ok && writeTga(models + "/star.tga", starTexture(), false);
    ok = ok && writeAse(models + "/logobar.ase", logoBarScene());
    ok = ok && writeLogoBarTexture(models + "/logobar.tga");
    return ok;
}
