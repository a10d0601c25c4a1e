#pragma once
// Demo databases of the suite as SQLite files: the company database NAME.sqlite
// and SV_ESTADISTICAS.sqlite in one folder, and the servidores.ini section of
// the embedded server that serves them:
//     [LOCAL]
//     Motor=sqlite
//     Carpeta=/absolute/folder
// Content is fixed by the article number, so tests can rely on it.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <string>

namespace demo {

struct Opciones {
    QString carpeta;                            // where the .sqlite files go (made when missing)
    QString empresa = QStringLiteral("DEMO");   // company database name
    std::int64_t articulos = 10000;             // 0 .. MaxArticulos
    QString servidor = QStringLiteral("LOCAL"); // section of servidores.ini
    QString servidores;                         // servidores.ini path; empty: carpeta/servidores.ini
    // A plain SQLite file: no collation declared and no trigger calling the
    // embedded server's functions, so that any SQLite reader (the SQLite ODBC
    // driver) can read and write it. The rows are the same.
    bool plana = false;
};

struct Resultado {
    std::int64_t articulos = 0;
    QStringList archivos; // the files written
};

constexpr std::int64_t MaxArticulos = 99999999; // codes are 7 digits, 8 from 10,000,000 on

// Writes both databases (replacing existing files) and the servidores.ini
// section (other sections of an existing file are kept). Raises VbError.
Resultado Genera(const Opciones& o);

// Article number n (1-based) as Genera writes it. Texts are UTF-8.
struct Articulo {
    std::string idarticulo;                // "0000001"; every 101st with a trailing blank
    std::optional<std::string> codigoBarra; // NULL, "", "   ", " EAN13 " or EAN13
    std::optional<std::string> descripcion; // accented words; NULL, blanks around, a character outside Windows-1252 now and then
    int suspendido = 0;                     // 1 for every 13th
    double precio1 = 0, puntoPedido = 0, stock = 0;
    const char* idFamilia = "";
};
void ArticuloDemo(std::int64_t n, Articulo& a); // reuses a's buffers
Articulo ArticuloDemo(std::int64_t n);

// Users written to TA_USUARIOS, with their passwords before encoding.
struct Usuario {
    const char* nombre;
    const char* clave; // nullptr: the Password column is NULL
    const char* sistema;
    int administrador;
};
extern const Usuario Usuarios[5];

} // namespace demo
