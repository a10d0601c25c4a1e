/* What both baselines share: the field conversion (trimmed UTF-8 to
 * Windows-1252, ";" written as "," and line breaks and tabs as a blank), the
 * line and the closing of the file. */
#ifndef CAMPO_1252_H
#define CAMPO_1252_H
#include <stddef.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

static const unsigned short altos[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

static unsigned char a1252(unsigned cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp < 0x100))
        return (unsigned char)cp;
    for (int i = 0; i < 32; ++i)
        if (altos[i] == cp)
            return (unsigned char)(0x80 + i);
    return '?';
}

/* Converts trimmed UTF-8 into out; returns the length written. */
static size_t campo(const unsigned char* s, size_t n, unsigned char* out)
{
    size_t o = 0;
    for (size_t i = 0; i < n;) {
        unsigned c = s[i], cp;
        int l;
        if (c < 0x80) { cp = c; l = 1; }
        else if ((c >> 5) == 6) { cp = c & 0x1F; l = 2; }
        else if ((c >> 4) == 14) { cp = c & 0x0F; l = 3; }
        else { cp = c & 0x07; l = 4; }
        for (int k = 1; k < l && i + k < n; ++k)
            cp = (cp << 6) | (s[i + k] & 0x3F);
        i += l;
        if (cp == ';') cp = ',';
        else if (cp == '\r' || cp == '\n' || cp == '\t') cp = ' ';
        out[o++] = a1252(cp);
    }
    size_t a = 0;
    while (a < o && out[a] == ' ') ++a;
    while (o > a && out[o - 1] == ' ') --o;
    memmove(out, out + a, o - a);
    return o - a;
}

/* One line of the file: the barcode, or the code when it has none. */
static void linea(FILE* f, const unsigned char* cod, size_t nc, const unsigned char* bar, size_t nb,
                  const unsigned char* des, size_t nd)
{
    if (nb == 0) { bar = cod; nb = nc; }
    fwrite(bar, 1, nb, f);
    fputc(';', f);
    fwrite(cod, 1, nc, f);
    fputc(';', f);
    fwrite(des, 1, nd, f);
    fputs(";0\r\n", f);
}

/* Closes the file once it is on disk, as the program does before it
   replaces the old one. */
static int cierra(FILE* f)
{
    return fflush(f) == 0 && fsync(fileno(f)) == 0 && fclose(f) == 0 ? 0 : 1;
}

#endif
