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
//                                          'numeric', 'money' or 'smallmoney'
//   ss_ent(op, a, b, tipo)                 integer + - * / % & | ^ in tipo
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

} // namespace ado::servidor
