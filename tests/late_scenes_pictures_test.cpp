// Pictures of the tunnel, credits and end scenes, rendered offline by the demo itself from the
// data pack and probed where the scenes' geometry puts things: the textured, scrolling tunnel
// and its flash, the chain and the captions of both pages, the fogged wire wall and the rising
// closing text. The probes look for structure and placement, and for the contrast the show
// needs of the pack's pictures (tunnel walls that read through fog and flash, a chain that
// fills the frame), not for what the pictures show.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/late_scene_frames.h"

namespace {
constexpr int width = 800, height = 600;

// Eye space to pixels under a 45-degree projection at 4:3, for a picture at depth 4.99 (the
// captions), y counted from the top.
int captionColumn(float x) { return int(std::lround(400.0 + 400.0 * x * 2.4142136 / (4.0 / 3.0) / 4.99)); }
int captionRow(float y) { return int(std::lround(300.0 - 300.0 * y * 2.4142136 / 4.99)); }

double meanLuminance(const FramePicture& p, int x0, int y0, int x1, int y1)
{
    const PixelColour c = meanColour(p, x0, y0, x1, y1);
    return (c.r + c.g + c.b) / 3.0;
}

int darkestChannel(const FramePicture& p)
{
    int darkest = 255;
    for (unsigned char c : p.rgb) darkest = std::min(darkest, int(c));
    return darkest;
}

// Share of the frame's pixels clipped to white in every channel.
double whiteShare(const FramePicture& p)
{
    long white = 0;
    for (size_t i = 0; i + 2 < p.rgb.size(); i += 3) white += std::min({p.rgb[i], p.rgb[i + 1], p.rgb[i + 2]}) >= 250;
    return double(white) / (p.rgb.size() / 3);
}

// How many rows b's picture lies above a's: the shift that best lines up their row profiles.
int upwardShift(const FramePicture& a, const FramePicture& b, int maxShift)
{
    std::vector<double> pa(height), pb(height);
    for (int y = 0; y < height; ++y) {
        pa[y] = meanLuminance(a, 0, y, width, y + 1);
        pb[y] = meanLuminance(b, 0, y, width, y + 1);
    }
    int best = 0;
    double bestCost = 1e30;
    for (int s = 0; s <= maxShift; ++s) {
        double cost = 0;
        for (int y = s; y < height; ++y) cost += std::fabs(pa[y] - pb[y - s]);
        cost /= (height - s);
        if (cost < bestCost) {
            bestCost = cost;
            best = s;
        }
    }
    return best;
}

// How many columns b's picture in rows [y0, y1) lies right of a's (negative: left), within
// maxShift: the shift that best lines up their column profiles.
int sidewaysShift(const FramePicture& a, const FramePicture& b, int y0, int y1, int maxShift)
{
    std::vector<double> pa(width), pb(width);
    for (int x = 0; x < width; ++x) {
        pa[x] = meanLuminance(a, x, y0, x + 1, y1);
        pb[x] = meanLuminance(b, x, y0, x + 1, y1);
    }
    int best = 0;
    double bestCost = 1e30;
    for (int s = -maxShift; s <= maxShift; ++s) {
        double cost = 0;
        int n = 0;
        for (int x = std::max(0, -s); x < std::min(width, width - s); ++x, ++n) cost += std::fabs(pa[x] - pb[x + s]);
        cost /= n;
        if (cost < bestCost) {
            bestCost = cost;
            best = s;
        }
    }
    return best;
}

// The files of the pack a scene's pictures depend on that the pack lacks, for failure messages.
std::string missingFiles(const std::vector<std::string>& names)
{
    const char* pack = std::getenv("DEMOTORVA_TEST_PACK");
    std::string missing;
    for (const std::string& name : names)
        if (!std::filesystem::exists(std::filesystem::path(pack ? pack : DEMOTORVA_PACK_DIR) / name))
            missing += " " + name;
    return missing.empty() ? "" : "; the pack lacks" + missing;
}

// Each suite renders its stretch once, however many of its cases run.
struct PictureRun {
    const char* dir;
    double from, to;
    int fps;
    std::vector<float> wanted;
    std::vector<std::string> without;  // pack files left out, so that they draw nothing
    DemoFrames frames;
    bool ok = false, done = false;
    // ctest runs each case in a process of its own, possibly side by side with another case
    // of the same stretch: one folder per case, so that no run deletes another's frames.
    std::string folder() const
    {
        std::string name = ::testing::GTEST_FLAG(filter);
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return std::string(dir) + "/" + name;
    }
    bool render()
    {
        if (!done) {
            const std::string pack = without.empty() ? "" : packWithout(folder() + "_pack", without);
            ok = (without.empty() || !pack.empty()) &&
                 renderDemoFrames(folder(), from, to, fps, wanted, frames, pack);
        }
        done = true;
        return ok;
    }
    const FramePicture& at(float t) const { return frameNear(frames, t); }
};

// The tunnel at 7 frames per second: 22 frames (22/7 s) bring the orbit round once, so the
// camera is back where it was while the texture has slid on.
constexpr float orbitStart = 424.0f / 7.0f;  // 60.57 s
constexpr float orbitBack = 22.0f / 7.0f;
constexpr float flashPeak = 408.0f / 7.0f;   // 58.29 s, the frame nearest the peak at 58.25
PictureRun tunnelRun{"late_scenes_frames/tunnel", 58.2, 63.8, 7, {flashPeak, orbitStart, orbitStart + orbitBack}, {}, {}};
PictureRun creditsRun{"late_scenes_frames/credits", 75.4, 80.2, 5, {75.4f, 75.6f, 77.6f, 80.0f}, {}, {}};
// The captions over a pack without the logo bar: no chain glows behind them.
PictureRun captionsRun{"late_scenes_frames/captions", 90.0, 120.0, 5,
                       {90.0f, 92.0f, 93.0f, 95.0f, 96.0f, 98.0f, 99.2f, 99.6f, 100.0f, 110.0f, 112.0f, 113.0f,
                        115.0f, 116.0f, 117.6f, 118.0f, 118.4f, 119.6f, 120.0f},
                       {"models/logobar.ase"}, {}};
PictureRun endRun{"late_scenes_frames/end", 138.0, 180.0, 5, {138.0f, 140.0f, 175.0f, 180.0f}, {}, {}};

TEST(TunnelPictures, TexturedScrollingTunnelAndItsFlash)
{
    ASSERT_TRUE(tunnelRun.render()) << "offline rendering failed; see " << tunnelRun.folder() << "/log.txt";
    const std::string files = missingFiles({"models/tunel01/tunel01.ase", "models/star01.ase"});
    const FramePicture& a = tunnelRun.at(orbitStart);
    const FramePicture& b = tunnelRun.at(orbitStart + orbitBack);
    EXPECT_GT(meanLuminance(a, 0, 0, width, height), 30.0) << files;
    // Dark walls near the eye, light rings and the fog down the tube: strong contrast, which
    // is what makes the scroll and the flight read as speed.
    EXPECT_GT(luminanceSpread(a, 0, 0, width, height), 40.0) << "walls gone to the fog's grey" << files;
    // Same camera, same depths: what changes is the texture, 0.63 of its length further along.
    EXPECT_GT(meanDifference(a, b), 4.0) << files;

    const FramePicture& peak = tunnelRun.at(flashPeak);
    EXPECT_GE(darkestChannel(peak), 115) << "half white added to every pixel";
    EXPECT_GT(meanLuminance(peak, 0, 0, width, height), meanLuminance(a, 0, 0, width, height) + 30.0);
    // Only the fog down the tube and the nearest rings clip: the walls stay visible.
    EXPECT_LT(whiteShare(peak), 0.25) << files;
}

TEST(CreditsPictures, ChainStartsEmptyThenGlowsInTheMiddle)
{
    ASSERT_TRUE(creditsRun.render()) << "offline rendering failed; see " << creditsRun.folder() << "/log.txt";
    const std::string files = missingFiles({"models/logobar.ase"});
    // First credits frame: no link yet, nothing but the cleared frame.
    EXPECT_EQ(brightShare(creditsRun.at(75.4f), 0, 0, width, height, 2), 0.0);
    const double oneLink = brightShare(creditsRun.at(75.6f), 0, 0, width, height, 8);
    const double whole = brightShare(creditsRun.at(77.6f), 0, 0, width, height, 8);
    EXPECT_GT(oneLink, 0.0) << files;
    EXPECT_GT(whole, oneLink) << files;
    // The links fan out from left of the centre, where the first sits, and fill the middle of
    // the frame: no more than 80 % of it stays near black.
    EXPECT_GT(brightShare(creditsRun.at(80.0f), 200, 150, 600, 450, 8), 0.5) << files;
    EXPECT_GT(brightShare(creditsRun.at(80.0f), 0, 0, width, height, 8), 0.2) << files;
}

TEST(CreditsPictures, CaptionsSlideAtTheirSpeedsRestAtTheirStopsAndGoWhenTheirWindowsClose)
{
    ASSERT_TRUE(captionsRun.render()) << "offline rendering failed; see " << captionsRun.folder() << "/log.txt";
    const std::string files = missingFiles({"maps/3d.tga", "maps/2d.tga", "maps/code.tga", "maps/music.tga",
                                            "maps/corvane.tga", "maps/qzr.tga"});
    // 145 pixels to the unit at the captions' depth. Between two frames of a slide the caption
    // has moved speed x their time apart; a resting one not at all.
    const double pixelsPerUnit = captionColumn(1.0f) - captionColumn(0.0f);
    struct Slide {
        const char* caption;
        float y, height;
        float from, to, speed;  // speed signed, in units a second; 0 at rest
    };
    const Slide slides[] = {
        {"code", 1.2f, 0.5f, 90.0f, 92.0f, -0.8f},   {"code", 1.2f, 0.5f, 95.0f, 99.6f, 0.0f},
        {"qzr", -1.2f, 0.4f, 96.0f, 98.0f, -0.5f},   {"3d", 0.0f, 0.5f, 98.0f, 99.2f, 0.7f},
        {"music", 1.2f, 0.5f, 110.0f, 112.0f, -0.8f}, {"music", 1.2f, 0.5f, 115.0f, 119.6f, 0.0f},
        {"corvane", -1.2f, 0.4f, 116.0f, 118.0f, -0.5f}, {"2d", 0.0f, 0.5f, 117.6f, 118.4f, 0.7f},
    };
    for (const Slide& s : slides) {
        const int top = captionRow(s.y + s.height), bottom = captionRow(s.y);
        const FramePicture &a = captionsRun.at(s.from), &b = captionsRun.at(s.to);
        ASSERT_GT(brightShare(a, 0, top, width, bottom, 60), 0.005) << s.caption << " at " << s.from << files;
        ASSERT_GT(brightShare(b, 0, top, width, bottom, 60), 0.005) << s.caption << " at " << s.to << files;
        const double expected = s.speed * (b.time - a.time) * pixelsPerUnit;
        EXPECT_NEAR(sidewaysShift(a, b, top, bottom, 300), expected, 6.0) << s.caption << " from " << s.from;
    }
    // Captions 1 and 2 show from their first seconds (a rule runs ahead of their words), and
    // each page comes to rest as one credit: the letters of its three lines begin at one left
    // edge, well inside the view.
    const int middleTop = captionRow(0.5f), middleBottom = captionRow(0.0f);
    for (float t : {93.0f, 113.0f}) {
        const FramePicture& p = captionsRun.at(t);
        EXPECT_GT(brightShare(p, 0, middleTop, width, middleBottom, 60), 0.005) << "nothing of it at " << t << files;
    }
    auto firstLit = [](const FramePicture& p, float y, float h) {
        for (int x = 0; x < width; ++x)
            if (brightShare(p, x, captionRow(y + h), x + 1, captionRow(y), 60) > 0.0) return x;
        return width;
    };
    for (float t : {99.6f, 119.6f}) {
        const FramePicture& p = captionsRun.at(t);
        const int top = firstLit(p, 1.2f, 0.5f), middle = firstLit(p, 0.0f, 0.5f), bottom = firstLit(p, -1.2f, 0.4f);
        EXPECT_GT(top, 40) << t;
        EXPECT_NEAR(middle, top, 8) << t;
        EXPECT_NEAR(bottom, top, 12) << t;
    }
    // Letters only in the captions' rows: the bands between them stay black.
    const FramePicture& page1 = captionsRun.at(99.6f);
    EXPECT_EQ(brightShare(page1, 0, captionRow(1.15f), width, captionRow(0.55f), 30), 0.0);
    EXPECT_EQ(brightShare(page1, 0, captionRow(-0.05f), width, captionRow(-0.75f), 30), 0.0);
    // At the window's end (t = 100 and 120 exactly) a page is gone at once.
    EXPECT_EQ(brightShare(captionsRun.at(100.0f), 0, 0, width, height, 8), 0.0);
    EXPECT_EQ(brightShare(captionsRun.at(120.0f), 0, 0, width, height, 8), 0.0);
}

TEST(EndPictures, WireWallIsFoggedTowardsTheBlueWhiteOfTheFog)
{
    ASSERT_TRUE(endRun.render()) << "offline rendering failed; see " << endRun.folder() << "/log.txt";
    const FramePicture& p = endRun.at(140.0f);
    // Wire pixels: (0.4, 0.4, 0.6) mixed with the fog's (0.8, 0.8, 1.0) keep blue 51 levels
    // above red and green; more fog makes them lighter.
    int wire = 0, lightest = 0, darkest = 255;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < width; ++x) {
            const PixelColour c = pixelAt(p, x, y);
            if (c.r < 90 || std::abs(c.r - c.g) > 2 || std::abs(c.b - c.r - 51) > 3) continue;
            ++wire;
            lightest = std::max(lightest, c.r);
            darkest = std::min(darkest, c.r);
        }
    EXPECT_GT(wire, 200);
    EXPECT_GE(darkest, 102);
    EXPECT_GT(lightest, 108) << "the far wires should be lighter than unfogged (102)";
}

TEST(EndPictures, ClosingTextRisesAtItsSpeed)
{
    ASSERT_TRUE(endRun.render());
    // The picture's upper edge enters the view 8 s into the scene, with letters at once: by
    // 140 s the first line shows at the foot of the view, light letters among the wires (which,
    // fogged or not, keep blue 51 levels above red).
    auto lightShare = [](const FramePicture& p) {
        long light = 0;
        for (int y = 520; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const PixelColour c = pixelAt(p, x, y);
                light += std::max({c.r, c.g, c.b}) > 150 && std::abs(c.b - c.r - 51) > 20;
            }
        return double(light) / (80.0 * width);
    };
    EXPECT_EQ(lightShare(endRun.at(138.0f)), 0.0) << "the text is still below the view";
    EXPECT_GT(lightShare(endRun.at(140.0f)), 0.005) << missingFiles({"maps/text/end.tga"});
    // 0.15 units a second at depth 1.3 under the 90-degree projection: 5 s are 173 rows.
    const int shift = upwardShift(endRun.at(175.0f), endRun.at(180.0f), 300);
    EXPECT_NEAR(shift, 173, 4) << missingFiles({"maps/text/end.tga"});
}
}  // namespace
