#pragma once
// The typed helpers: what the translation of a statement calls wherever
// SQLite's own operator would answer otherwise than the server. Exact
// numbers arrive as INTEGER, REAL or TEXT and are first rounded to the scale
// given (recovering the decimal a double stands for, up to 15 significant
// digits); exact results come back as INTEGER when their scale is 0 and they
// fit, else as the REAL nearest to them. A NULL value gives NULL. Errors
// carry the server's text, mapped to its number by the provider.
//
//   ss_num(op, a, sa, b, sb, p, s, tipo)   exact + - * / %: operands of scales
//                                          sa, sb; result decimal(p,s); tipo
//                                          'numeric', 'money' or 'smallmoney';
//                                          then [, op, c, sc, p, s, tipo]...: a
//                                          chain ((a op b) op c)... in one call
//   ss_ent(op, a, b, tipo[, op, c, tipo]...) integer + - * / % & | ^ in tipo;
//                                          a chain ((a op b) op c)... in one call
//                                          ('tinyint', 'smallint', 'int', 'bigint')
//   ss_flt(op, a, b)                       float + - * /
//   ss_round(x, n, f, p, s)                ROUND(x, n, f) of a decimal(p,s)
//                                          (p = 0: float); f <> 0 truncates
//   ss_texto(v, origen, estilo, largo[, destino])
//                                          CONVERT(varchar(largo), v, estilo) of
//                                          a value of type origen; largo -1: no
//                                          limit; destino 'varchar' (default),
//                                          'nvarchar', 'char', 'nchar'
//   ss_a_num(v, p, s, tipo)                CAST(v AS decimal(p,s) | money | smallmoney)
//   ss_a_ent(v, tipo[, origen])            CAST(v AS tinyint | smallint | int |
//                                          bigint | bit); origen 'money' or
//                                          'smallmoney' rounds instead of truncating
//   ss_fecha_mas(d, n)                     datetime + n days (1.5: 36 hours)
//   ss_fecha_resta(a, b)                   datetime - datetime: 1900-01-01 plus the difference
//   ss_dateformat(orden)                   SET DATEFORMAT for the connection
//                                          ('dmy', 'mdy', 'ymd', 'ydm', 'myd', 'dym')
//   ss_language(nombre), ss_language()     SET LANGUAGE ('Español'/'Spanish' or
//                                          'us_english'/'English'), @@LANGUAGE
//   ss_datefirst(n), ss_datefirst()        SET DATEFIRST, @@DATEFIRST
//   ss_like(texto, patron, escape, intercalacion)
//   ss_charindex(buscar, texto, inicio, intercalacion)
//   ss_replace(texto, buscar, reemplazo, intercalacion[, buscar, reemplazo, intercalacion]...)
//   ss_patindex(patron, texto, intercalacion)
//                                          under a collation ('CI_AS', 'CS_AS',
//                                          'CI_AI', 'CS_AI', 'BIN' or a full
//                                          name); NULL collation: CI_AS, NULL
//                                          escape: none, NULL inicio: 1
//   ss_upper(x), ss_lower(x), ss_len(x)
//   ss_substring(s, inicio, largo)
//   ss_datalength(x, unicode)              bytes of a varchar (unicode 0) or nvarchar
//   ss_largo(valor, n)                     the value for a varchar(n) column, or
//                                          "String or binary data would be truncated."
//   ss_error(numero, mensaje)              raises the server's error numero
#include "platform/ado/sqlite_api.h"

namespace ado::servidor {

struct Funcion {
    const char* nombre;
    int argumentos;
    void (*f)(sqlite3_context*, int, sqlite3_value**);
    int banderas;
};
// The typed helpers, registered beside the rest on every connection.
extern const Funcion kFuncionesTipadas[];
extern const int kNumFuncionesTipadas;

// The collations besides CI_AS: CS_AS, CI_AI, CS_AI, BIN.
bool RegistrarIntercalaciones(sqlite3* db);
// ss_unico(x): the value of a subquery used as an expression; 512 past one row.
bool RegistrarAgregados(sqlite3* db);

} // namespace ado::servidor
