#pragma once
// Fast paths for plain ASCII text, the bulk of what the database returns and
// the product file holds: whole blocks of characters at a time.
#include <QString>
#include <QStringView>
#include <cstddef>

namespace ascii {

// Puts the bytes into texto when they are all ASCII, reusing texto's buffer
// when nobody else holds it; false (texto unspecified) when a byte is not ASCII.
bool Ancha(const char* bytes, qsizetype n, QString& texto);

// Copies the ASCII characters at the start of texto into destino as bytes,
// stopping at the first character that is not ASCII or for which especial(c)
// holds. Returns how many characters were copied.
template <class Especial>
qsizetype Estrecha(QStringView texto, char* destino, Especial especial);

} // namespace ascii

#include "platform/ascii_impl.h"
