#include "app/convert/LineSplitter.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace dw::convert {

// Lines are short, so the search is done sixteen bytes at a time where the
// processor allows it.
const char* findLineTerminator(const char* p, const char* end)
{
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    while (end - p >= 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int hits = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf)));
        if (hits != 0)
            return p + __builtin_ctz(static_cast<unsigned>(hits));
        p += 16;
    }
#endif
    while (p < end && *p != '\r' && *p != '\n')
        ++p;
    return p;
}

void splitLines(std::string_view text, std::vector<LineSpan>& lines)
{
    lines.clear();
    LineCursor cursor(text);
    std::string_view line;
    while (cursor.next(line))
        lines.push_back({std::size_t(line.data() - text.data()), line.size()});
}

} // namespace dw::convert
