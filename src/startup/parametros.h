#pragma once
// The parameter string the suite's programs start one another with:
// "@Server=SRV01; @DbName=EMPRESA1; @Usuario=JUAN; @Password=...; @Caja=2;".
#include <QString>

// What the start-up takes from the string for the connection. The operator,
// till and option texts go straight to the run-wide values (glb::).
struct ParametrosInicio {
    QString Server; // trimmed, without the leading "#" of an Oracle server
    QString DbName;
    QString Usuario;
    QString Password;
    bool EsOracle = false;
};

// The string to read: the one given, or the program's own command line when it is empty.
QString CadenaParametros(const QString& dada);

// The value of one key, found anywhere in the string ignoring case; empty when absent.
QString ExtraeParametro(const QString& cadena, const QString& clave, bool* presente = nullptr);

// Reads every key, sets glb::ParametroAdicional, UsuarioActual, ClaveActual and
// CajaActual, and for an Oracle server fills an empty connString.
ParametrosInicio LeeParametros(const QString& cadena, QString& connString);

// "tcp/SRV01:1433" and "SRV01:1433" both name the server "SRV01".
QString NormalizaServidor(const QString& servidor);
