// The temple and its site: a Doric temple on three steps in the middle of a paved ground that
// runs out into the scene's fog, a few ruins about it and a sky dome over all, in the file axes
// of the format (Z up; the temple's long sides face -Y and +Y, its door +X).
//
// Triangles are spent where the camera comes close (the corner columns and their capitals, the
// gable ends); flutes, joints, triglyphs, tiles, weathering and the shade of corners are painted
// into the textures (temple_textures.cpp). Objects are listed nearest first, the ground and the
// sky last, so that the depth test spares most of the pixels they would cover.
//
// Light. The demo lights this model through its two lights with faces drawn textured, so a face
// shows (emission + 0.2 + each light's colour less one minus its intensity + each light's
// colour times the cosine to it) times its texture. Corner normals reach OpenGL twenty times
// too long (the demo scales the model by 1/20 after turning them), so the lights' colours are
// written at a twentieth of the light they give; and since the normals are turned twice, the
// lights' directions hold in the camera's frame: the warm key from the right, above and a
// little in front, the cool fill from the left. Right-hand sides, tops, fronts, left-hand sides
// and undersides so take clearly different levels, the brightest under one, so that nothing
// clips to white; the emission and the intensities set the level of faces in shade.
#include "models.h"

#include <cmath>
#include <iterator>

