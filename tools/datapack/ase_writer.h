// Meshes, materials and lights of the generated models, and the writer that lays them out as
// ASE text the way modelling packages export it: a scene header, a material list whose map
// blocks carry relative bitmap paths with their offset and tiling lines, the lights, then one
// geometry object per mesh with its node transform, vertex and face lists, texture vertices
// and faces, and face and vertex normals.
#pragma once

#include <string>
#include <vector>

struct Point3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};
Point3 operator+(Point3 a, Point3 b);
Point3 operator-(Point3 a, Point3 b);
Point3 operator*(Point3 a, float s);
Point3 cross(Point3 a, Point3 b);
float dot(Point3 a, Point3 b);
Point3 normalised(Point3 a);

struct MeshFace {
    int v[3] = {0, 0, 0};
    int t[3] = {0, 0, 0};
    int smoothing = 1;
};

// Every vertex has one texture vertex of the same index unless texVertices is filled apart;
// vertex normals, when present, hold one normal per vertex (vertices are split where an edge
// is hard, since a reader keeps one normal per vertex).
struct Mesh {
    std::string name;  // a single word
    std::vector<Point3> vertices;
    std::vector<Point3> texVertices;  // u, v, w
    std::vector<MeshFace> faces;
    std::vector<Point3> vertexNormals;
    int materialRef = 0;
    Point3 wireColour{0.6f, 0.6f, 0.6f};
};

struct MeshMaterial {
    std::string name;  // a single word
    Point3 ambient{0.6f, 0.6f, 0.6f}, diffuse{0.9f, 0.9f, 0.9f}, specular{0.2f, 0.2f, 0.2f};
    float shine = 0.1f, shineStrength = 0.1f;
    std::string bitmap;  // relative to the pack root, which is the demo's working directory
    float uTiling = 1.0f, vTiling = 1.0f;
};

struct MeshLight {
    std::string name;  // a single word
    Point3 position;
    Point3 colour{1.0f, 1.0f, 1.0f};
    float intensity = 1.0f;
};

struct MeshScene {
    std::string fileName;  // of the scene it came from, as exporters note it
    std::vector<MeshMaterial> materials;
    std::vector<MeshLight> lights;
    std::vector<Mesh> meshes;
};

// Adds a quad a, b, c, d (counter-clockwise seen from outside) with texture corners; its four
// vertices are its own, with the quad's normal, so its edges are hard.
void addQuad(Mesh& mesh, Point3 a, Point3 b, Point3 c, Point3 d, Point3 ta, Point3 tb, Point3 tc, Point3 td);
// A triangle with hard edges, as addQuad.
void addTriangle(Mesh& mesh, Point3 a, Point3 b, Point3 c, Point3 ta, Point3 tb, Point3 tc);

// Sides of an axis-aligned box, for leaving out those that nothing ever sees.
enum BoxSide { BoxTop = 1, BoxBottom = 2, BoxFront = 4, BoxBack = 8, BoxLeft = 16, BoxRight = 32, BoxAll = 63 };
// An axis-aligned box from lo to hi with hard edges; each side's texture is projected from its
// own plane, one texture length per texScale units.
void addBox(Mesh& mesh, Point3 lo, Point3 hi, float texScale, int sides = BoxAll);
// A smooth truncated cone from base (radius r0) to top (radius r1) with segments sides: u runs
// uTurns times round, v from v0 at the base to v1 at the top; flat caps when asked.
struct Frustum {
    Point3 base, top;
    float r0 = 1.0f, r1 = 1.0f;
    int segments = 12;
    float uTurns = 1.0f, v0 = 0.0f, v1 = 1.0f;
    bool capBase = false, capTop = false;
};
void addFrustum(Mesh& mesh, const Frustum& f);
Point3 faceNormal(const Mesh& mesh, const MeshFace& face);

std::string aseText(const MeshScene& scene);
// Writes the scene's ASE text to path; false, after writeFailed's line, when it cannot.
bool writeAse(const std::string& path, const MeshScene& scene);
