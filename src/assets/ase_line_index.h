// The ASE line index and the walk through it: how a pass steps from token to token, and from
// line to line past the lines it skips, without reading every character.
//
// Most lines of an export hold one keyword and its values, and a pass acts on a few keywords
// only; the index notes each line's start, first token (with its keyword) and last non-blank
// character, so a pass passes over a skipped line in one step and reads characters only where
// a line holds more than it skips. A Walk gives exactly the tokens and line skips that reading
// the characters would give; without an index it does read them (the tests and the fuzzer
// compare the two).
//
//   ScanText text{begin, end};
//   buildLineIndex(text, index);                 // optional
//   Walk w(text, from);
//   Keyword k;
//   while (w.nextWanted(k, keywordBit(KwMeshVertex))) { ... read values at w.c ...; }
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "assets/ase_tokens.h"

namespace ase {

// One line of the text: where it starts, its first token and where its last non-blank
// character ends, with the first token's keyword.
struct IndexedLine {
    uint32_t start;       // first character
    uint32_t tokenStart;  // first token; equal to tokenEnd when the line holds none
    uint32_t tokenEnd;
    uint32_t contentEnd;  // just past the last non-blank character
    uint8_t keyword;      // of the first token
};

struct LineIndex {
    std::unique_ptr<IndexedLine[]> line;  // lines entries, then one whose start is the size
    uint32_t lines = 0;
};

// The text a reader scans, with its index when there is one and the offsets of its tokens that
// start with '*' (the only ones that can be keywords), in order.
struct ScanText {
    const char* begin;
    const char* end;
    const LineIndex* index = nullptr;  // null: every pass reads characters
    std::vector<uint32_t> stars;
};

// Texts the index can address: offsets fit 32 bits with room for the end entry.
constexpr uint64_t indexableSize = (uint64_t(1) << 32) - 256;

// Finds the tokens that start with '*' (a '*' at the start or after a blank); with index, also
// builds the line index and sets text.index to it.
void scanText(ScanText& text, LineIndex* index);

// A pass's walk through the file: the next token and the skip to the end of its line, exactly
// as reading the characters would give them, through the line index where it can. A walk
// given a stop ends at the first token that starts there or later.
struct Walk {
    const ScanText& r;
    Cursor c;
    const char* stopAt;
    uint32_t line = 0;  // the line that holds c.p, when indexed

    ASE_SCANNER Walk(const ScanText& reader, const char* from, const char* stop = nullptr)
        : r(reader), c{from, reader.end}, stopAt(stop ? stop : reader.end)
    {
        if (r.index) {
            const IndexedLine* lines = r.index->line.get();
            const uint32_t offset = static_cast<uint32_t>(from - r.begin);
            line = static_cast<uint32_t>(
                std::upper_bound(lines, lines + r.index->lines, offset,
                                 [](uint32_t value, const IndexedLine& l) { return value < l.start; }) -
                lines) - 1;
        }
    }

    // Brings line up to c.p after characters were read directly.
    ASE_SCANNER void sync()
    {
        const LineIndex& index = *r.index;
        const uint32_t offset = static_cast<uint32_t>(c.p - r.begin);
        while (line < index.lines && offset >= index.line[line + 1].start) ++line;
    }

    // Reads the next token and says which keyword it is; false at the end of the file or the
    // walk's stop.
    ASE_SCANNER bool next(Keyword& keyword)
    {
        Token token;
        if (!r.index) {
            if (!readToken(c, token) || token.p >= stopAt) return false;
            keyword = classify(token);
            return true;
        }
        sync();
        const LineIndex& index = *r.index;
        uint32_t offset = static_cast<uint32_t>(c.p - r.begin);
        while (line < index.lines) {
            const IndexedLine& l = index.line[line];
            if (r.begin + l.start >= stopAt) break;
            const bool hasToken = l.tokenStart != l.tokenEnd;
            if (hasToken && offset <= l.tokenStart) {
                if (r.begin + l.tokenStart >= stopAt) break;
                c.p = r.begin + l.tokenEnd;
                keyword = static_cast<Keyword>(l.keyword);
                return true;
            }
            if (!hasToken || offset >= l.contentEnd) {
                if (++line == index.lines) break;
                offset = index.line[line].start;
                continue;
            }
            // Inside the line with more after: read the characters.
            readToken(c, token);
            if (token.p >= stopAt) break;
            keyword = classify(token);
            return true;
        }
        c.p = r.end;
        return false;
    }

    // next, skipping the line of every token whose keyword is not in wanted as a pass does with
    // an unknown token; through the index, a line that opens with such a token and whose rest
    // fits the skip is passed over without looking at it.
    ASE_SCANNER bool nextWanted(Keyword& keyword, uint64_t wanted)
    {
        if (!r.index) {
            while (next(keyword)) {
                if (wanted >> keyword & 1) return true;
                skipLine();
            }
            return false;
        }
        const IndexedLine* lines = r.index->line.get();
        const uint32_t count = r.index->lines;
        for (;;) {
            // At a line's start (as after every whole-line skip), the lines to pass over are
            // found in the index alone.
            sync();
            const uint32_t offset = static_cast<uint32_t>(c.p - r.begin);
            if (line < count && (lines[line].tokenStart == lines[line].tokenEnd || offset <= lines[line].tokenStart)) {
                while (line < count) {
                    const IndexedLine& l = lines[line];
                    if (r.begin + l.start >= stopAt) break;
                    const bool skipped = l.tokenStart == l.tokenEnd ||
                                         (!(wanted >> l.keyword & 1) && lines[line + 1].start - l.tokenEnd <= lineSkip);
                    if (!skipped) break;
                    ++line;
                }
                c.p = r.begin + (line < count ? lines[line].start : static_cast<uint32_t>(r.end - r.begin));
            }
            if (!next(keyword)) return false;
            if (wanted >> keyword & 1) return true;
            skipLine();
        }
    }

    // The rest of the line after a token: at most lineSkip characters, up to and including its end.
    ASE_SCANNER void skipLine()
    {
        if (!r.index) {
            skipRestOfLine(c);
            return;
        }
        sync();
        if (line >= r.index->lines) {
            c.p = r.end;
            return;
        }
        const uint64_t offset = static_cast<uint64_t>(c.p - r.begin);
        const uint64_t next = r.index->line[line + 1].start;
        c.p = r.begin + std::min<uint64_t>(offset + lineSkip, next);
    }
};

}  // namespace ase