namespace {
constexpr float groundZ = -150.0f;
constexpr float stepHeight = 14.0f;
constexpr float stylobateZ = groundZ + 3 * stepHeight;  // -108
constexpr float shaftTop = 38.0f, echinusTop = 46.0f, abacusTop = 54.0f;
constexpr float architraveTop = 76.0f, friezeTop = 98.0f, corniceTop = 106.0f, ridgeZ = 150.0f;
constexpr float entHalfX = 188.0f, entHalfY = 114.0f;     // architrave and frieze
constexpr float corniceHalfX = 198.0f, corniceHalfY = 126.0f;
constexpr float cellaHalfX = 124.0f, cellaHalfY = 58.0f;
constexpr float doorHalf = 22.0f, doorTop = -8.0f, doorDepth = 8.0f;

// Materials, in the order of the material list.
enum TempleMaterial { Marble, Roof, Shaft, Frieze, Wall, Door, Ground, Sky };

Point3 uv(float u, float v) { return {u, v, 0.0f}; }

// Height of the roof's upper surface above the line y = 0 at distance |y| from the ridge.
float roofZ(float y) { return corniceTop + (ridgeZ - corniceTop) * (1.0f - std::fabs(y) / corniceHalfY); }

// The band of a level face at height z between the rectangle from (x0, y0) to (x1, y1) and the
// smaller one from (ix0, iy0) to (ix1, iy1) inside it, facing up or down: four flat boxes' top or
// bottom faces, whose texture lies as on the whole face, so the band shows the texels it would.
void addBand(Mesh& m, float x0, float y0, float x1, float y1, float ix0, float iy0, float ix1, float iy1, float z,
             float texScale, bool up)
{
    auto strip = [&](float a0, float b0, float a1, float b1) {
        addBox(m, {a0, b0, z}, {a1, b1, z}, texScale, up ? BoxTop : BoxBottom);
    };
    strip(x0, y0, x1, iy0);    // along the low-y side
    strip(x0, iy1, x1, y1);    // along the high-y side
    strip(x0, iy0, ix0, iy1);  // low-x end
    strip(ix1, iy0, x1, iy1);  // high-x end
}

// The three steps, the top one first: each lower step's tread is only the band the step above
// leaves uncovered, so no face is drawn that a step above would hide.
void addSteps(Mesh& m)
{
    for (int i = 2; i >= 0; --i) {
        const float inset = stepHeight * i, z0 = groundZ + stepHeight * i, z1 = z0 + stepHeight;
        const float x0 = -232.0f + inset, y0 = -152.0f + inset, x1 = 232.0f - inset, y1 = 152.0f - inset;
        addBox(m, {x0, y0, z0}, {x1, y1, z1}, 100.0f, i == 2 ? BoxAll & ~BoxBottom : BoxAll & ~BoxBottom & ~BoxTop);
        if (i < 2)
            addBand(m, x0, y0, x1, y1, x0 + stepHeight, y0 + stepHeight, x1 - stepHeight, y1 - stepHeight, z1, 100.0f,
                    true);
    }
}

// Walls of the cella, their texture spanning the wall's height once (its shade at the foot and
// under the ceiling is painted in), with the door in the +X wall set back in its reveals.
void addCella(Mesh& wall, Mesh& door)
{
    const float z0 = stylobateZ, z1 = abacusTop, h = z1 - z0;
    auto v = [&](float z) { return (z - z0) / h; };
    auto face = [&](Point3 a, Point3 b, float along0, float along1, float za, float zb) {
        const Point3 pa{a.x, a.y, za}, pb{b.x, b.y, za}, pc{b.x, b.y, zb}, pd{a.x, a.y, zb};
        addQuad(wall, pa, pb, pc, pd, uv(along0, v(za)), uv(along1, v(za)), uv(along1, v(zb)), uv(along0, v(zb)));
    };
    const float X = cellaHalfX, Y = cellaHalfY, scale = 1.0f / 80.0f;
    face({-X, -Y, 0}, {X, -Y, 0}, 0.0f, 2 * X * scale, z0, z1);  // front, -Y
    face({X, Y, 0}, {-X, Y, 0}, 0.0f, 2 * X * scale, z0, z1);    // back, +Y
    face({-X, Y, 0}, {-X, -Y, 0}, 0.0f, 2 * Y * scale, z0, z1);  // west end, -X
    // East end, +X: the wall beside and above the door.
    face({X, -Y, 0}, {X, -doorHalf, 0}, 0.0f, (Y - doorHalf) * scale, z0, z1);
    face({X, doorHalf, 0}, {X, Y, 0}, (Y + doorHalf) * scale, 2 * Y * scale, z0, z1);
    face({X, -doorHalf, 0}, {X, doorHalf, 0}, (Y - doorHalf) * scale, (Y + doorHalf) * scale, doorTop, z1);
    // Reveals and the lintel's underside.
    const float inner = X - doorDepth;
    face({X, -doorHalf, 0}, {inner, -doorHalf, 0}, 0.0f, doorDepth * scale, z0, doorTop);
    face({inner, doorHalf, 0}, {X, doorHalf, 0}, 0.0f, doorDepth * scale, z0, doorTop);
    addQuad(wall, {inner, -doorHalf, doorTop}, {inner, doorHalf, doorTop}, {X, doorHalf, doorTop},
            {X, -doorHalf, doorTop}, uv(0, 0), uv(0.5f, 0), uv(0.5f, 0.1f), uv(0, 0.1f));
    addQuad(door, {inner, -doorHalf, z0}, {inner, doorHalf, z0}, {inner, doorHalf, doorTop}, {inner, -doorHalf, doorTop},
            uv(0, 0), uv(1, 0), uv(1, 1), uv(0, 1));
}

// One column: the fluted shaft with a slight taper, the flaring echinus and the square abacus.
void addColumn(Mesh& shafts, Mesh& capitals, float x, float y)
{
    addFrustum(shafts, {{x, y, stylobateZ}, {x, y, shaftTop}, 14.0f, 11.5f, 12, 5.0f, 0.0f, 1.0f, false, false});
    addFrustum(capitals, {{x, y, shaftTop}, {x, y, echinusTop}, 11.5f, 17.5f, 8, 2.0f, 0.0f, 0.1f, false, false});
    addBox(capitals, {x - 18.0f, y - 18.0f, echinusTop}, {x + 18.0f, y + 18.0f, abacusTop}, 100.0f, BoxAll & ~BoxTop);
}

// Architrave, the ceiling over the colonnade, the cornice, the gables with their raking
// cornices, and acroteria on the ridge ends.
void addEntablature(Mesh& m, Mesh& frieze)
{
    addBox(m, {-entHalfX, -entHalfY, abacusTop}, {entHalfX, entHalfY, architraveTop}, 100.0f,
           BoxFront | BoxBack | BoxLeft | BoxRight);
    addQuad(m, {-entHalfX, -entHalfY, abacusTop}, {-entHalfX, entHalfY, abacusTop}, {entHalfX, entHalfY, abacusTop},
            {entHalfX, -entHalfY, abacusTop}, uv(0, 0), uv(0, 2.3f), uv(3.8f, 2.3f), uv(3.8f, 0));
    // The frieze: one texture length holds four triglyphs and four metopes, 136 units.
    const float X = entHalfX, Y = entHalfY, z0 = architraveTop, z1 = friezeTop, unit = 1.0f / 136.0f;
    auto band = [&](Point3 a, Point3 b, float length) {
        addQuad(frieze, {a.x, a.y, z0}, {b.x, b.y, z0}, {b.x, b.y, z1}, {a.x, a.y, z1}, uv(0, 0), uv(length * unit, 0),
                uv(length * unit, 1), uv(0, 1));
    };
    band({-X, -Y, 0}, {X, -Y, 0}, 2 * X);
    band({X, Y, 0}, {-X, Y, 0}, 2 * X);
    band({X, -Y, 0}, {X, Y, 0}, 2 * Y);
    band({-X, Y, 0}, {-X, -Y, 0}, 2 * Y);
    // The cornice's underside only where it overhangs the frieze.
    addBox(m, {-corniceHalfX, -corniceHalfY, friezeTop}, {corniceHalfX, corniceHalfY, corniceTop}, 100.0f,
           BoxFront | BoxBack | BoxLeft | BoxRight);
    addBand(m, -corniceHalfX, -corniceHalfY, corniceHalfX, corniceHalfY, -entHalfX, -entHalfY, entHalfX, entHalfY,
            friezeTop, 100.0f, false);

    const float cx = corniceHalfX, cy = corniceHalfY, rake = 8.0f;
    // Where the raking cornice's underside meets the horizontal cornice, the tympanum begins.
    const float tympanumHalf = cy * (1.0f - rake / (ridgeZ - corniceTop));
    for (int end = 0; end < 2; ++end) {
        const float s = end == 0 ? 1.0f : -1.0f;  // +X end first
        const float face = s * cx, back = s * entHalfX;
        // The tympanum, flush with the frieze; the texture's scale is the marble's.
        addTriangle(m, {back, -s * tympanumHalf, corniceTop}, {back, s * tympanumHalf, corniceTop},
                    {back, 0.0f, ridgeZ - rake}, uv(-tympanumHalf / 100.0f, 0), uv(tympanumHalf / 100.0f, 0),
                    uv(0, (ridgeZ - rake - corniceTop) / 100.0f));
        for (int side = 0; side < 2; ++side) {
            const float y0 = (side == 0 ? -s : s) * cy;  // from an eave to the ridge
            const Point3 lowTop{face, y0, roofZ(y0)}, highTop{face, 0.0f, ridgeZ};
            const Point3 lowFoot{face, y0, roofZ(y0) - rake}, highFoot{face, 0.0f, ridgeZ - rake};
            const Point3 lowBack{back, y0, roofZ(y0) - rake}, highBack{back, 0.0f, ridgeZ - rake};
            const float along = std::sqrt(cy * cy + (ridgeZ - corniceTop) * (ridgeZ - corniceTop)) / 100.0f;
            const bool flip = y0 * s > 0.0f;  // keeps both faces turned outwards
            // The fascia, facing out along X, and the soffit under it, facing down.
            if (flip)
                addQuad(m, highFoot, lowFoot, lowTop, highTop, uv(along, 0), uv(0, 0), uv(0, 0.08f), uv(along, 0.08f));
            else
                addQuad(m, lowFoot, highFoot, highTop, lowTop, uv(0, 0), uv(along, 0), uv(along, 0.08f), uv(0, 0.08f));
            if (flip)
                addQuad(m, lowBack, lowFoot, highFoot, highBack, uv(0, 0), uv(0, 0.1f), uv(along, 0.1f), uv(along, 0));
            else
                addQuad(m, highBack, highFoot, lowFoot, lowBack, uv(along, 0), uv(along, 0.1f), uv(0, 0.1f), uv(0, 0));
        }
        // Acroterion over the gable's apex.
        addBox(m, {std::fmin(face - s * 10.0f, face + s * 2.0f), -7.0f, ridgeZ - 4.0f},
               {std::fmax(face - s * 10.0f, face + s * 2.0f), 7.0f, ridgeZ + 14.0f}, 100.0f, BoxAll & ~BoxBottom);
    }
}

// The two slopes of tiles from the eaves to the ridge, and the ridge's capping tiles.
void addRoof(Mesh& m)
{
    const float x = corniceHalfX, y = corniceHalfY;
    const float slope = std::sqrt(y * y + (ridgeZ - corniceTop) * (ridgeZ - corniceTop));
    // One texture length is 64 units along the ridge and 64 up the slope.
    const float u = 2 * x / 64.0f, v = slope / 64.0f;
    addQuad(m, {-x, -y, corniceTop}, {x, -y, corniceTop}, {x, 0, ridgeZ}, {-x, 0, ridgeZ}, uv(0, 0), uv(u, 0), uv(u, v),
            uv(0, v));
    addQuad(m, {x, y, corniceTop}, {-x, y, corniceTop}, {-x, 0, ridgeZ}, {x, 0, ridgeZ}, uv(0, 0), uv(u, 0), uv(u, v),
            uv(0, v));
    const float capHalf = 7.0f, capLow = roofZ(capHalf) + 0.5f, capHigh = ridgeZ + 4.0f;
    addQuad(m, {-x, -capHalf, capLow}, {x, -capHalf, capLow}, {x, 0, capHigh}, {-x, 0, capHigh}, uv(0, 0.9f),
            uv(u, 0.9f), uv(u, 1.0f), uv(0, 1.0f));
    addQuad(m, {x, capHalf, capLow}, {-x, capHalf, capLow}, {-x, 0, capHigh}, {x, 0, capHigh}, uv(0, 0.9f),
            uv(u, 0.9f), uv(u, 1.0f), uv(0, 1.0f));
}

// A drum of a fallen column lying on the ground, from a to b (ground height added).
void addDrum(Mesh& shafts, float ax, float ay, float bx, float by, float radius)
{
    const float z = groundZ + radius;
    addFrustum(shafts, {{ax, ay, z}, {bx, by, z}, radius, radius * 0.96f, 8, 5.0f, 0.1f, 0.45f, true, true});
}

// What is left of older buildings about the temple: a column still standing to half its height,
// the stump of another, drums and a capital in the grass, and an altar before the door.
void addRuins(Mesh& shafts, Mesh& stone)
{
    addBox(stone, {-382.0f, -272.0f, groundZ}, {-338.0f, -228.0f, groundZ + 10.0f}, 100.0f, BoxAll & ~BoxBottom);
    addFrustum(shafts, {{-360.0f, -250.0f, groundZ + 10.0f}, {-360.0f, -250.0f, -30.0f}, 14.0f, 12.8f, 12, 5.0f, 0.0f,
                        0.8f, false, true});
    addFrustum(shafts, {{-400.0f, 230.0f, groundZ}, {-400.0f, 230.0f, groundZ + 38.0f}, 14.0f, 13.6f, 12, 5.0f, 0.0f,
                        0.25f, false, true});
    addDrum(shafts, 300.0f, -262.0f, 342.0f, -247.0f, 14.0f);
    addDrum(shafts, 362.0f, -214.0f, 356.0f, -174.0f, 13.0f);
    addDrum(shafts, -250.0f, 300.0f, -305.0f, 318.0f, 14.0f);
    // A capital fallen on its abacus: the echinus points up.
    addBox(stone, {362.0f, 222.0f, groundZ}, {398.0f, 258.0f, groundZ + 8.0f}, 100.0f, BoxAll & ~BoxBottom);
    addFrustum(stone, {{380.0f, 240.0f, groundZ + 8.0f}, {380.0f, 240.0f, groundZ + 16.0f}, 17.5f, 11.5f, 12, 2.0f, 0.0f,
                       0.1f, false, true});
    // The altar, east of the temple and off its axis.
    addBox(stone, {286.0f, 48.0f, groundZ}, {326.0f, 82.0f, groundZ + 24.0f}, 100.0f, BoxAll & ~BoxBottom);
    addBox(stone, {282.0f, 44.0f, groundZ + 24.0f}, {330.0f, 86.0f, groundZ + 30.0f}, 100.0f, BoxAll & ~BoxBottom);
}

// The paved ground, one slab pattern every 160 units out to where the fog has taken everything:
// rings round the temple, so that vertices lie near wherever the camera goes. Fog is reckoned at
// the corners from their depth before the eye and spread across a face, so one face reaching
// far behind the eye would fog the ground before it as though it lay far away.
void addGround(Mesh& m)
{
    constexpr float pi = 3.14159265358979f;
    const int segments = 10;
    const float rings[] = {260.0f, 420.0f, 580.0f, 740.0f, 900.0f, 1300.0f, 3000.0f};
    const int count = static_cast<int>(std::size(rings));
    const int centre = static_cast<int>(m.vertices.size()), base = centre + 1;
    auto vertex = [&](Point3 p) {
        m.vertices.push_back(p);
        m.vertexNormals.push_back({0.0f, 0.0f, 1.0f});
        m.texVertices.push_back(uv(p.x / 160.0f, p.y / 160.0f));
    };
    vertex({0.0f, 0.0f, groundZ});
    for (int j = 0; j < count; ++j)
        for (int i = 0; i < segments; ++i) {
            const float a = 2.0f * pi * i / segments;
            vertex({rings[j] * std::cos(a), rings[j] * std::sin(a), groundZ});
        }
    for (int i = 0; i < segments; ++i) {
        const int next = (i + 1) % segments;
        m.faces.push_back({{centre, base + i, base + next}, {centre, base + i, base + next}, 1});
        for (int j = 0; j + 1 < count; ++j) {
            const int a = base + j * segments + i, b = base + j * segments + next;
            const int c = a + segments, d = b + segments;
            m.faces.push_back({{a, c, d}, {a, c, d}, 1});
            m.faces.push_back({{a, d, b}, {a, d, b}, 1});
        }
    }
}

// A dome of sky standing on the ground's edge, its normals turned inwards. At its distance the
// scene's fog covers it wholly (its pixels are the fog's grey to the last level), so it has no
// texture: a picture over half the frame that nobody could see would only cost its sampling.
void addSky(Mesh& m)
{
    constexpr float pi = 3.14159265358979f;
    const int segments = 6, rings = 2;
    const float radius = 2800.0f;
    auto point = [&](int i, int j) {
        const float a = 2.0f * pi * i / segments, e = 0.5f * pi * j / rings;
        return Point3{radius * std::cos(e) * std::cos(a), radius * std::cos(e) * std::sin(a),
                      groundZ + radius * std::sin(e)};
    };
    const int base = static_cast<int>(m.vertices.size());
    for (int j = 0; j <= rings; ++j)
        for (int i = 0; i <= segments; ++i) {
            const Point3 p = point(i, j);
            m.vertices.push_back(p);
            m.vertexNormals.push_back(normalised(Point3{0, 0, groundZ} - p));
            m.texVertices.push_back(uv(2.0f * i / segments, static_cast<float>(j) / rings));
        }
    for (int j = 0; j < rings; ++j)
        for (int i = 0; i < segments; ++i) {
            const int a = base + j * (segments + 1) + i, b = a + 1, c = a + segments + 1, d = c + 1;
            m.faces.push_back({{a, d, b}, {a, d, b}, 1});
            if (j + 1 < rings) m.faces.push_back({{a, c, d}, {a, c, d}, 1});
        }
}

// Materials share the key and fill lights; their diffuse colour is what they emit, which sets
// the level of a face in shade.
MeshMaterial templeMaterial(const char* name, const char* bitmap, Point3 emission)
{
    MeshMaterial m;
    m.name = name;
    m.bitmap = *bitmap ? std::string("models/templo01/") + bitmap : std::string();
    m.ambient = emission;
    m.diffuse = emission;
    m.specular = {0.0f, 0.0f, 0.0f};
    m.shine = 0.0f;
    m.shineStrength = 0.0f;
    return m;
}

Mesh namedMesh(const char* name, int material)
{
    Mesh m;
    m.name = name;
    m.materialRef = material;
    return m;
}
}  // namespace

