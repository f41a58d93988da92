// Checks the generated soundtrack as players see it: it loads in libopenmpt and xmp, lasts
// the demo's length without looping, changes section on the planned rows, is never silent
// for long, never reaches full scale, and the generator writes it byte for byte the same.
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// The generator's module writer is compiled in here so both runs happen in this process.
#include "../tools/datapack/music_arrangement.cpp"
#include "../tools/datapack/music_module.cpp"
#include "../tools/datapack/music_samples.cpp"
#include "../tools/datapack/music_score.cpp"

namespace {

std::vector<char> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

const std::string modulePath = std::string(DEMOTORVA_PACK_DIR) + "/Mod_.it";

TEST(Music, LoadsWithTheSongLengthAndSectionTimes) {
    std::vector<char> bytes = readAll(modulePath);
    ASSERT_FALSE(bytes.empty());
    openmpt::module mod(bytes);
    EXPECT_NEAR(mod.get_duration_seconds(), 188.0, 0.05);
    EXPECT_EQ(mod.get_metadata("type"), "it");
    EXPECT_EQ(mod.get_num_samples(), 7);

    // Each section opens a pattern: find the order whose pattern starts at each time.
    const double sections[] = {0.0, 34.8, 55.6, 75.0, 130.0};
    for (double at : sections) {
        bool found = false;
        for (int order = 0; order < mod.get_num_orders(); ++order) {
            double t = mod.set_position_order_row(order, 0);
            if (std::fabs(t - at) < 0.01) found = true;
        }
        EXPECT_TRUE(found) << "no pattern starts at " << at << " s";
    }
}

TEST(Music, LoadsInXmp) {
    std::string command = "xmp --load-only '" + modulePath + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    int status = pclose(pipe);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("Impulse Tracker"), std::string::npos) << output;
    EXPECT_NE(output.find("Duration     : 3min08s"), std::string::npos) << output;
}

// Renders the whole song at 44100 Hz and measures it in one-second windows.
TEST(Music, RendersWithHeadroomAndNoLongSilence) {
    std::vector<char> bytes = readAll(modulePath);
    openmpt::module mod(bytes);
    const int rate = 44100;
    std::vector<float> left(rate), right(rate);
    float peak = 0;
    std::vector<double> rms;
    for (;;) {
        std::size_t n = mod.read(rate, rate, left.data(), right.data());
        if (n == 0) break;
        double sum = 0;
        for (std::size_t i = 0; i < n; ++i) {
            peak = std::fmax(peak, std::fmax(std::fabs(left[i]), std::fabs(right[i])));
            sum += left[i] * left[i] + right[i] * right[i];
        }
        rms.push_back(std::sqrt(sum / (2.0 * n)));
    }
    EXPECT_GE(rms.size(), 187u);
    EXPECT_LE(rms.size(), 192u);
    EXPECT_LT(peak, 0.95f);
    EXPECT_GT(peak, 0.3f);
    // Everything before the final fade carries sound; the fade ends quiet.
    for (std::size_t s = 0; s + 20 < rms.size(); ++s) EXPECT_GT(rms[s], 0.008) << "second " << s;
    EXPECT_LT(rms.back(), 0.02);
    std::printf("peak %.3f\n", peak);
    for (std::size_t s = 0; s < rms.size(); ++s) std::printf("%zu:%.3f ", s, rms[s]);
    std::printf("\n");
}

TEST(Music, GeneratorWritesTheSameBytes) {
    std::string a = testing::TempDir() + "music_a.it", b = testing::TempDir() + "music_b.it";
    ASSERT_TRUE(writeMusicModule(a.c_str()));
    ASSERT_TRUE(writeMusicModule(b.c_str()));
    std::vector<char> first = readAll(a), second = readAll(b);
    EXPECT_FALSE(first.empty());
    EXPECT_EQ(first, second);
    EXPECT_EQ(first, readAll(modulePath));
    std::remove(a.c_str());
    std::remove(b.c_str());
}

}  // namespace
