// Pictures of the intro and temple scenes, rendered offline by the demo itself from its start
// with the data pack, probed where the scenes' geometry puts things: black at the start, the
// flash over everything, the tiled landscape on the wall with the box room around and between
// the tiles, the logo and the credit, the lit and textured temple, the words one after another
// (over a pack without the temple), and the fades at the end of both scenes. The probes look
// for structure and placement, not for what the pictures show.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <vector>

#include "support/late_scene_frames.h"

namespace {
constexpr int width = 800, height = 600;
constexpr int fps = 20;

// Rectangle of pixels, y counted from the top.
struct Box {
    int x0, y0, x1, y1;
};

// Screen box of a rectangle of the overlay plane at the given eye-space depth under the
// 45-degree projection at 4:3 (corner (x, y), size w x h in eye units).
Box overlayBox(float x, float y, float w, float h, float depth)
{
    const double halfHeight = depth * 0.41421356, halfWidth = halfHeight * 4.0 / 3.0;
    auto column = [&](double ex) { return int(std::lround(400.0 + 400.0 * ex / halfWidth)); };
    auto row = [&](double ey) { return int(std::lround(300.0 - 300.0 * ey / halfHeight)); };
    // Clipped to the frame, so that a probe never reads outside the picture.
    auto clampX = [](int v) { return std::clamp(v, 0, width); };
    auto clampY = [](int v) { return std::clamp(v, 0, height); };
    return Box{clampX(column(x)), clampY(row(y + h)), clampX(column(x + w)), clampY(row(y))};
}
// The intro's overlay elements, placed before its 1/20 scale at depth 4.99 (0.2495 in the eye).
Box introOverlayBox(float x, float y, float w, float h)
{
    return overlayBox(0.05f * x, 0.05f * y, 0.05f * w, 0.05f * h, 0.2495f);
}
Box templeWordBox(float x, float y, float w, float h) { return overlayBox(x, y, w, h, 4.99f); }

double luminance(const PixelColour& c) { return (c.r + c.g + c.b) / 3.0; }
double meanLuminance(const FramePicture& p, const Box& b)
{
    return luminance(meanColour(p, b.x0, b.y0, b.x1, b.y1));
}
double spread(const FramePicture& p, const Box& b) { return luminanceSpread(p, b.x0, b.y0, b.x1, b.y1); }
int brightestChannel(const FramePicture& p)
{
    int most = 0;
    for (unsigned char c : p.rgb) most = std::max(most, int(c));
    return most;
}
// The frame time the demo clock gives at fps nearest to t.
float frameTime(float t) { return demoClockTime(std::lround(double(t) * fps), fps); }

// Word pictures of the temple: corner, size, and the times they are at their brightest and
// still dark.
struct Word {
    float x, y, w, h;
    float peak, dark;
};
constexpr Word words[6] = {
    {-1.7f, 1.45f, 1.8f, 0.4f, 39.0f, 36.0f}, {0.3f, 1.45f, 2.1f, 0.7f, 42.0f, 39.0f},
    {-1.3f, 1.0f, 1.8f, 0.4f, 45.0f, 42.0f},  {0.2f, 0.7f, 1.85f, 0.3f, 48.0f, 45.0f},
    {-1.5f, 0.35f, 1.8f, 1.2f, 51.0f, 48.0f}, {-1.2f, 1.45f, 3.2f, 0.4f, 55.0f, 51.0f},
};

class EarlyPictures : public ::testing::Test {
protected:
    // ctest runs each test in a process of its own, possibly side by side: one folder per
    // filter, so that parallel runs never share frames.
    static std::string framesDir()
    {
        std::string name = ::testing::GTEST_FLAG(filter);
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return "early_scenes_frames/" + name;
    }
    static void SetUpTestSuite()
    {
        std::vector<float> wanted = {0.0f,  4.95f, 5.25f, 20.0f, 25.4f, 32.9f, 34.0f,
                                     34.8f, 40.2f, 54.4f, 55.6f};
        for (float& t : wanted) t = frameTime(t);
        std::sort(wanted.begin(), wanted.end());
        wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
        ok = renderDemoFrames(framesDir(), 0.0, 55.65, fps, wanted, run);
    }
    static const FramePicture& at(float t) { return frameNear(run, frameTime(t)); }
    static inline DemoFrames run;
    static inline bool ok = false;
};

TEST_F(EarlyPictures, StartsBlackAndFlashesOverEverything)
{
    ASSERT_TRUE(ok) << "offline rendering failed; see " << framesDir() << "/log.txt";
    EXPECT_LE(brightestChannel(at(0.0f)), 2) << "the fade in starts from black";
    // The flash adds about half white to every pixel (the frame keeps no alpha planes, so the
    // destination alpha reads as 1), whatever was there before.
    const FramePicture& before = at(4.95f);
    const FramePicture& peak = at(5.25f);
    int darkest = 255;
    for (unsigned char c : peak.rgb) darkest = std::min(darkest, int(c));
    EXPECT_GE(darkest, 115);
    const Box all{0, 0, width, height};
    EXPECT_GT(meanLuminance(peak, all), meanLuminance(before, all) + 30.0);
}

TEST_F(EarlyPictures, WallShowsTheTiledLandscapeWithTheBoxRoomAroundAndBetween)
{
    ASSERT_TRUE(ok);
    const FramePicture& p = at(20.0f);
    // The wall has swung into place: the eye at (2.3, 1.7, 2.57) looks along -z with 90
    // degrees vertical at 4:3.
    auto column = [](double x) { return int(std::lround(400.0 + 400.0 * (x - 2.3) / (2.57 * 4.0 / 3.0))); };
    auto row = [](double y) { return int(std::lround(300.0 - 300.0 * (y - 1.7) / 2.57)); };
    // Each tile's top face against the gap to its right: the box room shows through the gaps,
    // the landscape's copy on the tiles, so most tiles differ from their gaps.
    int differing = 0, tiles = 0;
    double gapToOutside = 0;
    const Box outside{column(-0.9), row(3.0), column(-0.3), row(0.4)};
    for (int r = 1; r < 5; ++r)
        for (int c = 0; c < 7; ++c) {
            const double x0 = c * 0.6, y0 = r * 0.6;
            const Box top{column(x0 + 0.1), row(y0 + 0.4), column(x0 + 0.4), row(y0 + 0.1)};
            const Box gap{column(x0 + 0.52), row(y0 + 0.4), column(x0 + 0.58), row(y0 + 0.1)};
            const PixelColour a = meanColour(p, top.x0, top.y0, top.x1, top.y1);
            const PixelColour g = meanColour(p, gap.x0, gap.y0, gap.x1, gap.y1);
            if (std::abs(a.r - g.r) + std::abs(a.g - g.g) + std::abs(a.b - g.b) > 24) ++differing;
            ++tiles;
            gapToOutside += std::fabs(meanLuminance(p, gap) - meanLuminance(p, outside));
        }
    EXPECT_GT(differing, tiles * 2 / 3) << differing << " of " << tiles << " tiles differ from their gaps";
    EXPECT_GT(meanLuminance(p, outside), 8.0) << "the box room is drawn around the wall";
    EXPECT_GT(spread(p, outside), 4.0) << "the box room is textured";
    EXPECT_GT(spread(p, Box{column(0.1), row(3.3), column(4.6), row(0.2)}), 10.0)
        << "the wall shows a picture, not one colour";
    // The landscape pass is cleared to dark blue (0, 0, 51); the sky over the hills covers it,
    // so the top two rows of tiles show no more than a trace of it.
    long navy = 0, all = 0;
    for (int y = row(3.5); y < row(3.5 - 2 * 3.5 / 6); ++y)
        for (int x = column(0.0); x < column(4.7); ++x, ++all) {
            const PixelColour c = pixelAt(p, x, y);
            navy += std::max({std::abs(c.r), std::abs(c.g), std::abs(c.b - 51)}) <= 8;
        }
    EXPECT_LT(double(navy) / all, 0.2) << "the pass's clear colour shows above the hills";
}

TEST_F(EarlyPictures, LogoAndCreditShowAtTheEndOfTheIntro)
{
    ASSERT_TRUE(ok);
    const Box logo = introOverlayBox(-1.7f, 1.45f, 1.8f, 0.4f);
    const Box credit = introOverlayBox(0.85f, -1.78f, 1.8f, 0.3f);
    // Before their leg both are fully transparent; at 34 s they are at about 0.85. The middle
    // of each rectangle lies on a plain bar, so letters there show as contrast; the whole
    // picture is fading out by then, so brightness alone would not tell.
    for (const auto& [box, name] : {std::pair{logo, "maps/quibe.tga"}, std::pair{credit, "maps/by_torva.tga"}}) {
        const int qw = (box.x1 - box.x0) / 4, qh = (box.y1 - box.y0) / 4;
        const Box middle{box.x0 + qw, box.y0 + qh, box.x1 - qw, box.y1 - qh};
        EXPECT_LT(spread(at(25.4f), middle), 8.0) << name << ": the bar under it is not plain";
        EXPECT_GT(spread(at(34.0f), middle), 15.0) << name << ": no letters";
    }
}

TEST_F(EarlyPictures, EachSceneFadesToBlackAtItsEnd)
{
    ASSERT_TRUE(ok);
    const Box all{0, 0, width, height};
    // The intro is at level 0.1 at 34.8 s; the temple's fade is at about 0.27 when it is left.
    EXPECT_LT(meanLuminance(at(34.8f), all), meanLuminance(at(32.9f), all) * 0.15 + 1.0);
    EXPECT_LT(meanLuminance(at(55.6f), all), meanLuminance(at(54.4f), all) * 0.45 + 1.0);
    EXPECT_GT(meanLuminance(at(55.6f), all), meanLuminance(at(54.4f), all) * 0.1)
        << "the temple is left before its fade is complete";
}

TEST_F(EarlyPictures, TempleIsLitAndTexturedInTheMiddle)
{
    ASSERT_TRUE(ok);
    const FramePicture& p = at(40.2f);
    const Box middle{300, 225, 500, 375};
    EXPECT_GT(meanLuminance(p, middle), 30.0) << "a lit temple, not a dark one (or none: the pack's model?)";
    EXPECT_GT(spread(p, middle), 8.0) << "texture or shading, not one flat colour";
}

// The words over a pack without the temple, so that nothing else moves behind them.
class TempleWords : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::vector<float> wanted;
        for (const Word& w : words) {
            wanted.push_back(frameTime(w.peak));
            wanted.push_back(frameTime(w.dark));
        }
        std::sort(wanted.begin(), wanted.end());
        wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
        const std::string pack = packWithout("temple_words_pack", {"models/templo01/templo01.ase"});
        ok = !pack.empty() && renderDemoFrames("temple_words_frames", 35.0, 55.05, fps, wanted, run, pack);
    }
    static const FramePicture& at(float t) { return frameNear(run, frameTime(t)); }
    static inline DemoFrames run;
    static inline bool ok = false;
};

