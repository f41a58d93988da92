// The model renderer under a real GL context: the state it leaves, the material and light
// parameters it sets, outlines, animation placement and what the unsafe-looking cases draw.
// Geometry is checked exactly through GL feedback mode, colours through pixels.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "render/model_renderer.h"
#include "render/vector3.h"
#include "support/gl_context.h"

namespace {
// One object: a triangle covering the middle of a 200 x 200 viewport at identity transforms.
AseModel triangleModel()
{
    AseModel model;
    model.objectCount = 1;
    model.objects.resize(1);
    AseObject& o = model.objects[0];
    o.vertexCount = 3;
    o.faceCount = 1;
    o.vertices = {{-0.8f, -0.8f, 0.0f}, {0.8f, -0.8f, 0.0f}, {0.0f, 0.8f, 0.0f}};
    o.faces.resize(1);
    o.faces[0].v[0] = 0;
    o.faces[0].v[1] = 1;
    o.faces[0].v[2] = 2;
    o.faces[0].normal = {0.0f, 0.0f, 1.0f};
    return model;
}

void addMaterial(AseModel& model, float r, float g, float b)
{
    AseMaterial m;
    m.diffuse[0] = r;
    m.diffuse[1] = g;
    m.diffuse[2] = b;
    m.ambient[0] = 0.1f;
    m.specular[1] = 0.3f;
    m.shine = 0.25f;
    m.selfIllum = 0.5f;
    model.materials.push_back(m);
    model.materialCount = static_cast<int32_t>(model.materials.size());
}

void resetView()
{
    glViewport(0, 0, 200, 200);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glColor4f(1, 1, 1, 1);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    for (int i = 0; i < 8; ++i) glDisable(GL_LIGHT0 + i);
}

struct FeedbackVertex {
    float x, y, r, g, b;
};

// Every polygon drawn by draw, as window coordinates and colours of its corners.
template <class Draw>
std::vector<std::vector<FeedbackVertex>> feedback(Draw draw)
{
    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<std::vector<FeedbackVertex>> polygons;
    for (GLint i = 0; i < used;) {
        const GLint token = static_cast<GLint>(buffer[static_cast<size_t>(i++)]);
        if (token != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
        const GLint n = static_cast<GLint>(buffer[static_cast<size_t>(i++)]);
        std::vector<FeedbackVertex> polygon;
        for (GLint v = 0; v < n; ++v, i += 7) {
            const float* p = &buffer[static_cast<size_t>(i)];
            polygon.push_back({p[0], p[1], p[3], p[4], p[5]});
        }
        polygons.push_back(polygon);
    }
    return polygons;
}

std::vector<float> materialParameter(GLenum name)
{
    std::vector<float> v(4, -1.0f);
    glGetMaterialfv(GL_FRONT, name, v.data());
    return v;
}

std::vector<float> lightParameter(GLenum light, GLenum name)
{
    std::vector<float> v(4, -1.0f);
    glGetLightfv(light, name, v.data());
    return v;
}

class ModelRenderer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(openTestGlContext());
        resetView();
    }
};
}  // namespace