MeshScene templeScene()
{
    MeshScene scene;
    scene.fileName = "templo01.max";
    // Light given: key (0.92, 0.84, 0.68), fill (0.2, 0.24, 0.32); shade (0.2, 0.21, 0.25).
    const Point3 stone{0.094f, 0.106f, 0.15f};
    scene.materials = {templeMaterial("Marble", "marble.tga", stone),
                       templeMaterial("Roof", "roof.tga", stone),
                       templeMaterial("Shaft", "column.tga", stone),
                       templeMaterial("Frieze", "frieze.tga", stone),
                       templeMaterial("Wall", "wall.tga", stone),
                       templeMaterial("Door", "door.tga", stone),
                       templeMaterial("Ground", "ground.tga", stone),
                       templeMaterial("Sky", "", {0.6f, 0.6f, 0.6f})};
    // Directions in the camera's frame (x right, y up, z towards the viewer); see the top.
    scene.lights.push_back({"KeyLight", {700.0f, 550.0f, 500.0f}, {0.046f, 0.042f, 0.034f}, 0.85f});
    scene.lights.push_back({"FillLight", {-800.0f, 200.0f, 100.0f}, {0.01f, 0.012f, 0.016f}, 1.0f});

    Mesh steps = namedMesh("Steps", Marble), cella = namedMesh("Cella", Wall), door = namedMesh("Door", Door);
    Mesh shafts = namedMesh("Shafts", Shaft), capitals = namedMesh("Capitals", Marble);
    Mesh entablature = namedMesh("Entablature", Marble), frieze = namedMesh("Frieze", Frieze);
    Mesh roof = namedMesh("Roof", Roof), ruins = namedMesh("Ruins", Marble);
    Mesh ground = namedMesh("Ground", Ground), sky = namedMesh("Sky", Sky);
    // The door's end first: the camera's close passes look along the columns from there, and
    // nearer columns drawn first spare the pixels of those they hide.
    for (int i = 5; i >= 0; --i) {
        const float x = -170.0f + 68.0f * i;
        addColumn(shafts, capitals, x, -96.0f);
        addColumn(shafts, capitals, x, 96.0f);
        if (i == 0 || i == 5)
            for (float y : {-32.0f, 32.0f}) addColumn(shafts, capitals, x, y);
    }
    addEntablature(entablature, frieze);
    addRoof(roof);
    addCella(cella, door);
    addSteps(steps);
    addRuins(shafts, ruins);
    addGround(ground);
    addSky(sky);
    scene.meshes = {shafts, capitals, entablature, frieze, roof, cella, door, steps, ruins, ground, sky};
    return scene;
}
