// Glyph outlines of the installed narrow sans: metrics, code page, geometry and the no-face path.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "platform/glyph_outlines.h"
#include "support/gl_context.h"
#include "support/gl_feedback.h"

namespace {
constexpr int glyphCount = 255;

class GlyphOutlines : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(openTestGlContext());
        base = glGenLists(glyphCount);
        ASSERT_NE(base, 0u);
    }
    void TearDown() override { glDeleteLists(base, glyphCount); }

    bool build(const char* face = "Arial Narrow")
    {
        return buildGlyphOutlines(face, 24, 400, base, 0, glyphCount, advances);
    }
    // Feedback of one glyph list called at the origin, in em units (1 em = the view's unit).
    std::vector<FeedbackItem> drawn(int code, FeedbackView view = {-1, 2, -1, 2})
    {
        return captureFeedback([&] {
            glLoadIdentity();
            glCallList(base + code);
        }, view);
    }
    GLuint base = 0;
    float advances[256] = {};
};

float modelviewX()
{
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    return m[12];
}

size_t polygonCount(const std::vector<FeedbackItem>& items)
{
    return size_t(std::count_if(items.begin(), items.end(),
                                [](const FeedbackItem& i) { return i.token == GL_POLYGON_TOKEN; }));
}

// Area covered by the triangles of a glyph (the tessellator never overlaps them).
double filledArea(const std::vector<FeedbackItem>& items)
{
    double area = 0;
    for (const FeedbackItem& item : items) {
        if (item.token != GL_POLYGON_TOKEN) continue;
        const auto& v = item.vertices;
        for (size_t k = 1; k + 1 < v.size(); ++k)
            area += std::abs((v[k].x - v[0].x) * (v[k + 1].y - v[0].y) -
                             (v[k + 1].x - v[0].x) * (v[k].y - v[0].y)) / 2;
    }
    return area;
}
}  // namespace

TEST_F(GlyphOutlines, NarrowFaceMetricsAndCodePage)
{
    ASSERT_TRUE(build());
    // The narrow face, in em units: a capital M of Arial's regular width would be 0.83 em.
    EXPECT_GT(advances[int('M')], 0.6f);
    EXPECT_LT(advances[int('M')], 0.75f);
    for (char digit = '1'; digit <= '9'; ++digit) EXPECT_FLOAT_EQ(advances[int(digit)], advances[int('0')]);
    // Each list ends with a translation by its advance.
    glLoadIdentity();
    glCallList(base + 'W');
    EXPECT_NEAR(modelviewX(), advances[int('W')], 1e-6);

    // Windows-1252: 0xE9 is e acute, 0x80 the euro sign, 0x96 the en dash.
    EXPECT_FLOAT_EQ(advances[0xE9], advances[int('e')]);
    EXPECT_GT(polygonCount(drawn(0xE9)), polygonCount(drawn('e')));
    EXPECT_GT(polygonCount(drawn(0x80)), 0u);
    EXPECT_GT(polygonCount(drawn(0x96)), 0u);
    // 0x81 is undefined there and 0x01 has no glyph: nothing drawn, the missing glyph's advance.
    EXPECT_TRUE(drawn(0x81).empty());
    EXPECT_TRUE(drawn(0x01).empty());
    EXPECT_GT(advances[0x81], 0.0f);
    EXPECT_FLOAT_EQ(advances[0x81], advances[0x01]);
}

