#pragma once
// General functions of the suite's library: field values, numbers, text
// pieces, password encoding and folder endings.
#include "platform/variant.h"

#include <QString>

class QWidget;

class FuncionesGenerales {
public:
    // A database field as text: Null and Empty give "", a text comes back
    // unchanged, numbers and dates as their text. A Boolean stays Boolean, so
    // it can be stored back into a flag column. An object raises 13.
    Variant ValorCampo(const Variant& valor) const;
    // The number with 4 decimals (a Currency), 0 when the value is not a number
    // under the regional settings (vb::ANumero); Null gives 0. Beyond the
    // Currency range raises 6.
    Variant ValorNumerico(const Variant& valor) const;
    // The text after the first separator (the whole text when there is none),
    // cut before the first occurrence of fin when it is given and found.
    // ocurrencia picks a later separator: 2 gives the text after the second.
    QString ExtraeValor(const QString& texto, const QString& separador, const QString& fin = {}, int ocurrencia = 1) const;
    // Every occurrence of the character replaced (case counts).
    QString CambiaCaracter(const QString& texto, QChar caracter, const QString& reemplazo) const;
    // Every occurrence of buscado replaced (case counts; an empty buscado changes nothing).
    QString ReemplazaTexto(const QString& texto, const QString& buscado, const QString& reemplazo) const;
    // At most largo characters (the first ones); nothing when largo is 0 or less.
    QString LimitaTexto(const QString& texto, int largo) const;
    // Number of words separated by blanks, tabs or line ends.
    int CuentaPartes(const QString& texto) const;
    // Display text of a value ("" for Null), cut to largo characters when largo > 0.
    QString FormateaValor(const Variant& valor, int largo = 0) const;
    // Windows need no preparing here; kept for the callers.
    void PreparaFormulario(QWidget* ventana, bool opcion) const;
    // Encoded form of a password: "~", four hexadecimal digits per character
    // and four check digits, so it holds no comma, blank, quote or line end,
    // survives trimming, and is told apart from a plain password.
    QString CodificaClave(const QString& clave) const;
    // The text CodificaClave encoded; a text that is not wholly such an
    // encoding (a password stored plainly, "1234" or "CAFE") comes back unchanged.
    QString DecodificaClave(const QString& codificada) const;
    // The folder without its trailing separators, followed by one: its own
    // (rutas::Separador), so a POSIX folder ends in "/".
    QString BarraFinal(const QString& carpeta) const;
};
