// The tile wall through GL feedback: positions and texture cells of its tiles, their order and
// the empty cases; and a picture of the overlays over a textured wall.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "render/outline_font.h"
#include "render/tile_wall.h"
#include "shell/demo_clock.h"
#include "support/gl_context.h"
#include "support/gl_feedback.h"

namespace {
// One quad of the wall as the renderer sent it (its triangles' vertices, without repeats).
using Quad = std::vector<FeedbackVertex>;

std::vector<Quad> wallQuads(int columns, int rows)
{
    const auto items = captureFeedback([&] {
        glLoadIdentity();
        drawTileWall(columns, rows);
    });
    // Quads may come back whole or split into two triangles; join the halves again.
    std::vector<Quad> quads;
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].token, GLenum(GL_POLYGON_TOKEN));
        Quad quad = items[i].vertices;
        if (quad.size() == 3 && i + 1 < items.size()) {
            for (const FeedbackVertex& v : items[++i].vertices) {
                const bool seen = std::any_of(quad.begin(), quad.end(), [&](const FeedbackVertex& q) {
                    return q.x == v.x && q.y == v.y && q.z == v.z;
                });
                if (!seen) quad.push_back(v);
            }
        }
        quads.push_back(quad);
    }
    return quads;
}

struct Corner {
    float x, y, z, s, t;
};

bool same(const FeedbackVertex& v, const Corner& c)
{
    return std::abs(v.x - c.x) < 1e-5 && std::abs(v.y - c.y) < 1e-5 && std::abs(v.z - c.z) < 1e-4 &&
           std::abs(v.s - c.s) < 1e-6 && std::abs(v.t - c.t) < 1e-6;
}

// The five faces of the tile whose base runs from (x0, y0) to (x0 + 0.5, y0 + 0.5), with texture
// cell [s0, s1] x [t0, t1], in the order they are drawn.
void expectTile(const std::vector<Quad>& quads, size_t first, float x0, float y0, float s0, float s1,
                float t0, float t1)
{
    const Corner p1{x0, y0, 0, s0, t0}, p2{x0 + 0.5f, y0, 0, s1, t0};
    const Corner p3{x0 + 0.5f, y0 + 0.5f, 0, s1, t1}, p4{x0, y0 + 0.5f, 0, s0, t1};
    const Corner q1{x0 + 0.025f, y0 + 0.025f, 0.025f, s0, t0};
    const Corner q2{x0 + 0.475f, y0 + 0.025f, 0.025f, s1, t0};
    const Corner q3{x0 + 0.475f, y0 + 0.475f, 0.025f, s1, t1};
    const Corner q4{x0 + 0.025f, y0 + 0.475f, 0.025f, s0, t1};
    const std::vector<Corner> faces[5] = {
        {p2, p3, q3, q2},  // right slope
        {q2, q3, q4, q1},  // top
        {q1, q4, p4, p1},  // left slope
        {p1, p2, q2, q1},  // lower slope
        {p4, q4, q3, p3},  // upper slope
    };
    ASSERT_GE(quads.size(), first + 5);
    for (size_t f = 0; f < 5; ++f) {
        const Quad& quad = quads[first + f];
        ASSERT_EQ(quad.size(), 4u) << "face " << f;
        for (const Corner& c : faces[f]) {
            const bool found = std::any_of(quad.begin(), quad.end(), [&](const FeedbackVertex& v) { return same(v, c); });
            EXPECT_TRUE(found) << "face " << f << " lacks (" << c.x << ", " << c.y << ", " << c.z
                               << ") st (" << c.s << ", " << c.t << ")";
        }
    }
}

class TileWall : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(openTestGlContext()); }
};
}  // namespace

TEST_F(TileWall, TilesOfTheEightBySixWall)
{
    const auto quads = wallQuads(8, 6);
    ASSERT_EQ(quads.size(), 8u * 6u * 5u);
    // Row by row, column by column: the first tile at the origin, the last one up to (4.7, 3.5).
    expectTile(quads, 0, 0.0f, 0.0f, 0.0f, 0.125f, 0.0f, 1.0f / 6);
    expectTile(quads, 47 * 5, 4.2f, 3.0f, 0.875f, 1.0f, 5.0f / 6, 1.0f);
    // Column 2 of row 1 is the eleventh tile.
    expectTile(quads, (1 * 8 + 2) * 5, 1.2f, 0.6f, 0.25f, 0.375f, 1.0f / 6, 1.0f / 3);
}

TEST_F(TileWall, OneTileShowsTheWholeTextureAndEmptyGridsDrawNothing)
{
    const auto quads = wallQuads(1, 1);
    ASSERT_EQ(quads.size(), 5u);
    expectTile(quads, 0, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 1.0f);
    EXPECT_TRUE(wallQuads(0, 6).empty());
    EXPECT_TRUE(wallQuads(8, 0).empty());
    EXPECT_TRUE(wallQuads(-1, 6).empty());
}

// The overlays over the wall textured with a test picture, as a scene would draw them: written
// to tile_wall_overlays.png in the working directory for a look, and probed where the text goes.
TEST_F(TileWall, OverlaysOverTheTexturedWall)
{
    constexpr int side = 256;
    std::vector<unsigned char> picture(side * side * 3);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            unsigned char* p = &picture[(y * side + x) * 3];
            const bool check = ((x / 32) + (y / 32)) % 2 == 0;
            p[0] = static_cast<unsigned char>(x);
            p[1] = check ? 40 : 90;
            p[2] = static_cast<unsigned char>(255 - y);
        }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, side, side, 0, GL_RGB, GL_UNSIGNED_BYTE, picture.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    createOutlineFont();

    glViewport(0, 0, 800, 600);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 800.0 / 600.0, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(2.35, 1.0, 4.6, 2.35, 1.75, 0, 0, 1, 0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
    drawTileWall(8, 6);
    frameRateMeter.framesPerSecond = 62.5f;
    drawTimeOverlay(75.5f);
    drawFpsOverlay();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    ASSERT_TRUE(writeFramebufferPng("tile_wall_overlays.png", 800, 600));

    // Green text pixels in the band near the top edge, spread evenly either side of the middle,
    // and near the bottom right corner.
    auto green = [](int x0, int x1, int y0, int y1) {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const Rgb p = readPixel(x, y);
                count += p.g > 150 && p.r < 80 && p.b < 80;
            }
        return count;
    };
    const int left = green(250, 400, 555, 600), right = green(400, 550, 555, 600);
    EXPECT_GT(left, 100);
    EXPECT_GT(right, 100);
    EXPECT_LT(std::abs(left - right), (left + right) / 3);
    EXPECT_EQ(green(0, 250, 555, 600) + green(550, 800, 555, 600), 0);
    EXPECT_GT(green(660, 800, 0, 45), 100);
    // The wall shows the picture in the middle of the frame, tiles and gaps.
    int shown = 0, dark = 0;
    for (int y = 200; y < 400; y += 4)
        for (int x = 300; x < 500; x += 4) {
            const Rgb p = readPixel(x, y);
            (p.r + p.g + p.b > 60 ? shown : dark) += 1;
        }
    EXPECT_GT(shown, dark);
    EXPECT_GT(dark, 0);

    deleteOutlineFont();
    glDeleteTextures(1, &texture);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
}
