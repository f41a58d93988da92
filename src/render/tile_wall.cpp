// Tile wall.
//
// Each tile is one quad strip (right slope, top face, left slope) and two quads (lower and
// upper slopes): 16 vertices, each sent as a texture coordinate and a position, no normals or
// colours. A top corner takes the texture coordinate of the base corner below it, so the top
// face shows the whole cell squeezed onto the smaller square and each slope repeats the texels
// along one edge of the cell.
#include "render/tile_wall.h"

#include <GL/gl.h>

#include <initializer_list>

namespace {
constexpr double tilePitch = 0.6;
constexpr float baseEdge = 0.5f;
constexpr float topEdge = 0.45f;
constexpr float tileDepth = 0.05f;

struct TileVertex {
    float s, t;
    float x, y, z;
};

void send(const TileVertex& v)
{
    glTexCoord2f(v.s, v.t);
    glVertex3f(v.x, v.y, v.z);
}
}  // namespace

void drawTileWall(int columns, int rows)
{
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const float x = static_cast<float>(column * tilePitch);
            const float y = static_cast<float>(row * tilePitch);
            drawBevelTile(topEdge, baseEdge, topEdge, baseEdge, tileDepth, x, y, 0.0f, column + 1,
                          row + 1, columns, rows);
        }
    }
}

void drawBevelTile(float topWidth, float baseWidth, float topHeight, float baseHeight, float depth,
                   float x, float y, float z, int columnNumber, int rowNumber, int columns,
                   int rows)
{
    const float s0 = float(columnNumber - 1) / float(columns);
    const float s1 = float(columnNumber) / float(columns);
    const float t0 = float(rowNumber - 1) / float(rows);
    const float t1 = float(rowNumber) / float(rows);
    const float mx = (baseWidth - topWidth) / 2.0f;
    const float my = (baseHeight - topHeight) / 2.0f;
    const float zt = z + depth / 2.0f;

    const TileVertex p1{s0, t0, x, y, z};
    const TileVertex p2{s1, t0, x + baseWidth, y, z};
    const TileVertex p3{s1, t1, x + baseWidth, y + baseHeight, z};
    const TileVertex p4{s0, t1, x, y + baseHeight, z};
    const TileVertex q1{s0, t0, x + mx, y + my, zt};
    const TileVertex q2{s1, t0, x + topWidth + mx, y + my, zt};
    const TileVertex q3{s1, t1, x + topWidth + mx, y + topHeight + my, zt};
    const TileVertex q4{s0, t1, x + mx, y + topHeight + my, zt};

    glBegin(GL_QUAD_STRIP);
    for (const TileVertex* v : {&p2, &p3, &q2, &q3, &q1, &q4, &p1, &p4}) send(*v);
    glEnd();
    glBegin(GL_QUADS);
    for (const TileVertex* v : {&p1, &p2, &q2, &q1}) send(*v);
    glEnd();
    glBegin(GL_QUADS);
    for (const TileVertex* v : {&p4, &q4, &q3, &p3}) send(*v);
    glEnd();
}
