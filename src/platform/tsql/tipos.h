#pragma once
// The server's data types as the typing pass gives them to every expression:
// class, precision, scale, length and collation, with the server's rules of
// data type precedence, of the result of arithmetic and of collation
// precedence.
#include <QString>

namespace tsql {

// A type as written in CAST, CONVERT, DECLARE or a column definition:
// nombre lower case ("varchar", "decimal", "money"), its arguments (-1 when
// absent), max for varchar(max).
struct TipoEscrito {
    QString nombre;
    int a = -1, b = -1;
    bool max = false;
    bool vacio() const { return nombre.isEmpty(); }
};

enum class Clase {
    Desconocido, // a column the schema does not know, a parameter: decided at run time
    Nulo,        // the literal NULL
    Bit, TinyInt, SmallInt, Int, BigInt,
    Decimal, SmallMoney, Money,
    Real, Float, // Float with precision 0: a bare NUMERIC of a file made elsewhere
    Fecha,       // date
    Hora,        // time
    SmallDateTime, DateTime, DateTime2,
    Char, VarChar, NChar, NVarChar, Text, NText,
    Binary, VarBinary,
    UniqueIdentifier,
};

// Where a text's collation comes from, in the order collation precedence
// ranks them (an explicit COLLATE wins over a column's, a column's over a
// literal's default).
enum class Origen { Ninguno, Defecto, Implicita, Explicita };

struct Tipo {
    Clase clase = Clase::Desconocido;
    int precision = 0, escala = 0; // Decimal; Money is (19, 4), SmallMoney (10, 4)
    int largo = 0;                 // texts and binaries: characters; -1 for max
    QString intercalacion;         // texts: CI_AS, CS_AS, BIN, CI_AI, CS_AI
    Origen origen = Origen::Ninguno;

    static Tipo De(Clase c);
    static Tipo Decimal(int p, int s);
    static Tipo Texto(Clase c, int largo, const QString& intercalacion, Origen o);

    bool desconocido() const { return clase == Clase::Desconocido; }
    bool entero() const { return clase >= Clase::Bit && clase <= Clase::BigInt; }
    bool exacto() const { return clase >= Clase::Decimal && clase <= Clase::Money; } // decimal and money
    bool numero() const { return clase >= Clase::Bit && clase <= Clase::Float; }
    bool aproximado() const { return clase == Clase::Real || clase == Clase::Float; }
    bool fecha() const { return clase >= Clase::Fecha && clase <= Clase::DateTime2; }
    bool texto() const { return clase >= Clase::Char && clase <= Clase::NText; }
    bool unicode() const { return clase == Clase::NChar || clase == Clase::NVarChar || clase == Clase::NText; }
    bool operator==(const Tipo&) const = default;
};

// The type a name of the schema or of CAST denotes ("varchar(30)", "money",
// "decimal(12,4)", "int IDENTITY(1,1)" as SQLite keeps a declared type).
// Unknown names give Desconocido.
Tipo TipoDeEscrito(const TipoEscrito& t, const QString& intercalacion = QString());
Tipo TipoDeclarado(const QString& declarado);
TipoEscrito LeerEscrito(const QString& declarado);

// The comparison rule of a collation name: CI_AS, CS_AS, CI_AI, CS_AI or
// BIN ("" for an empty name). Code page and version do not change how
// Windows-1252 letters compare.
QString ReglaDeIntercalacion(const QString& nombre);

// The server's name of the type: "varchar(30)", "decimal(12,4)", "money".
QString NombreDe(const Tipo& t);
// The same as SQLite takes it in a declaration, which has no "max":
// varchar(max) is written with the largest length, read back as max.
QString DeclaracionDe(const Tipo& t);

// Data type precedence: the higher wins an implicit conversion.
int Precedencia(Clase c);
Tipo Dominante(const Tipo& a, const Tipo& b);

// Result of + - * / % between exact numbers, as the server computes its
// precision and scale (capped at 38, scale kept at least 6 when reduced).
Tipo ResultadoDecimal(char operador, const Tipo& a, const Tipo& b);
// The exact type an integer or a money takes in decimal arithmetic.
Tipo ComoDecimal(const Tipo& t);

// Collation precedence of two texts meeting in a comparison or a result;
// empty (and conflicto set) when two different explicit ones meet.
QString IntercalacionComun(const Tipo& a, const Tipo& b, bool* conflicto = nullptr);

} // namespace tsql
