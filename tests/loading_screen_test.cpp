// The loading screen as the program shows it: the loading picture across the whole window,
// and a plain white quad over the whole window when the picture cannot be read.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <filesystem>
#include <set>
#include <tuple>

#include "app/demo_main.h"
#include "core/demo_state.h"
#include "platform/display.h"
#include "shell/gl_window.h"

namespace fs = std::filesystem;

namespace {
struct Pixel {
    int r, g, b;
    bool operator<(const Pixel& o) const { return std::tie(r, g, b) < std::tie(o.r, o.g, o.b); }
};

// The picture on screen after the loading screen's swap, at a few points.
Pixel frontPixel(int x, int y)
{
    unsigned char p[3] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_FRONT);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
}

const int probes[][2] = {{0, 0}, {799, 0}, {0, 599}, {799, 599}, {400, 300}, {200, 450}, {600, 150}};

void showLoadingScreenIn(const fs::path& folder)
{
    fs::current_path(folder);
    displayRequestOffscreen();
    ASSERT_TRUE(openGlWindow("DemoTORVA - v 0.5b", 800, 600, 16, false));
    ASSERT_TRUE(loadEverything());
}
}  // namespace

TEST(LoadingScreen, MissingPictureLeavesAWhiteQuadOverTheWholeWindow)
{
    fs::path empty = fs::temp_directory_path() / "demotorva-loading-empty";
    fs::create_directories(empty);
    showLoadingScreenIn(empty);
    for (const auto& p : probes) {
        Pixel pixel = frontPixel(p[0], p[1]);
        EXPECT_EQ(pixel.r, 255) << p[0] << "," << p[1];
        EXPECT_EQ(pixel.g, 255) << p[0] << "," << p[1];
        EXPECT_EQ(pixel.b, 255) << p[0] << "," << p[1];
    }
    closeGlWindow();
}

TEST(LoadingScreen, PackPictureCoversTheWholeWindow)
{
    showLoadingScreenIn(DEMOTORVA_PACK_DIR);
    std::set<Pixel> seen;
    int white = 0;
    for (const auto& p : probes) {
        Pixel pixel = frontPixel(p[0], p[1]);
        seen.insert(pixel);
        if (pixel.r == 255 && pixel.g == 255 && pixel.b == 255) ++white;
    }
    // A picture, not the white fallback.
    EXPECT_LT(white, 3);
    EXPECT_GT(seen.size(), 1u);
    closeGlWindow();
}
