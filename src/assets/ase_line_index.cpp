// The ASE line index: one scan finds every line end and every token that starts with '*',
// then each line's entry is filled from its line end. See ase_line_index.h for how the passes
// use it.
#include "assets/ase_line_index.h"

namespace ase {

namespace {


// Finds the line ends and the tokens that start with '*' (a '*' at the start or after a blank)
// in [from, to).
ASE_SCANNER void scanMarks(const char* text, size_t from, size_t to, std::vector<uint32_t>* newlines,
               std::vector<uint32_t>& stars)
{
    size_t i = from;
#if defined(__SSE2__)
    const __m128i newline = _mm_set1_epi8('\n');
    const __m128i star = _mm_set1_epi8('*');
    for (; i + 16 <= to; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        unsigned lineMask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, newline)));
        unsigned starMask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, star)));
        while (newlines && lineMask) {
            newlines->push_back(static_cast<uint32_t>(i + static_cast<size_t>(__builtin_ctz(lineMask))));
            lineMask &= lineMask - 1;
        }
        while (starMask) {
            const size_t q = i + static_cast<size_t>(__builtin_ctz(starMask));
            if (q == 0 || isBlank(text[q - 1])) stars.push_back(static_cast<uint32_t>(q));
            starMask &= starMask - 1;
        }
    }
#endif
    for (; i < to; ++i) {
        if (newlines && text[i] == '\n') newlines->push_back(static_cast<uint32_t>(i));
        if (text[i] == '*' && (i == 0 || isBlank(text[i - 1]))) stars.push_back(static_cast<uint32_t>(i));
    }
}

// Index entries [first, last) from the line ends.
ASE_SCANNER void fillLines(const char* text, size_t size, const std::vector<uint32_t>& newlines, IndexedLine* lines,
               size_t first, size_t last)
{
    const char* end = text + size;
    uint32_t lineStart = first == 0 ? 0 : newlines[first - 1] + 1;
    for (size_t l = first; l < last; ++l) {
        const uint32_t lineEnd = l < newlines.size() ? newlines[l] : static_cast<uint32_t>(size);
        IndexedLine& entry = lines[l];
        entry.start = lineStart;
        uint32_t p = lineStart;
        while (p < lineEnd && isBlank(text[p])) ++p;
        const uint32_t tokenStart = p;
        if (p < lineEnd) p = static_cast<uint32_t>(tokenEndFrom(text + p, end) - text);
        uint32_t content = lineEnd;
        while (content > p && isBlank(text[content - 1])) --content;
        entry.tokenStart = tokenStart;
        entry.tokenEnd = p;
        entry.contentEnd = content;
        entry.keyword = static_cast<uint8_t>(classify(Token{text + tokenStart, p - tokenStart}));
        lineStart = lineEnd + 1;
    }
}

}  // namespace

void scanText(ScanText& text, LineIndex* index)
{
    const size_t size = static_cast<size_t>(text.end - text.begin);
    text.stars.clear();
    text.stars.reserve(size / 32 + 16);
    if (!index) {
        scanMarks(text.begin, 0, size, nullptr, text.stars);
        return;
    }
    std::vector<uint32_t> newlines;
    newlines.reserve(size / 32 + 16);
    scanMarks(text.begin, 0, size, &newlines, text.stars);
    const size_t lineCount = newlines.size() + 1;
    index->lines = static_cast<uint32_t>(lineCount);
    index->line.reset(new IndexedLine[lineCount + 1]);
    fillLines(text.begin, size, newlines, index->line.get(), 0, lineCount);
    IndexedLine& last = index->line[lineCount];
    last.start = last.tokenStart = last.tokenEnd = last.contentEnd = static_cast<uint32_t>(size);
    last.keyword = KwNone;
    text.index = index;
}

}  // namespace ase
