// Checks the generated soundtrack as players and listeners meet it: it loads in libopenmpt and
// xmp, lasts the demo's length without looping and changes section on the planned rows; the
// mix is loud enough without clipping, bright and wide, hits the picture's flashes and ends
// on a ringing A minor chord; snare and hats sit near the kick in every section; the score
// keeps each section's notes inside it and its melodies off the pads' semitones; and the
// generator writes the same bytes every time.
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.hpp>
#include <libopenmpt/libopenmpt_ext.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// The generator is compiled in here so the score can be read and both runs happen in-process.
#include "../tools/datapack/music_arrangement.cpp"
#include "../tools/datapack/music_instruments.cpp"
#include "../tools/datapack/music_module.cpp"
#include "../tools/datapack/music_samples.cpp"
#include "../tools/datapack/music_score.cpp"

#include "../bench/music_measures.h"

namespace {

std::vector<char> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

const std::string modulePath = std::string(DEMOTORVA_PACK_DIR) + "/Mod_.it";
const double sectionTimes[] = {0.0, 34.8, 55.6, 75.0, 130.0, 188.0};

// Renders the module at 44.1 kHz with only the given samples audible (all when empty).
Stereo render(const std::vector<int>& solo = {}) {
    openmpt::module_ext mod(readAll(modulePath));
    auto* controls = static_cast<openmpt::ext::interactive*>(mod.get_interface(openmpt::ext::interactive_id));
    for (int i = 0; !solo.empty() && i < mod.get_num_samples(); ++i)
        controls->set_instrument_mute_status(i, std::find(solo.begin(), solo.end(), i + 1) == solo.end());
    Stereo s;
    std::vector<float> l(4096), r(4096);
    while (std::size_t n = mod.read(s.rate, l.size(), l.data(), r.data())) {
        s.left.insert(s.left.end(), l.begin(), l.begin() + n);
        s.right.insert(s.right.end(), r.begin(), r.begin() + n);
    }
    return s;
}

TEST(Music, LoadsWithTheSongLengthAndSectionTimes) {
    std::vector<char> bytes = readAll(modulePath);
    ASSERT_FALSE(bytes.empty());
    openmpt::module mod(bytes);
    EXPECT_NEAR(mod.get_duration_seconds(), 188.0, 0.05);
    EXPECT_EQ(mod.get_metadata("type"), "it");
    EXPECT_EQ(mod.get_num_samples(), music::sampleCount);

    // Each section opens a pattern: find the order whose pattern starts at each time.
    for (int k = 0; k < 5; ++k) {
        bool found = false;
        for (int order = 0; order < mod.get_num_orders(); ++order)
            if (std::fabs(mod.set_position_order_row(order, 0) - sectionTimes[k]) < 0.01) found = true;
        EXPECT_TRUE(found) << "no pattern starts at " << sectionTimes[k] << " s";
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

TEST(Music, MixIsLoudBrightWideAndOnThePicture) {
    Stereo mix = render();
    ASSERT_GE(mix.frames(), mix.at(187.0));
    double lufs = integratedLoudness(mix, 0, mix.frames());
    EXPECT_GE(lufs, -16.0);
    EXPECT_LE(lufs, -12.0);
    EXPECT_LE(truePeakDb(mix, 0, mix.frames()), -1.0);
    EXPECT_GE(energyAbove(mix, 2500.0, 0, mix.frames()), 0.03);
    EXPECT_GT(sideToMidDb(mix, 0, mix.frames()), -12.0);
    // Never silent for long before the last chord.
    for (double t = 0; t + 1 < 188.0; t += 1.0)
        EXPECT_GT(rmsDb(mix, mix.at(t), mix.at(t + 1)), -42.0) << "second " << t;

    // A hit on the intro's flash and on the tunnel's: the strongest attack near each moment
    // falls within 30 ms of it and stands well above what went before.
    for (double moment : {5.25, 56.5}) {
        OnsetHit hit = strongestOnset(mix, moment, 0.1);
        EXPECT_NEAR(hit.time, moment, 0.03) << "flash at " << moment;
        EXPECT_GT(hit.strengthDb, 6.0) << "flash at " << moment;
    }

    // The last two seconds ring with A minor: audible, and A, C and E the strongest classes.
    std::size_t tail = mix.at(186.0);
    EXPECT_GT(rmsDb(mix, tail, mix.frames()), -40.0);
    std::vector<double> pcs = pitchClassStrengths(mix, tail, mix.frames());
    for (int pc = 0; pc < 12; ++pc) {
        if (pc == 9 || pc == 0 || pc == 4) continue;
        for (int chordTone : {9, 0, 4}) EXPECT_LT(pcs[pc], pcs[chordTone]) << pc << " against " << chordTone;
    }
}

TEST(Music, SnareAndHatsSitNearTheKickInEverySection) {
    Stereo kick = render({music::kick}), snare = render({music::snare}), hats = render({music::hat, music::openHat});
    for (int k = 0; k < 5; ++k) {
        std::size_t from = kick.at(sectionTimes[k]), to = kick.at(sectionTimes[k + 1]);
        double level = integratedLoudness(kick, from, to);
        EXPECT_NEAR(integratedLoudness(snare, from, to), level, 6.0) << "section " << k;
        EXPECT_NEAR(integratedLoudness(hats, from, to), level, 6.0) << "section " << k;
    }
}

// Which note each channel sounds on each row of the score: a note holds until the channel's
// next note or cut, or until a one-shot sample has played out.
std::vector<std::vector<int>> soundingNotes(const music::Song& song) {
    std::vector<music::Sample> samples = music::makeSamples();
    std::vector<std::vector<int>> sounding(song.rows.size(), std::vector<int>(music::channelCount, 0));
    for (int ch = 0; ch < music::channelCount; ++ch) {
        int note = 0, until = 0;
        for (int r = 0; r < (int)song.rows.size(); ++r) {
            const music::Cell& c = song.rows[r][ch];
            if (c.hasNote) {
                note = c.note < 120 ? c.note : 0;
                double seconds = note ? music::sampleSeconds(samples[c.sample - 1], note) : 0;
                until = seconds < 0 ? (int)song.rows.size() : r + (int)std::ceil(seconds * 10);
            }
            if (r < until) sounding[r][ch] = note;
        }
    }
    return sounding;
}

TEST(Music, ScoreKeepsNotesInTheirSectionsAndInHarmony) {
    music::Song song;
    music::compose(song);
    std::vector<std::vector<int>> sounding = soundingNotes(song);
    using namespace music;
    // Drums and the crash may ring on into a cut (a fill's tail under the hit); no tonal
    // channel carries a note from one section across the next one's first row.
    const int tonal[] = {chBass, chPad0, chPad1, chPad2, chLead, chEcho, chCounter, chArp, chRiser};
    for (int k = 1; k < 5; ++k)
        for (int ch : tonal) {
            int boundary = sectionStart[k];
            const Cell& c = song.rows[boundary][ch];
            EXPECT_TRUE(!sounding[boundary][ch] || (c.hasNote && c.note < 120))
                << "channel " << ch << " carries a note into section " << k;
        }

    // Melody over the pads: hardly ever a semitone against a pad tone; no leap of a seventh.
    const int melody[] = {chLead, chCounter};
    for (int k = 0; k < 5; ++k) {
        int rows = 0, clashes = 0;
        for (int r = sectionStart[k]; r < sectionStart[k + 1]; ++r)
            for (int m : melody) {
                if (!sounding[r][m]) continue;
                ++rows;
                for (int p = chPad0; p <= chPad2; ++p) {
                    int interval = std::abs(sounding[r][m] - sounding[r][p]) % 12;
                    if (sounding[r][p] && (interval == 1 || interval == 11)) {
                        ++clashes;
                        break;
                    }
                }
            }
        EXPECT_LE(clashes, rows / 20) << "section " << k << ": " << clashes << " of " << rows << " rows";
    }
    for (int m : melody) {
        int last = 0, lastRow = -100;
        for (int r = 0; r < (int)song.rows.size(); ++r) {
            const Cell& c = song.rows[r][m];
            if (!c.hasNote || c.note >= 120) continue;
            if (last && r - lastRow <= 16) {
                EXPECT_LT(std::abs(c.note - last), 10) << "leap at row " << r;
            }
            last = c.note, lastRow = r;
        }
    }
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
