/* The baseline of the export through ODBC: the program's query sent as it is
 * through the driver manager, its three text columns bound, each row trimmed,
 * barcode falling back to the code, ";" and line breaks replaced, converted to
 * Windows-1252 and written with CR LF.
 *   exportacion_odbc "CADENA ODBC" SALIDA.txt [CONSULTA] */
#define _POSIX_C_SOURCE 200809L /* fsync, fileno */
#include <sql.h>
#include <sqlext.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "campo_1252.h"

static int falla(SQLSMALLINT tipo, SQLHANDLE h, const char* que)
{
    SQLCHAR estado[6] = {0}, texto[1024] = {0};
    SQLINTEGER nativo = 0;
    SQLSMALLINT largo = 0;
    SQLGetDiagRec(tipo, h, 1, estado, &nativo, texto, sizeof texto - 1, &largo);
    fprintf(stderr, "%s: [%s] %s\n", que, (char*)estado, (char*)texto);
    return 1;
}

/* A bound column: what the driver wrote and its length or SQL_NULL_DATA. */
struct Columna {
    SQLCHAR* datos;
    SQLLEN tam;
    SQLLEN ind;
};

static size_t lee(const struct Columna* c, unsigned char* out)
{
    return c->ind == SQL_NULL_DATA ? 0 : campo(c->datos, (size_t)c->ind, out);
}

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4) {
        fprintf(stderr, "uso: %s \"CADENA ODBC\" SALIDA.txt [CONSULTA]\n", argv[0]);
        return 2;
    }
    const char* consulta = argc > 3 ? argv[3]
        : "SELECT idarticulo , IFNULL(CODIGOBARRA  , '') as CODIGOBARRA, DESCRIPCION, 0 as Stock FROM V_MA_Articulos   "
          " where SUSPENDIDO = 0   ";
    SQLHENV env;
    SQLHDBC dbc;
    SQLHSTMT st;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, (SQLPOINTER)SQL_OV_ODBC3, 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    if (!SQL_SUCCEEDED(SQLDriverConnect(dbc, NULL, (SQLCHAR*)argv[1], SQL_NTS, NULL, 0, NULL, SQL_DRIVER_NOPROMPT)))
        return falla(SQL_HANDLE_DBC, dbc, "conexion");
    SQLAllocHandle(SQL_HANDLE_STMT, dbc, &st);
    if (!SQL_SUCCEEDED(SQLExecDirect(st, (SQLCHAR*)consulta, SQL_NTS)))
        return falla(SQL_HANDLE_STMT, st, "consulta");

    /* Each buffer as large as the column's declared size in UTF-8, at most
       256 bytes: the SQLite driver declares 65,536 for a text and fills the
       whole buffer on every fetch. A longer value is an error. */
    struct Columna cols[3];
    size_t mayor = 1;
    for (int i = 0; i < 3; ++i) {
        SQLCHAR nombre[256];
        SQLSMALLINT largo, tipo, decimales, nulos;
        SQLULEN tam = 0;
        if (!SQL_SUCCEEDED(SQLDescribeCol(st, (SQLUSMALLINT)(i + 1), nombre, sizeof nombre, &largo, &tipo, &tam, &decimales, &nulos)))
            return falla(SQL_HANDLE_STMT, st, "columnas");
        cols[i].tam = tam == 0 || tam > 63 ? 256 : (SQLLEN)(tam * 4 + 1);
        cols[i].datos = malloc((size_t)cols[i].tam);
        if ((size_t)cols[i].tam > mayor)
            mayor = (size_t)cols[i].tam;
        if (!cols[i].datos
            || !SQL_SUCCEEDED(SQLBindCol(st, (SQLUSMALLINT)(i + 1), SQL_C_CHAR, cols[i].datos, cols[i].tam, &cols[i].ind)))
            return falla(SQL_HANDLE_STMT, st, "columnas");
    }

    FILE* f = fopen(argv[2], "wb");
    if (!f)
        return 1;
    static char buf[1 << 18];
    setvbuf(f, buf, _IOFBF, sizeof buf);
    unsigned char* cod = malloc(mayor);
    unsigned char* bar = malloc(mayor);
    unsigned char* des = malloc(mayor);
    if (!cod || !bar || !des)
        return 1;
    SQLRETURN rc;
    while (SQL_SUCCEEDED(rc = SQLFetch(st))) {
        for (int i = 0; i < 3; ++i)
            if (cols[i].ind != SQL_NULL_DATA && (cols[i].ind == SQL_NO_TOTAL || cols[i].ind >= cols[i].tam)) {
                fprintf(stderr, "la columna %d no cabe en %ld bytes\n", i + 1, (long)cols[i].tam);
                return 1;
            }
        size_t nc = lee(&cols[0], cod);
        size_t nb = lee(&cols[1], bar);
        size_t nd = lee(&cols[2], des);
        linea(f, cod, nc, bar, nb, des, nd);
    }
    if (rc != SQL_NO_DATA)
        return falla(SQL_HANDLE_STMT, st, "lectura");
    SQLFreeHandle(SQL_HANDLE_STMT, st);
    SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return cierra(f);
}
