// The TGA loader on files the tests write.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "assets/tga_loader.h"
#include "support/gl_context.h"

namespace {
std::string tempPath(const char* name) { return std::string(::testing::TempDir()) + name; }

std::vector<unsigned char> solid(int w, int h, int bytes, std::vector<unsigned char> pixel)
{
    std::vector<unsigned char> out;
    for (int i = 0; i < w * h; ++i) out.insert(out.end(), pixel.begin(), pixel.begin() + bytes);
    return out;
}

GLint boundWidth(GLuint texture)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint w = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    return w;
}

class TgaLoader : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(openTestGlContext()); }
};
}  // namespace

TEST_F(TgaLoader, StatusesForBadHeaders)
{
    struct Case {
        int w, h, depth, type, map;
        TgaStatus status;
    } cases[] = {
        {640, 480, 24, 2, 0, TgaBadSize}, {1, 1, 24, 2, 0, TgaBadSize}, {1024, 1024, 24, 2, 0, TgaBadSize},
        {4, 4, 16, 2, 0, TgaBadDepth},    {4, 4, 24, 10, 0, TgaNotTrueColour},
        {4, 4, 8, 3, 0, TgaNotTrueColour}, {4, 4, 24, 2, 1, TgaNotTrueColour},
    };
    std::string path = tempPath("bad.tga");
    for (const Case& c : cases) {
        ASSERT_TRUE(writeFile(path, makeTga(c.w, c.h, c.depth, {}, c.type, c.map)));
        EXPECT_EQ(loadTgaTexture(path.c_str(), 77), c.status) << c.w << "x" << c.h << " type " << c.type;
    }
    EXPECT_EQ(loadTgaTexture(tempPath("missing.tga").c_str(), 77), TgaCannotOpen);
}

TEST_F(TgaLoader, ByteOrderImageIdAndSize)
{
    std::string path = tempPath("rgb.tga");
    ASSERT_TRUE(writeFile(path, makeTga(512, 256, 24, solid(512, 256, 3, {10, 20, 30}), 2, 0, 5)));
    TgaImage image;
    ASSERT_EQ(readTgaImage(path.c_str(), image), TgaLoaded);
    EXPECT_EQ(image.pixels[0], 30);
    EXPECT_EQ(image.pixels[1], 20);
    EXPECT_EQ(image.pixels[2], 10);
    freeTgaImage(image);
    ASSERT_EQ(loadTgaTexture(path.c_str(), 78), TgaLoaded);
    EXPECT_EQ(boundWidth(78), 512);
    std::vector<unsigned char> back(512 * 256 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, back.data());
    EXPECT_EQ(back[0], 30);
    EXPECT_EQ(back[2], 10);
    GLint filter = 0, alignment = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(filter, GL_LINEAR);
    EXPECT_EQ(alignment, 1);
}

TEST_F(TgaLoader, ReadOnlyFileLoads)
{
    std::string path = tempPath("readonly.tga");
    ::unlink(path.c_str());
    ASSERT_TRUE(writeFile(path, makeTga(4, 4, 32, solid(4, 4, 4, {1, 2, 3, 4}))));
    ::chmod(path.c_str(), 0444);
    // Root may write to any file, so the load runs as an ordinary user for the while.
    bool dropped = ::geteuid() == 0 && ::seteuid(65534) == 0;
    if (::geteuid() == 0) GTEST_SKIP() << "cannot run as an ordinary user";
    TgaStatus status = loadTgaTexture(path.c_str(), 79);
    if (dropped) ASSERT_EQ(::seteuid(0), 0);
    EXPECT_EQ(status, TgaLoaded);
    ::chmod(path.c_str(), 0644);
}

TEST_F(TgaLoader, ShortFileLeavesTextureAndStateAsTheyWere)
{
    std::string good = tempPath("good.tga"), cut = tempPath("cut.tga");
    ASSERT_TRUE(writeFile(good, makeTga(8, 8, 24, solid(8, 8, 3, {1, 2, 3}))));
    ASSERT_EQ(loadTgaTexture(good.c_str(), 80), TgaLoaded);
    auto bytes = makeTga(16, 16, 24, solid(16, 16, 3, {1, 2, 3}));
    bytes.resize(bytes.size() - 1);
    ASSERT_TRUE(writeFile(cut, bytes));
    glBindTexture(GL_TEXTURE_2D, 5);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    EXPECT_EQ(loadTgaTexture(cut.c_str(), 80), TgaShortData);
    GLint bound = 0, alignment = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(bound, 5);
    EXPECT_EQ(alignment, 4);
    EXPECT_EQ(boundWidth(80), 8);
}
