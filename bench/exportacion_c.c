/* The baseline of the export benchmark: the same query through the sqlite3 C
 * API, trimmed, barcode falling back to the code, ";" and line breaks
 * replaced, converted to Windows-1252 and written with CR LF.
 *   exportacion_c BASE.sqlite SALIDA.txt */
#include <sqlite3.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

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

/* The demo's text columns declare the embedded server's collation; SQLite
   wants it known to read the view, and this query compares no text. */
static int sin_orden(void* x, int na, const void* a, int nb, const void* b)
{
    (void)x;
    int r = memcmp(a, b, (size_t)(na < nb ? na : nb));
    return r ? r : na - nb;
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "uso: %s BASE.sqlite SALIDA.txt\n", argv[0]);
        return 2;
    }
    sqlite3* db;
    sqlite3_stmt* st;
    if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READONLY, NULL) != SQLITE_OK
        || sqlite3_create_collation(db, "CI_AS", SQLITE_UTF8, NULL, sin_orden) != SQLITE_OK
        || sqlite3_prepare_v2(db, "SELECT idarticulo, IFNULL(CODIGOBARRA, ''), DESCRIPCION FROM V_MA_Articulos WHERE SUSPENDIDO = 0",
                              -1, &st, NULL) != SQLITE_OK) {
        fprintf(stderr, "%s\n", sqlite3_errmsg(db));
        return 1;
    }
    FILE* f = fopen(argv[2], "wb");
    if (!f)
        return 1;
    static char buf[1 << 18];
    setvbuf(f, buf, _IOFBF, sizeof buf);
    unsigned char* tmp = malloc(1 << 20);
    unsigned char cod[4096], bar[4096];
    while (sqlite3_step(st) == SQLITE_ROW) {
        size_t nc = campo(sqlite3_column_text(st, 0), (size_t)sqlite3_column_bytes(st, 0), cod);
        size_t nb = campo(sqlite3_column_text(st, 1), (size_t)sqlite3_column_bytes(st, 1), bar);
        const unsigned char* d = sqlite3_column_text(st, 2);
        size_t nd = d ? campo(d, (size_t)sqlite3_column_bytes(st, 2), tmp) : 0;
        if (nb == 0) { memcpy(bar, cod, nc); nb = nc; }
        fwrite(bar, 1, nb, f);
        fputc(';', f);
        fwrite(cod, 1, nc, f);
        fputc(';', f);
        fwrite(tmp, 1, nd, f);
        fputs(";0\r\n", f);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    free(tmp);
    return fclose(f) == 0 ? 0 : 1;
}