TEST_F(ModelRenderer, StateLeftBehind)
{
    AseModel model = triangleModel();
    addMaterial(model, 1, 0, 0);
    model.materials[0].hasBitmap = 1;
    model.materials[0].texture = 4242;
    model.objects[0].materialRef = 0;
    model.objects[0].texVertices = {{0, 0}, {1, 0}, {0, 1}};
    model.objects[0].texVertexCount = 3;
    glColor4f(0.5f, 0.25f, 1.0f, 1.0f);
    float before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);

    // No lights, lit: lighting on while drawing, off afterwards; outlines leave GL_FILL.
    drawAseModel(model, 2, 1, 1, 0, 1, 0);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLint modes[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_FILL);
    EXPECT_EQ(modes[1], GL_FILL);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 4242);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(after[i], before[i]);
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[1], 0.25f);

    // A material without a bitmap: untextured even when textured is asked for, and
    // GL_TEXTURE_2D left as the caller had it.
    model.materials[0].hasBitmap = 0;
    glEnable(GL_TEXTURE_2D);
    drawAseModel(model, 1, 1, 0, 0, 0, 0);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    glDisable(GL_TEXTURE_2D);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ModelRenderer, MaterialParameters)
{
    AseModel model = triangleModel();
    addMaterial(model, 0.8f, 0.6f, 0.4f);
    model.objects[0].materialRef = 0;
    model.objects[0].wireColor[0] = 0.2f;

    drawAseModel(model, 1, 0, 1, 0, 0, 0);
    EXPECT_FLOAT_EQ(materialParameter(GL_AMBIENT)[0], 0.1f);
    EXPECT_FLOAT_EQ(materialParameter(GL_DIFFUSE)[1], 0.6f);
    EXPECT_FLOAT_EQ(materialParameter(GL_SPECULAR)[1], 0.3f);
    EXPECT_FLOAT_EQ(materialParameter(GL_SPECULAR)[3], 1.0f);
    EXPECT_FLOAT_EQ(materialParameter(GL_EMISSION)[2], 0.4f);
    EXPECT_FLOAT_EQ(materialParameter(GL_EMISSION)[3], 0.5f);
    GLfloat shininess = -1;
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    EXPECT_FLOAT_EQ(shininess, 32.0f);

    // Lit and textured: white ambient and diffuse for the texture to show through.
    model.materials[0].hasBitmap = 1;
    model.objects[0].texVertices = {{0, 0}, {1, 0}, {0, 1}};
    model.objects[0].texVertexCount = 3;
    drawAseModel(model, 1, 1, 1, 0, 0, 0);
    EXPECT_FLOAT_EQ(materialParameter(GL_AMBIENT)[0], 1.0f);
    EXPECT_FLOAT_EQ(materialParameter(GL_DIFFUSE)[2], 1.0f);

    // Unlit: the object's wire colour as diffuse, white ambient and specular, no emission.
    drawAseModel(model, 1, 1, 0, 0, 0, 0);
    EXPECT_FLOAT_EQ(materialParameter(GL_DIFFUSE)[0], 0.2f);
    EXPECT_FLOAT_EQ(materialParameter(GL_AMBIENT)[1], 1.0f);
    EXPECT_FLOAT_EQ(materialParameter(GL_SPECULAR)[2], 1.0f);
    EXPECT_FLOAT_EQ(materialParameter(GL_EMISSION)[0], 0.0f);
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    EXPECT_FLOAT_EQ(shininess, 0.0f);

    // An absent reference (-1, or at or past the table) takes the first material untextured.
    for (int ref : {-1, 1, 99}) {
        model.objects[0].materialRef = ref;
        glDisable(GL_TEXTURE_2D);
        drawAseModel(model, 1, 1, 1, 0, 0, 0);
        EXPECT_FLOAT_EQ(materialParameter(GL_DIFFUSE)[0], 0.8f) << ref;
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << ref;
    }
    // Shininess out of OpenGL's range is held to it rather than rejected.
    model.objects[0].materialRef = 0;
    model.materials[0].shine = 3.0f;
    drawAseModel(model, 1, 0, 1, 0, 0, 0);
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    EXPECT_FLOAT_EQ(shininess, 128.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ModelRenderer, LightsAndSpots)
{
    AseModel model = triangleModel();
    for (int i = 0; i < 10; ++i) {
        AseLight light;
        light.position[0] = static_cast<float>(i);
        light.position[2] = 1.0f;
        light.color[0] = 0.5f;
        light.color[1] = 0.25f;
        light.color[2] = static_cast<float>(i) / 10.0f;
        light.intensity = 0.75f;
        model.lights.push_back(light);
    }
    model.lights[1].hasTarget = 1;
    model.lights[1].target[0] = 1.0f;
    model.lights[1].target[1] = 5.0f;
    model.lightCount = 10;
    drawAseModel(model, 1, 0, 1, 0, 0, 0);
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(glIsEnabled(GL_LIGHT0 + i)) << i;
    // Directional (w 0), ambient colour - (1 - intensity), diffuse with alpha 1.
    EXPECT_FLOAT_EQ(lightParameter(GL_LIGHT0, GL_POSITION)[2], 1.0f);
    EXPECT_FLOAT_EQ(lightParameter(GL_LIGHT0, GL_POSITION)[3], 0.0f);
    EXPECT_FLOAT_EQ(lightParameter(GL_LIGHT0, GL_AMBIENT)[0], 0.25f);
    EXPECT_FLOAT_EQ(lightParameter(GL_LIGHT0, GL_AMBIENT)[1], 0.0f);
    EXPECT_FLOAT_EQ(lightParameter(GL_LIGHT0, GL_AMBIENT)[3], 1.0f);
    EXPECT_FLOAT_EQ(lightParameter(GL_LIGHT0, GL_DIFFUSE)[1], 0.25f);
    // Lights past the eighth reprogram GL_LIGHT7; the last one wins.
    EXPECT_FLOAT_EQ(lightParameter(GL_LIGHT7, GL_DIFFUSE)[2], 0.9f);
    EXPECT_FLOAT_EQ(lightParameter(GL_LIGHT7, GL_POSITION)[0], 9.0f);
    // The light with a target: a 45 degree cone, exponent 100, toward the target.
    GLfloat cutoff = 0, exponent = 0;
    glGetLightfv(GL_LIGHT1, GL_SPOT_CUTOFF, &cutoff);
    glGetLightfv(GL_LIGHT1, GL_SPOT_EXPONENT, &exponent);
    EXPECT_FLOAT_EQ(cutoff, 45.0f);
    EXPECT_FLOAT_EQ(exponent, 100.0f);
    const std::vector<float> direction = lightParameter(GL_LIGHT1, GL_SPOT_DIRECTION);
    EXPECT_FLOAT_EQ(direction[0], 0.0f);
    EXPECT_FLOAT_EQ(direction[1], 5.0f);
    EXPECT_FLOAT_EQ(direction[2], -1.0f);
    glGetLightfv(GL_LIGHT2, GL_SPOT_CUTOFF, &cutoff);
    EXPECT_FLOAT_EQ(cutoff, 180.0f);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));

    // Unlit: lights are not touched and lighting is off.
    glDisable(GL_LIGHT3);
    drawAseModel(model, 1, 0, 0, 0, 0, 0);
    EXPECT_FALSE(glIsEnabled(GL_LIGHT3));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
}

