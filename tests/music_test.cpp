// Checks the generated soundtrack as players and listeners meet it: it loads in libopenmpt and
// xmp as an instrument-mode module with envelopes, lasts the demo's length without looping and
// changes section on the planned rows; the mix is loud enough without clipping, has a dynamic
// arc and its energy where the melody speaks, hits the picture's moments and ends on an
// A minor chord that fades to silence without a click; each part soloed has its level and its
// band; the score keeps each section's notes inside it and its melodies off the pads'
// semitones, and its credits' melody develops; and the generator writes the same bytes every
// time.
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.hpp>
#include <libopenmpt/libopenmpt_ext.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
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
    EXPECT_LT(bytes.size(), 4u << 20);

    // Instrument mode, one instrument per sample, each but the riser shaped by a volume envelope.
    EXPECT_EQ(mod.get_num_instruments(), music::sampleCount);
    auto byteAt = [&](std::size_t at) { return at < bytes.size() ? (unsigned)(uint8_t)bytes[at] : 0u; };
    auto wordAt = [&](std::size_t at) {
        return byteAt(at) | byteAt(at + 1) << 8 | byteAt(at + 2) << 16 | byteAt(at + 3) << 24;
    };
    EXPECT_TRUE(byteAt(0x2C) & 4) << "instrument flag";
    for (int i = 0; i < music::sampleCount; ++i) {
        std::size_t header = wordAt(0xC0 + (byteAt(0x20) | byteAt(0x21) << 8) + 4 * i);
        EXPECT_EQ(std::string(bytes.data() + std::min(header, bytes.size() - 4), 4), "IMPI") << "instrument " << i + 1;
        if (i + 1 != music::riser) {
            EXPECT_TRUE(byteAt(header + 0x130) & 1) << "volume envelope of instrument " << i + 1;
        }
    }

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
    EXPECT_GE(loudnessRange(mix, 0, mix.frames()), 7.0);
    EXPECT_LE(truePeakDb(mix, 0, mix.frames()), -1.0);
    EXPECT_GE(energyAbove(mix, 2500.0, 0, mix.frames()), 0.03);
    EXPECT_GT(sideToMidDb(mix, 0, mix.frames()), -12.0);
    // Where the melody speaks, 1 to 3 kHz, the mix holds more than in the hiss above 8 kHz.
    EXPECT_GT(bandDb(mix, 1000, 3000, 0, mix.frames()), bandDb(mix, 8000, 1e9, 0, mix.frames()) + 3.0);
    // Never silent for long before the last chord.
    for (double t = 0; t + 1 < 188.0; t += 1.0)
        EXPECT_GT(rmsDb(mix, mix.at(t), mix.at(t + 1)), -42.0) << "second " << t;

    // The arc: the tunnel is the loudest section, the temple at least 3 LU under it; in the
    // credits the break (bars 16 to 19) falls at least 3 LU under the B phrase that lifts out
    // of it and the climax (bars 28 to 33).
    double level[5];
    for (int k = 0; k < 5; ++k) level[k] = integratedLoudness(mix, mix.at(sectionTimes[k]), mix.at(sectionTimes[k + 1]));
    for (int k : {0, 1, 3, 4}) EXPECT_LT(level[k], level[2]) << "section " << k << " against the tunnel";
    EXPECT_LE(level[1], level[2] - 3.0);
    auto bars = [&](int from, int to) {
        return integratedLoudness(mix, mix.at(75.6 + 1.6 * from), mix.at(75.6 + 1.6 * to));
    };
    EXPECT_LE(bars(16, 20), bars(20, 28) - 3.0);
    EXPECT_LE(bars(16, 20), bars(28, 34) - 3.0);

    // A hit on the picture's moments: the intro's flash, every cut, the tunnel's flash, its
    // flight and its turn, the credits' second page. The strongest attack near each falls
    // within 30 ms of it and stands well above what went before.
    for (double moment : {5.25, 34.8, 55.6, 56.5, 64.0, 65.4, 75.0, 105.0, 130.0}) {
        OnsetHit hit = strongestOnset(mix, moment, 0.1);
        EXPECT_NEAR(hit.time, moment, 0.03) << "moment " << moment;
        EXPECT_GT(hit.strengthDb, 6.0) << "moment " << moment;
    }
    // The temple's six words, from 36 s every 3 s: a clear attack on at least five of them.
    int greeted = 0;
    for (int w = 0; w < 6; ++w) {
        OnsetHit hit = strongestOnset(mix, 36.0 + 3 * w, 0.1);
        if (std::fabs(hit.time - (36.0 + 3 * w)) < 0.03 && hit.strengthDb > 9.0) ++greeted;
    }
    EXPECT_GE(greeted, 5);

    // The ending: the final A minor sounds through the two seconds before the last 100 ms,
    // with A, C and E its strongest classes, then falls silent without a click.
    double end = (double)mix.frames() / mix.rate;
    std::size_t cadence = mix.at(end - 2.1), last = mix.at(end - 0.1);
    EXPECT_GT(rmsDb(mix, cadence, last), -40.0);
    EXPECT_LT(rmsDb(mix, last, mix.frames()), -60.0);
    for (std::size_t i = mix.at(end - 0.01); i < mix.frames(); ++i)
        ASSERT_LT(std::max(std::fabs(mix.left[i]), std::fabs(mix.right[i])), 0.002) << "at " << (double)i / mix.rate;
    std::vector<double> pcs = pitchClassStrengths(mix, cadence, last);
    for (int pc = 0; pc < 12; ++pc) {
        if (pc == 9 || pc == 0 || pc == 4) continue;
        for (int chordTone : {9, 0, 4}) EXPECT_LT(pcs[pc], pcs[chordTone]) << pc << " against " << chordTone;
    }
}