TEST_F(GlyphOutlines, FlatGlyphsWithoutSpikesOrFilledCounters)
{
    ASSERT_TRUE(build());
    for (int code = 32; code < glyphCount; ++code) {
        if (code >= 127 && code < 160) continue;
        for (const FeedbackItem& item : drawn(code)) {
            ASSERT_EQ(item.token, GLenum(GL_POLYGON_TOKEN)) << code;
            for (const FeedbackVertex& v : item.vertices) {
                EXPECT_NEAR(v.z, 0.0f, 1e-5) << code;
                // Within the glyph's own box: a stray vertex would draw a spike across the text.
                EXPECT_GE(v.x, -0.1f) << code;
                EXPECT_LE(v.x, advances[code] + 0.1f) << code;
                EXPECT_GE(v.y, -0.25f) << code;
                EXPECT_LE(v.y, 1.0f) << code;
            }
        }
    }
    // A ring: its counter is left open, so it covers much less than its filled outer oval.
    const auto ring = drawn('O');
    float left = 1, right = 0, bottom = 1, top = 0;
    for (const auto& item : ring)
        for (const auto& v : item.vertices) {
            left = std::min(left, v.x), right = std::max(right, v.x);
            bottom = std::min(bottom, v.y), top = std::max(top, v.y);
        }
    const double oval = M_PI / 4 * (right - left) * (top - bottom);
    EXPECT_GT(filledArea(ring), 0.2 * oval);
    EXPECT_LT(filledArea(ring), 0.5 * oval);
    // A full stop is a small filled square or disc.
    EXPECT_GT(filledArea(drawn('.')), 0.005);
}

TEST_F(GlyphOutlines, OutlineModeShowsOnlyTheOutline)
{
    ASSERT_TRUE(build());
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 800, 0, 600, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(100, 50, 0);
    glScalef(700, 700, 1);
    glColor3f(1, 1, 1);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glCallList(base + 'I');
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    // Across the middle of the capital I (one rectangle) only its two sides show; an inner
    // triangle edge would cross the scan line as well.
    int runs = 0;
    bool lit = false;
    for (int x = 0; x < 400; ++x) {
        const bool now = readPixel(x, 300).r > 128;
        if (now && !lit) ++runs;
        lit = now;
    }
    EXPECT_EQ(runs, 2);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

TEST_F(GlyphOutlines, FaceReadOnceListsCompiledEveryTime)
{
    ASSERT_TRUE(build());
    const auto first = drawn('g');
    const int reads = glyphOutlineFaceReads();
    EXPECT_GE(reads, 1);
    // Fresh lists from the kept outlines draw exactly what the first ones drew.
    glDeleteLists(base, glyphCount);
    base = glGenLists(glyphCount);
    float again[256] = {};
    ASSERT_TRUE(buildGlyphOutlines("Arial Narrow", 24, 400, base, 0, glyphCount, again));
    EXPECT_EQ(glyphOutlineFaceReads(), reads);
    for (int code = 0; code < glyphCount; ++code) ASSERT_EQ(again[code], advances[code]) << code;
    const auto second = drawn('g');
    ASSERT_EQ(second.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i) {
        ASSERT_EQ(second[i].vertices.size(), first[i].vertices.size());
        for (size_t k = 0; k < first[i].vertices.size(); ++k) {
            EXPECT_EQ(second[i].vertices[k].x, first[i].vertices[k].x);
            EXPECT_EQ(second[i].vertices[k].y, first[i].vertices[k].y);
        }
    }
    // Another request is read on its own.
    EXPECT_TRUE(buildGlyphOutlines("Arial Narrow", 24, 700, base, 0, glyphCount, again));
    EXPECT_EQ(glyphOutlineFaceReads(), reads + 1);
    // Codes past 255 have no place in the advances: nothing is built.
    EXPECT_FALSE(buildGlyphOutlines("Arial Narrow", 24, 400, base, 200, 57, again));
}

TEST_F(GlyphOutlines, WithoutAFaceTheListsDrawNothing)
{
    advances[int('A')] = 5.0f;
    EXPECT_FALSE(build(nullptr));
    for (int code = 0; code < glyphCount; ++code) ASSERT_TRUE(glIsList(base + code)) << code;
    EXPECT_TRUE(drawn('A').empty());
    glLoadIdentity();
    glCallList(base + 'A');
    EXPECT_EQ(modelviewX(), 0.0f);
    EXPECT_EQ(advances[int('A')], 0.0f);

    // No lists to fill: nothing is built and nothing is written.
    advances[int('A')] = 5.0f;
    EXPECT_FALSE(buildGlyphOutlines("Arial Narrow", 24, 400, 0, 0, glyphCount, advances));
    EXPECT_EQ(advances[int('A')], 5.0f);
}