TEST_F(ModelRenderer, OutlinesAndFill)
{
    AseModel model = triangleModel();
    drawAseModel(model, 2, 0, 0, 0, 0, 0);
    const Rgb inside = readPixel(100, 80);
    // The bottom edge runs along y = 20, between two pixel rows.
    const int edge = std::max(readPixel(100, 19).r, readPixel(100, 20).r);
    EXPECT_EQ(inside.r, 0);
    EXPECT_EQ(edge, 255);
    glClear(GL_COLOR_BUFFER_BIT);
    drawAseModel(model, 1, 0, 0, 0, 0, 0);
    EXPECT_EQ(readPixel(100, 80).r, 255);
    // The caller's colour tints an unlit model.
    glColor3f(0.0f, 1.0f, 0.0f);
    drawAseModel(model, 3, 0, 0, 0, 0, 0);
    EXPECT_EQ(readPixel(100, 80).r, 0);
    EXPECT_EQ(readPixel(100, 80).g, 255);
}

TEST_F(ModelRenderer, UnsafeCasesDrawSafely)
{
    // Lit without vertex normals: the face normal lights it fully (red 0.5 emission plus
    // 0.5 diffuse toward the light), where a missing normal would leave the emission only.
    AseModel lit = triangleModel();
    addMaterial(lit, 0.5f, 0.0f, 0.0f);
    lit.materials[0].ambient[0] = 0.0f;
    lit.objects[0].materialRef = 0;
    lit.objects[0].hasNormals = 1;
    AseLight light;
    light.position[2] = 1.0f;
    light.color[0] = light.color[1] = light.color[2] = 1.0f;
    light.intensity = 0.0f;
    lit.lights.push_back(light);
    lit.lightCount = 1;
    auto polygons = feedback([&] { drawAseModel(lit, 1, 0, 1, 0, 0, 0); });
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_NEAR(polygons[0][0].r, 1.0f, 0.01f);
    // With vertex normals they are used: a normal along the light at corner 0 only.
    lit.objects[0].vertexNormals = {{0, 0, 1}, {1, 0, 0}, {1, 0, 0}};
    polygons = feedback([&] { drawAseModel(lit, 1, 0, 1, 0, 0, 0); });
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_NEAR(polygons[0][0].r, 1.0f, 0.01f);
    EXPECT_NEAR(polygons[0][1].r, 0.5f, 0.01f);

    // Texture vertices missing: drawn untextured, even over a black picture the caller left
    // bound with texturing on, and texturing is left off as after any textured draw.
    AseModel textured = triangleModel();
    addMaterial(textured, 1, 1, 1);
    textured.materials[0].hasBitmap = 1;
    textured.objects[0].materialRef = 0;
    textured.objects[0].texVertexCount = 3;
    const unsigned char black[4] = {0, 0, 0, 255};
    glBindTexture(GL_TEXTURE_2D, 77);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, black);
    glEnable(GL_TEXTURE_2D);
    glClear(GL_COLOR_BUFFER_BIT);
    drawAseModel(textured, 1, 1, 0, 0, 0, 0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(readPixel(100, 80).r, 255);
    const GLuint picture = 77;
    glDeleteTextures(1, &picture);

    // Faces naming vertices past the table are left out; counts past the arrays are not read.
    AseModel broken = triangleModel();
    broken.objects[0].faces.resize(3, broken.objects[0].faces[0]);
    broken.objects[0].faces[1].v[2] = 3;
    broken.objects[0].faces[2].v[0] = -1;
    broken.objects[0].faceCount = 7;
    broken.objects[0].vertexCount = 9;
    broken.objectCount = 4;
    broken.materialCount = 5;
    polygons = feedback([&] { drawAseModel(broken, 1, 1, 1, 0, 1, 0); });
    EXPECT_EQ(polygons.size(), 1u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ModelRenderer, AnimatedPlacement)
{
    AseModel model = triangleModel();
    AnimTrack& a = model.objects[0].anim;
    a.posKeyCount = 2;
    a.posKeys.resize(2);
    a.posKeys[0].value[0] = 0.1f;
    a.posFrames = {{0.0f, 0.0f, 0.0f}, {0.1f, 0.0f, 0.5f}, {0.2f, 0.0f, 0.0f}};
    // The lower-left corner of the drawn triangle, whichever corner feedback lists first.
    auto corner = [&](int frame) {
        const auto polygons = feedback([&] { drawAseModel(model, 1, 0, 0, 0, 1, frame); });
        FeedbackVertex low{1e9f, 1e9f, 0, 0, 0}, high{-1e9f, -1e9f, 0, 0, 0};
        for (const auto& polygon : polygons)
            for (const FeedbackVertex& v : polygon) {
                low.x = std::min(low.x, v.x);
                low.y = std::min(low.y, v.y);
                high.x = std::max(high.x, v.x);
            }
        low.r = high.x;  // rightmost x rides along
        return low;
    };
    // Window x = (ndc + 1) * 100; the frame's z lands on y (second and third exchanged).
    EXPECT_NEAR(corner(1).x, 30.0f, 0.01f);
    EXPECT_NEAR(corner(1).y, 70.0f, 0.01f);
    // Frames past the table take its last entry; before it, its first.
    EXPECT_NEAR(corner(99).x, 40.0f, 0.01f);
    EXPECT_NEAR(corner(-5).x, 20.0f, 0.01f);
    // Keys without a table hold the first key.
    a.posFrames.clear();
    EXPECT_NEAR(corner(3).x, 30.0f, 0.01f);

    // 180 degrees about y (file z) with the pivot's x at -0.05: translating by minus the
    // pivot, rotating and translating back mirrors x about 0.05, so the corners at -0.8 and
    // 0.8 land at 0.9 and -0.7 (window 190 and 30).
    a.posKeyCount = 0;
    a.rotKeyCount = 1;
    a.rotKeys.resize(1);
    a.rotFrames = {{0.0f, 0.0f, 1.0f, 180.0f}};
    model.objects[0].pivot[0] = -0.05f;
    EXPECT_NEAR(corner(0).x, 30.0f, 0.01f);
    EXPECT_NEAR(corner(0).r, 190.0f, 0.01f);
    float matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_FLOAT_EQ(matrix[0], 1.0f);
}

TEST(Vector3Operations, NormaliseTransformAndLightHelpers)
{
    Vector3 zero{0, 0, 0};
    EXPECT_FLOAT_EQ(normalizeVector3(zero, zero), 0.0f);
    EXPECT_FLOAT_EQ(zero.x, 0.0f);
    Vector3 v{3, 0, 4};
    EXPECT_FLOAT_EQ(normalizeVector3(v, v), 5.0f);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.z, 0.8f);
    // Column-major: component i takes m[i], m[4 + i], m[8 + i]; translation is ignored.
    const float m[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 7, 7, 7, 1};
    Vector3 n{1, 0, 0};
    transformNormal(m, n);
    EXPECT_FLOAT_EQ(n.x, 0.0f);
    EXPECT_FLOAT_EQ(n.y, 1.0f);
    EXPECT_FLOAT_EQ(n.z, 0.0f);
    Vector3 copy;
    copyVector3(v, copy);
    EXPECT_FLOAT_EQ(copy.z, 0.8f);
    clearVector3(copy);
    EXPECT_FLOAT_EQ(copy.z, 0.0f);
    const float colour[4] = {0.2f, 0.5f, 1.0f, 0.7f};
    float out[4];
    lightAmbient(colour, 0.5f, out);
    EXPECT_FLOAT_EQ(out[0], -0.3f);  // passed to OpenGL as it is
    EXPECT_FLOAT_EQ(out[3], 0.7f);
    const float from[4] = {1, 2, 3, 0}, to[4] = {2, 2, 0, 9};
    spotDirection(from, to, out);
    EXPECT_FLOAT_EQ(out[0], 1.0f);
    EXPECT_FLOAT_EQ(out[2], -3.0f);
    EXPECT_FLOAT_EQ(out[3], 1.0f);
}
