#pragma once
// The lookup definitions file: fixed records of 1202 bytes in the code page,
// each text field filled with blanks to its width, ended by CR LF so that the
// file also reads as lines. Records are numbered from 1.
#include <QString>
#include <optional>

namespace consultas {

constexpr int LargoRegistro = 1202;
constexpr int LargoTitulo = 100, LargoTabla = 100, LargoColumnas = 500, LargoCondicion = 500;

struct Definicion {
    QString titulo;
    QString tabla;
    QString columnas;  // "|DESCRIPCION|IDARTICULO|"
    QString condicion; // without the word WHERE; may be blank
};

// The record's 1202 characters.
QString ArmaRegistro(const Definicion& d);
// The fields of one record as read (not trimmed).
Definicion LeeRegistro(const QString& registro);

// Appends the definition as the next free record (file length / 1202 + 1).
// Raises the file layer's errors.
void AgregaDefinicion(const QString& ruta, const Definicion& d);

// The first record whose trimmed table equals the trimmed tabla, ignoring case.
// Raises the file layer's errors.
std::optional<Definicion> BuscaDefinicion(const QString& ruta, const QString& tabla);

} // namespace consultas
