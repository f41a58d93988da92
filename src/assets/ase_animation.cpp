// ASE node animation: the keys of a *TM_ANIMATION block and the per-frame tables built from
// them.
//
// A block's keys are counted from the block to the start of the next node (or the end of the
// file) and then read back in file order, position keys first and rotation keys after them.
// The counts come from one table over all '*' tokens, built on the first block, so a file of
// many animation blocks loads in time linear in its size rather than recounting to the node's
// end for each. Frame tables hold one entry per frame between the first and last key, each on
// the straight line between the two keys around it; keys and tables are taken from the
// model's memory budget, so a key far away in time cannot ask for unbounded memory.
#include "assets/ase_passes.h"

#include <algorithm>
#include <array>

#include "assets/ase_numbers.h"

namespace ase {

namespace {

// One key line after its keyword: the time with "%i", then the values with the keyword's format.
void readKeyLine(Cursor& c, Keyword k, AnimKey& key)
{
    readInt(c, true, key.time);
    if (k == KwPosSample) {
        readTriple(c, key.value);
        return;
    }
    if (k == KwRotSample) {
        float v[4] = {0, 0, 0, 0};
        const int n = scanFloats(c, v, 4);  // "\t%f\t%f\t%f\t%f"
        for (int i = 0; i < n && i < 3; ++i) key.value[i] = v[i];
        if (n >= 4) key.params[3] = v[3];
        return;
    }
    float v[9] = {};
    int32_t flags = 0;
    // "\t%f\t%f\t%f\t%f\t%f\t%f\t%f\t%f\t%f\t%i": each conversion skips the blanks before it.
    int n = scanFloats(c, v, 9);
    if (n == 9 && scanInt(c, true, flags)) ++n;
    float* fields[9] = {&key.value[0], &key.value[1], &key.value[2], &key.params[3], &key.params[4],
                        &key.params[5], &key.params[0], &key.params[1], &key.params[2]};
    for (int i = 0; i < n && i < 9; ++i) *fields[i] = v[i];
    if (n >= 10) key.flags = flags;
}

// Classifies every '*' token once and sums the keys before each.
ASE_SCANNER void buildKeyCounts(const ScanText& text, KeyCounts& keys)
{
    const size_t count = text.stars.size();
    keys.positions.assign(count + 1, 0);
    keys.rotations.assign(count + 1, 0);
    keys.nodeEnd.assign(count + 1, static_cast<uint32_t>(count));
    std::vector<uint8_t> ends(count, 0);
    for (size_t i = 0; i < count; ++i) {
        const char* start = text.begin + text.stars[i];
        const char* stop = tokenEndFrom(start + 1, text.end);
        const Keyword k = classify(Token{start, static_cast<size_t>(stop - start)});
        keys.positions[i + 1] = keys.positions[i] + (isPositionKey(k) ? 1 : 0);
        keys.rotations[i + 1] = keys.rotations[i] + (isRotationKey(k) ? 1 : 0);
        ends[i] = endsNode(k);
    }
    for (size_t i = count; i-- > 0;) keys.nodeEnd[i] = ends[i] ? static_cast<uint32_t>(i) : keys.nodeEnd[i + 1];
    keys.built = true;
}

// The frame of a key time: the integer division truncating toward zero.
inline int64_t frameOf(int32_t time, int32_t ticksPerFrame)
{
    return static_cast<int64_t>(time) / static_cast<int64_t>(ticksPerFrame);
}

using KeyValues = std::array<float, 4>;

// Fills out (already sized) by walking the segments between consecutive keys, one entry per
// frame; values holds four reals per key, make turns four reals into an entry. Tracks the
// walk cannot follow hold the first key's value throughout.
template <class Entry, class Make>
void walkFrames(const std::vector<AnimKey>& keys, const std::vector<KeyValues>& values, int32_t ticksPerFrame,
                std::vector<Entry>& out, Make make)
{
    const size_t count = keys.size();
    const int64_t entries = static_cast<int64_t>(out.size());
    bool walkable = ticksPerFrame > 0 && count >= 2 && keys[0].time == 0;
    for (size_t i = 1; walkable && i < count; ++i)
        walkable = frameOf(keys[i].time, ticksPerFrame) > frameOf(keys[i - 1].time, ticksPerFrame);
    if (!walkable) {
        std::fill(out.begin(), out.end(), make(values[0]));
        return;
    }
    // Segment by segment: frame fs holds the earlier key's value, each later frame of the
    // segment adds j times the segment's step per frame. Entries past the last key keep what
    // sizeTable gave them.
    int64_t k = 0;
    for (size_t segment = 1; segment < count && k < entries; ++segment) {
        const KeyValues& prev = values[segment - 1];
        const KeyValues& next = values[segment];
        const int64_t fs = frameOf(keys[segment - 1].time, ticksPerFrame);
        const int64_t fe = frameOf(keys[segment].time, ticksPerFrame);
        KeyValues perFrame;
        for (size_t a = 0; a < 4; ++a) perFrame[a] = (next[a] - prev[a]) / static_cast<float>(fe - fs);
        out[static_cast<size_t>(k++)] = make(prev);
        const int64_t end = std::min(fe, entries);
        for (int64_t j = 1; k < end; ++j, ++k) {
            KeyValues entry;
            for (size_t a = 0; a < 4; ++a) entry[a] = prev[a] + perFrame[a] * static_cast<float>(j);
            out[static_cast<size_t>(k)] = make(entry);
        }
    }
}

// Sizes a track's table: (last key's time - first key's time) / ticksPerFrame entries, none
// when that is not positive, fewer when the budget runs out.
template <class Entry>
void sizeTable(Reader& r, const std::vector<AnimKey>& keys, std::vector<Entry>& table)
{
    r.memory.refund(table.size() * sizeof(Entry));
    const int32_t ticksPerFrame = r.model.ticksPerFrame;
    int64_t entries = 0;
    if (ticksPerFrame != 0)
        entries = (static_cast<int64_t>(keys.back().time) - static_cast<int64_t>(keys.front().time)) /
                  static_cast<int64_t>(ticksPerFrame);
    table.assign(static_cast<size_t>(r.memory.grant(entries, sizeof(Entry))), Entry{});
}

constexpr float degreesPerPi = 180.0f;
constexpr float singlePi = 3.1415927f;

}  // namespace

void readAnimTrack(Reader& r, Cursor& c, AnimTrack& track)
{
    int64_t positions = 0, rotations = 0;
    {
        Cursor count = c;
        Token token;
        if (readToken(count, token) && !endsNode(classify(token))) {
            if (!r.keys.built) buildKeyCounts(r.text, r.keys);
            const std::vector<uint32_t>& stars = r.text.stars;
            const uint32_t from = static_cast<uint32_t>(count.p - r.text.begin);
            const size_t first = static_cast<size_t>(std::lower_bound(stars.begin(), stars.end(), from) - stars.begin());
            const size_t stop = r.keys.nodeEnd[first];
            positions = r.keys.positions[stop] - r.keys.positions[first];
            rotations = r.keys.rotations[stop] - r.keys.rotations[first];
        }
    }
    r.memory.refund((track.posKeys.size() + track.rotKeys.size()) * sizeof(AnimKey));
    track.posKeyCount = r.memory.grant(positions, sizeof(AnimKey));
    track.rotKeyCount = r.memory.grant(rotations, sizeof(AnimKey));
    track.posKeys.assign(static_cast<size_t>(track.posKeyCount), AnimKey{});
    track.rotKeys.assign(static_cast<size_t>(track.rotKeyCount), AnimKey{});

    Token token;
    readToken(c, token);
    readToken(c, token);
    for (int32_t i = 0; i < track.posKeyCount && readToken(c, token);) {
        const Keyword k = classify(token);
        if (!isPositionKey(k)) continue;
        readKeyLine(c, k, track.posKeys[static_cast<size_t>(i)]);
        ++i;
    }
    readToken(c, token);
    readToken(c, token);
    for (int32_t i = 0; i < track.rotKeyCount && readToken(c, token);) {
        const Keyword k = classify(token);
        if (!isRotationKey(k)) continue;
        readKeyLine(c, k, track.rotKeys[static_cast<size_t>(i)]);
        ++i;
    }
}

void buildFrameTables(Reader& r, AnimTrack& track)
{
    const int32_t ticksPerFrame = r.model.ticksPerFrame;
    if (track.posKeyCount != 0 && !track.posKeys.empty()) {
        std::vector<KeyValues> values(track.posKeys.size());
        for (size_t i = 0; i < values.size(); ++i) {
            const float* v = track.posKeys[i].value;
            values[i] = {v[0], v[1], v[2], 0.0f};
        }
        sizeTable(r, track.posKeys, track.posFrames);
        walkFrames(track.posKeys, values, ticksPerFrame, track.posFrames,
                   [](const KeyValues& e) { return Vector3{e[0], e[1], e[2]}; });
    }
    if (track.rotKeyCount != 0 && !track.rotKeys.empty()) {
        std::vector<KeyValues> values(track.rotKeys.size());
        for (size_t i = 0; i < values.size(); ++i) {
            const AnimKey& key = track.rotKeys[i];
            values[i] = {key.value[0], key.value[1], key.value[2], key.params[3]};
        }
        sizeTable(r, track.rotKeys, track.rotFrames);
        walkFrames(track.rotKeys, values, ticksPerFrame, track.rotFrames, [](const KeyValues& e) {
            return AxisAngle{e[0], e[1], e[2], e[3] * degreesPerPi / singlePi};
        });
    }
}

}  // namespace ase