// Each part soloed: snare and hats sit near the kick in every section; the kick has a click
// (2 to 5 kHz) over its body, the snare a body around 200 Hz and little fizz above 8 kHz; the
// pads speak in 1 to 3 kHz and leave the low end to the bass, which stays under 400 Hz; the
// lead is bright.
TEST(Music, PartsHaveTheirLevelsAndBands) {
    Stereo kick = render({music::kick}), snare = render({music::snare}), hats = render({music::hat, music::openHat});
    for (int k = 0; k < 5; ++k) {
        std::size_t from = kick.at(sectionTimes[k]), to = kick.at(sectionTimes[k + 1]);
        double level = integratedLoudness(kick, from, to);
        EXPECT_NEAR(integratedLoudness(snare, from, to), level, 6.0) << "section " << k;
        EXPECT_NEAR(integratedLoudness(hats, from, to), level, 6.0) << "section " << k;
    }
    auto band = [](const Stereo& s, double low, double high) { return bandDb(s, low, high, 0, s.frames()); };
    EXPECT_GT(band(kick, 2000, 5000), -30.0);
    EXPECT_GT(band(snare, 150, 300), -6.0);
    EXPECT_LT(band(snare, 8000, 1e9), -8.0);
    Stereo pad = render({music::pad}), bass = render({music::bass}), lead = render({music::lead});
    EXPECT_GT(band(pad, 1000, 3000), -12.0);
    EXPECT_LT(band(pad, 0, 400), -3.0);
    EXPECT_LT(band(bass, 400, 1e9), -14.0);
    EXPECT_GT(band(lead, 1000, 3000), -8.0);
}

// Which note each channel sounds on each row of the score: a note holds until the channel's
// next note, cut or release, or until a one-shot sample has played out.
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
    // Drums and the crash may ring on into a cut (a fill's tail under the hit); every tonal
    // channel lets its note go by the next section's first row, where at most a release rings.
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

// The credits' melody develops: at least ten different rhythms among its 34 bars, a B phrase
// over chords of its own (bars 20 to 27 against the verse's bars 0 to 7), and a climax whose
// peak note, in bars 28 to 33, lies above everything the verse sang. In the temple a bell or
// a crash starts on at least five of the six word entries; the tunnel's flight and turn and
// the credits' second page are struck.
TEST(Music, ScoreDevelopsAndAccentsThePicture) {
    music::Song song;
    music::compose(song);
    using namespace music;
    const int bars = sectionStart[3] + 6;
    std::set<std::vector<int>> rhythms;
    int verseTop = 0, climaxTop = 0, top = 0, topBar = -1;
    for (int b = 0; b < 34; ++b) {
        std::vector<int> onsets;
        for (int i = 0; i < 16; ++i) {
            const Cell& c = song.rows[bars + 16 * b + i][chLead];
            if (!c.hasNote || c.note >= 120) continue;
            onsets.push_back(i);
            if (b < 16) verseTop = std::max(verseTop, (int)c.note);
            if (b >= 28) climaxTop = std::max(climaxTop, (int)c.note);
            if (c.note > top) top = c.note, topBar = b;
        }
        if (!onsets.empty()) rhythms.insert(onsets);
    }
    EXPECT_GE(rhythms.size(), 10u);
    EXPECT_GE(topBar, 28);
    EXPECT_GT(climaxTop, verseTop);

    std::vector<std::vector<int>> sounding = soundingNotes(song);
    auto chordAt = [&](int row) {
        std::set<int> classes;
        for (int p = chPad0; p <= chPad2; ++p)
            if (sounding[row][p]) classes.insert(sounding[row][p] % 12);
        return classes;
    };
    // However the verse's eight chords are lined up against the B phrase's, half of them differ.
    for (int shift = 0; shift < 8; ++shift) {
        int changed = 0;
        for (int b = 0; b < 8; ++b)
            changed += chordAt(bars + 16 * (20 + b) + 8) != chordAt(bars + 16 * ((b + shift) % 8) + 8);
        EXPECT_GE(changed, 4) << "shift " << shift;
    }

    int greeted = 0;
    for (int w = 0; w < 6; ++w) {
        bool struck = false;
        for (int ch = 0; ch < channelCount; ++ch) {
            const Cell& c = song.rows[360 + 30 * w][ch];
            struck |= c.hasNote && (c.sample == bell || c.sample == crash);
        }
        greeted += struck;
    }
    EXPECT_GE(greeted, 5);
    // The flight at 64 s, the turn at 65.4 s and the second page at 105 s each get a crash.
    for (int row : {640, 654, 1050}) EXPECT_EQ(song.rows[row][chImpact].sample, crash) << "row " << row;
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
