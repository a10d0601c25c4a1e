#pragma once
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ascii {

template <class Especial>
qsizetype Estrecha(QStringView texto, char* destino, Especial especial)
{
    const char16_t* s = texto.utf16();
    const qsizetype n = texto.size();
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i alto = _mm_set1_epi16(short(0xFF80));
    const __m128i cero = _mm_setzero_si128();
    const __m128i puntoYComa = _mm_set1_epi16(';');
    const __m128i control = _mm_set1_epi16(0x20);
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i noAscii = _mm_cmpeq_epi16(_mm_and_si128(v, alto), cero);
        const __m128i raro = _mm_or_si128(_mm_cmpeq_epi16(v, puntoYComa), _mm_cmplt_epi16(v, control));
        if (_mm_movemask_epi8(noAscii) != 0xFFFF || _mm_movemask_epi8(raro) != 0)
            break;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(destino + i), _mm_packus_epi16(v, v));
    }
#endif
    for (; i < n; ++i) {
        const char16_t c = s[i];
        if (c >= 0x80 || especial(c))
            break;
        destino[i] = char(c);
    }
    return i;
}

} // namespace ascii
