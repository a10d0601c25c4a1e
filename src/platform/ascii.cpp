#include "platform/ascii.h"

namespace ascii {

bool Ancha(const char* bytes, qsizetype n, QString& texto)
{
    if (!texto.isDetached() || texto.capacity() < n)
        texto = QString(n, Qt::Uninitialized);
    else
        texto.resize(n);
    char16_t* d = reinterpret_cast<char16_t*>(texto.data());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i cero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        if (_mm_movemask_epi8(v) != 0)
            return false;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_unpacklo_epi8(v, cero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 8), _mm_unpackhi_epi8(v, cero));
    }
#endif
    for (; i < n; ++i) {
        if (p[i] >= 0x80)
            return false;
        d[i] = p[i];
    }
    return true;
}

} // namespace ascii