TEST_F(TempleWords, AppearOneAfterAnotherInTheirPlaces)
{
    ASSERT_TRUE(ok) << "offline rendering failed; see temple_words_frames/log.txt";
    for (int k = 0; k < 6; ++k) {
        const Word& w = words[k];
        const Box b = templeWordBox(w.x, w.y, w.w, w.h);
        const FramePicture &shown = at(w.peak), &dark = at(w.dark);
        // The word's letters light its rectangle and nothing around it: a ring of pixels just
        // outside, where no other word lies, keeps what it had.
        EXPECT_GT(changedShare(dark, shown, b.x0, b.y0, b.x1, b.y1, 30), 0.03) << "word " << k + 1;
        const int m = 6;
        long changed = 0, count = 0;
        for (int y = b.y0 - m; y < b.y1 + m; ++y)
            for (int x = b.x0 - m; x < b.x1 + m; ++x) {
                auto inside = [&](const Box& o) { return x >= o.x0 && x < o.x1 && y >= o.y0 && y < o.y1; };
                if (x < 0 || y < 0 || x >= width || y >= height || inside(b)) continue;
                bool other = false;
                for (const Word& o : words) other = other || inside(templeWordBox(o.x, o.y, o.w, o.h));
                if (other) continue;
                ++count;
                changed += changedShare(dark, shown, x, y, x + 1, y + 1, 30) > 0.0;
            }
        const double ring = count ? double(changed) / count : 0.0;
        EXPECT_LT(ring, 0.01) << "word " << k + 1 << " spills out of its rectangle";
    }
}
}  // namespace
