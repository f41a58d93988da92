// Analyses the soundtrack the way a mixing engineer and an arranger would, from the module
// alone: loudness, loudness range, energy per band, true peak, brightness and width of the mix and of every sample played solo,
// section by section; onsets at the picture's flashes; the chord that ends the piece; and, row
// by row, which notes sound, whether a melody note clashes a semitone against the pads, whether
// two melody voices rub a second apart, where a line leaps a seventh or more, and which notes
// ring past the start of the next section. Built and run by bench/music_analysis.sh.
//
//   music_analysis Mod_.it [mix.wav] [--rows FROM TO]
#include <libopenmpt/libopenmpt.hpp>
#include <libopenmpt/libopenmpt_ext.hpp>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "music_measures.h"

namespace {

const double sectionStarts[] = {0.0, 34.8, 55.6, 75.0, 130.0, 188.0};
const char* sectionNames[] = {"intro", "temple", "tunnel", "credits", "ending"};
const char* noteNames[] = {"C-", "C#", "D-", "D#", "E-", "F-", "F#", "G-", "G#", "A-", "A#", "B-"};
constexpr double rowSeconds = 0.1;
constexpr float soundingVu = 0.01f;  // -40 dBFS on the channel's meter

Stereo render(openmpt::module_ext& mod, std::vector<std::vector<float>>* vuPerRow) {
    Stereo s;
    const int chunk = s.rate / 100;
    std::vector<float> l(chunk), r(chunk);
    int channels = mod.get_num_channels();
    for (;;) {
        std::size_t n = mod.read(s.rate, chunk, l.data(), r.data());
        if (n == 0) break;
        s.left.insert(s.left.end(), l.begin(), l.begin() + n);
        s.right.insert(s.right.end(), r.begin(), r.begin() + n);
        if (!vuPerRow) continue;
        std::size_t row = (std::size_t)((s.frames() - 1) / (rowSeconds * s.rate));
        if (vuPerRow->size() <= row) vuPerRow->resize(row + 1, std::vector<float>(channels, 0.f));
        for (int c = 0; c < channels; ++c)
            (*vuPerRow)[row][c] = std::max((*vuPerRow)[row][c], mod.get_current_channel_vu_mono(c));
    }
    return s;
}

struct Cell {
    int note = 0;  // 1..120 a note (61 is middle C), 254 cut, 255 off, 253 fade
    int sample = 0;
    std::string text;
};

// The pattern cells in playing order, one row per 0.1 s.
std::vector<std::vector<Cell>> flatten(openmpt::module& mod) {
    std::vector<std::vector<Cell>> rows;
    int channels = mod.get_num_channels();
    for (int o = 0; o < mod.get_num_orders(); ++o) {
        int p = mod.get_order_pattern(o);
        if (p < 0 || p >= mod.get_num_patterns()) break;
        for (int r = 0; r < mod.get_pattern_num_rows(p); ++r) {
            std::vector<Cell> row(channels);
            for (int c = 0; c < channels; ++c) {
                row[c].note = mod.get_pattern_row_channel_command(p, r, c, openmpt::module::command_note);
                row[c].sample = mod.get_pattern_row_channel_command(p, r, c, openmpt::module::command_instrument);
                row[c].text = mod.format_pattern_row_channel(p, r, c, 13);
            }
            rows.push_back(row);
        }
    }
    return rows;
}

std::string noteName(int note) {
    if (note <= 0 || note > 120) return "...";
    return std::string(noteNames[(note - 1) % 12]) + std::to_string((note - 1) / 12);
}

int sectionOf(double t) {
    int k = 0;
    while (k < 4 && t >= sectionStarts[k + 1] - 1e-9) ++k;
    return k;
}

void analyseRows(openmpt::module& mod, const std::vector<std::vector<float>>& vu, int dumpFrom, int dumpTo) {
    std::vector<std::vector<Cell>> rows = flatten(mod);
    std::vector<std::string> names = mod.get_sample_names();
    int channels = mod.get_num_channels();
    auto role = [&](int sample) {  // 1 harmony, 2 melody, 0 other
        if (sample <= 0 || sample > (int)names.size()) return 0;
        const std::string& n = names[sample - 1];
        if (n.rfind("pad", 0) == 0) return 1;
        if (n.rfind("lead", 0) == 0 || n.rfind("bell", 0) == 0 || n.rfind("pluck", 0) == 0) return 2;
        return 0;
    };
    std::vector<int> note(channels, 0), sample(channels, 0), startRow(channels, 0), lastMelody(channels, 0);
    int melodyRows[5] = {}, clashRows[5] = {}, pairRows[5] = {}, secondRows[5] = {};
    std::vector<std::string> leaps, overhangs;
    for (std::size_t r = 0; r < rows.size() && r < vu.size(); ++r) {
        double t = r * rowSeconds;
        int sec = sectionOf(t);
        for (int c = 0; c < channels; ++c) {
            const Cell& cell = rows[r][c];
            if (cell.sample) sample[c] = cell.sample;
            if (cell.note >= 1 && cell.note <= 120) {
                if (role(sample[c]) == 2 && names[sample[c] - 1] != "pluck" && lastMelody[c] && std::abs(cell.note - lastMelody[c]) >= 10 &&
                    (int)r - startRow[c] <= 16 && leaps.size() < 12)
                    leaps.push_back(std::to_string(t).substr(0, 6) + "s ch" + std::to_string(c) + " " +
                                    noteName(lastMelody[c]) + "->" + noteName(cell.note));
                note[c] = cell.note, startRow[c] = (int)r;
                if (role(sample[c]) == 2) lastMelody[c] = cell.note;
            } else if (cell.note >= 253) {
                note[c] = 0;
            }
        }
        // Notes started in an earlier section that still sound a row into this one.
        for (int k = 1; k < 5; ++k) {
            int boundary = (int)std::lround(sectionStarts[k] / rowSeconds);
            if ((int)r != boundary + 1) continue;
            for (int c = 0; c < channels; ++c) {
                if (!note[c] || startRow[c] >= boundary || vu[r][c] < soundingVu) continue;
                std::size_t end = r;
                while (end < vu.size() && vu[end][c] >= soundingVu && startRow[c] < boundary &&
                       !(end > r && rows[end][c].note)) ++end;
                overhangs.push_back(std::to_string(sectionStarts[k]).substr(0, 5) + "s ch" + std::to_string(c) +
                                    " " + names[sample[c] - 1] + " " + noteName(note[c]) + " rings " +
                                    std::to_string((end - boundary) * rowSeconds).substr(0, 4) + " s past");
            }
        }
        std::vector<int> pads, melody;
        for (int c = 0; c < channels; ++c) {
            if (!note[c] || vu[r][c] < soundingVu) continue;
            if (role(sample[c]) == 1) pads.push_back(note[c]);
            if (role(sample[c]) == 2) melody.push_back(note[c]);
        }
        bool clash = false, second = false;
        for (int m : melody)
            for (int p : pads) {
                int ic = std::abs(m - p) % 12;
                if (ic == 1 || ic == 11) clash = true;
            }
        for (std::size_t i = 0; i < melody.size(); ++i)
            for (std::size_t j = i + 1; j < melody.size(); ++j) {
                int ic = std::abs(melody[i] - melody[j]) % 12;
                if (ic == 1 || ic == 2 || ic == 10 || ic == 11) second = true;
            }
        if (!melody.empty()) ++melodyRows[sec];
        if (clash) ++clashRows[sec];
        if (melody.size() > 1) ++pairRows[sec];
        if (second) ++secondRows[sec];
        if ((int)r >= dumpFrom && (int)r < dumpTo) {
            std::printf("%6.1f ", t);
            for (int c = 0; c < channels; ++c)
                std::printf("%s%s ", note[c] && vu[r][c] >= soundingVu ? noteName(note[c]).c_str() : "   ",
                            rows[r][c].note ? "*" : " ");
            std::printf("%s%s\n", clash ? " CLASH" : "", second ? " SECOND" : "");
        }
    }
    std::printf("\nrows (0.1 s) with a melody note a semitone from a pad note / melody rows;"
                " rows with melody voices a second apart / rows with two melody voices\n");
    for (int k = 0; k < 5; ++k)
        std::printf("  %-8s clash %4d/%4d (%4.1f%%)  seconds %4d/%4d (%4.1f%%)\n", sectionNames[k], clashRows[k],
                    melodyRows[k], melodyRows[k] ? 100.0 * clashRows[k] / melodyRows[k] : 0.0, secondRows[k],
                    pairRows[k], pairRows[k] ? 100.0 * secondRows[k] / pairRows[k] : 0.0);
    std::printf("leaps of a minor seventh or more:%s\n", leaps.empty() ? " none" : "");
    for (auto& l : leaps) std::printf("  %s\n", l.c_str());
    std::printf("notes sounding past the next section's start (above -40 dB on the channel):%s\n",
                overhangs.empty() ? " none" : "");
    for (auto& o : overhangs) std::printf("  %s\n", o.c_str());
}

void printLevels(const char* label, const Stereo& s) {
    std::printf("%-12s", label);
    for (int k = 0; k < 5; ++k) {
        double l = integratedLoudness(s, s.at(sectionStarts[k]), s.at(sectionStarts[k + 1]));
        std::printf(" %8.1f", l);
    }
    std::printf(" %8.1f\n", integratedLoudness(s, 0, s.frames()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: music_analysis MODULE [MIX.wav] [--rows FROM TO]\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    if (bytes.empty()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    int dumpFrom = -1, dumpTo = -1;
    const char* wav = nullptr;
    for (int i = 2; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--rows") && i + 2 < argc) {
            dumpFrom = std::atoi(argv[i + 1]), dumpTo = std::atoi(argv[i + 2]);
            i += 2;
        } else {
            wav = argv[i];
        }
    }

    openmpt::module_ext mod(bytes);
    std::vector<std::vector<float>> vu;
    Stereo mix = render(mod, &vu);
    if (wav) {
        std::ofstream out(wav, std::ios::binary);
        auto put = [&](uint32_t v, int n) { for (int i = 0; i < n; ++i) out.put((char)(v >> (8 * i))); };
        uint32_t data = (uint32_t)mix.frames() * 8;
        out.write("RIFF", 4), put(36 + data, 4), out.write("WAVEfmt ", 8), put(16, 4), put(3, 2), put(2, 2);
        put(mix.rate, 4), put(mix.rate * 8, 4), put(8, 2), put(32, 2), out.write("data", 4), put(data, 4);
        for (std::size_t i = 0; i < mix.frames(); ++i) {
            out.write((const char*)&mix.left[i], 4);
            out.write((const char*)&mix.right[i], 4);
        }
    }

    std::printf("length %.2f s\n\nloudness (LUFS)  intro   temple   tunnel  credits   ending    whole\n",
                (double)mix.frames() / mix.rate);
    printLevels("mix", mix);
    std::vector<std::string> names = mod.get_sample_names();
    auto* interactive = static_cast<openmpt::ext::interactive*>(mod.get_interface(openmpt::ext::interactive_id));
    std::vector<std::string> bandRows;
    for (std::size_t solo = 0; solo < names.size(); ++solo) {
        mod.set_position_seconds(0);
        for (std::size_t i = 0; i < names.size(); ++i) interactive->set_instrument_mute_status((int)i, i != solo);
        Stereo part = render(mod, nullptr);
        printLevels(names[solo].c_str(), part);
        double all = rmsDb(part, 0, part.frames());
        char line[160];
        std::snprintf(line, sizeof line, "%-12s %8.1f %8.1f %8.1f %8.1f\n", names[solo].c_str(), all,
                      all + bandDb(part, 0, 400, 0, part.frames()), all + bandDb(part, 1000, 3000, 0, part.frames()),
                      all + bandDb(part, 8000, 1e9, 0, part.frames()));
        bandRows.push_back(line);
    }
    std::printf("\nsolo, whole song (dBFS rms)  all  <400 Hz  1-3 kHz   >8 kHz\n");
    for (const std::string& line : bandRows) std::printf("%s", line.c_str());

    std::printf("\n             LRA (LU)  <400 Hz  1-3 kHz  >8 kHz  (dB of the section's energy)\n");
    for (int k = 0; k <= 5; ++k) {
        std::size_t from = k < 5 ? mix.at(sectionStarts[k]) : 0, to = k < 5 ? mix.at(sectionStarts[k + 1]) : mix.frames();
        std::printf("%-12s %8.1f %8.1f %8.1f %7.1f\n", k < 5 ? sectionNames[k] : "whole", loudnessRange(mix, from, to),
                    bandDb(mix, 0, 400, from, to), bandDb(mix, 1000, 3000, from, to), bandDb(mix, 8000, 1e9, from, to));
    }
    std::printf("\n             true peak  >2.5kHz  side/mid  highest sample at\n");
    for (int k = 0; k <= 5; ++k) {
        std::size_t from = k < 5 ? mix.at(sectionStarts[k]) : 0, to = k < 5 ? mix.at(sectionStarts[k + 1]) : mix.frames();
        std::size_t loudest = from;
        for (std::size_t i = from; i < to; ++i)
            if (std::max(std::fabs(mix.left[i]), std::fabs(mix.right[i])) >
                std::max(std::fabs(mix.left[loudest]), std::fabs(mix.right[loudest])))
                loudest = i;
        std::printf("%-12s %7.1f dB %7.1f%% %7.1f dB %8.2f s\n", k < 5 ? sectionNames[k] : "whole", truePeakDb(mix, from, to),
                    100 * energyAbove(mix, 2500, from, to), sideToMidDb(mix, from, to), (double)loudest / mix.rate);
    }
    for (double moment : {5.25, 34.8, 36.0, 39.0, 42.0, 45.0, 48.0, 51.0, 55.6, 56.5, 64.0, 65.4, 75.0, 105.0, 130.0}) {
        OnsetHit hit = strongestOnset(mix, moment, 0.1);
        std::printf("strongest onset within 100 ms of %6.2f s: at %7.3f s (%+.0f ms), %+.1f dB\n", moment, hit.time,
                    1000 * (hit.time - moment), hit.strengthDb);
    }
    std::size_t tail = mix.at(186.0);
    std::vector<double> pcs = pitchClassStrengths(mix, tail, mix.frames());
    std::size_t last = mix.at(mix.frames() / (double)mix.rate - 0.1), lastTen = mix.at(mix.frames() / (double)mix.rate - 0.01);
    float tenPeak = 0;
    for (std::size_t i = lastTen; i < mix.frames(); ++i) tenPeak = std::max({tenPeak, std::fabs(mix.left[i]), std::fabs(mix.right[i])});
    std::printf("the 2 s before the last 100 ms: %.1f dBFS rms; the last 100 ms: %.1f dBFS rms; peak of the last 10 ms: %.4f\n",
                rmsDb(mix, mix.at(mix.frames() / (double)mix.rate - 2.1), last), rmsDb(mix, last, mix.frames()), tenPeak);
    std::printf("last 2 s: %.1f dBFS rms; pitch classes:", rmsDb(mix, tail, mix.frames()));
    const char* pcNames[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    for (int i = 0; i < 12; ++i) std::printf(" %s %.2f", pcNames[i], pcs[i]);
    std::printf("\n");

    mod.set_position_seconds(0);
    analyseRows(mod, vu, dumpFrom, dumpTo);
    return 0;
}
