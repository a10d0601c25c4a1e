/* The baseline of the export benchmark: the same query through the sqlite3 C
 * API, trimmed, barcode falling back to the code, ";" and line breaks
 * replaced, converted to Windows-1252 and written with CR LF.
 *   exportacion_c BASE.sqlite SALIDA.txt */
#define _POSIX_C_SOURCE 200809L /* fsync, fileno */
#include <sqlite3.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "campo_1252.h"

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
        linea(f, cod, nc, bar, nb, tmp, nd);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    free(tmp);
    return cierra(f);
}
