#pragma once
// The program's server list, servidores.ini in the program folder (or the file
// named by VERIFICADOR_SERVIDORES), one section per server name:
//
//   [DEMO]               ; an embedded server: database NAME is NAME.sqlite
//   Motor=sqlite         ; in Carpeta (relative to the program folder)
//   Carpeta=datos
//
//   [CENTRAL]            ; a server reached through ODBC under another name
//   Servidor=10.0.0.5\SQLEXPRESS,1433
//   Driver=/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so
//
// Lines are "[name]", "key=value", blank, or comments starting with ";" or "#".
#include <QString>
#include <optional>

namespace ado {

struct Servidor {
    QString nombre;
    bool embebido = false;
    QString carpeta;  // embedded: the folder of the database files, absolute
    QString servidor; // ODBC: the server to reach (the section name when not given)
    QString driver;   // ODBC: driver name or file; empty for the default
};

QString ArchivoServidores();
// The section for the name (ignoring case), or nothing when the list does not
// name it or does not exist. A list that cannot be read or is not well formed
// fails as a provider error.
std::optional<Servidor> BuscarServidor(const QString& nombre);
// The section of a server as a connection names it: whole, or else by its
// host ("DEMO\SQLEXPRESS,1433" -> "DEMO").
std::optional<Servidor> ServidorListado(const QString& servidor);

// The file of database base on an embedded server's folder (NAME.sqlite, the
// name in any case); empty when there is none.
QString ArchivoBaseEmbebida(const QString& carpeta, const QString& base);

// The ODBC driver a server is reached through: its Driver key; else
// VERIFICADOR_ODBC_DRIVER; else FreeTDS's library when installed; else the
// driver name "FreeTDS". s may be null (a server the list does not name).
QString DriverServidor(const Servidor* s);

// Whether the driver manager can use the driver: a library path is taken as
// it is, a name is looked up among the installed drivers (odbcinst.ini).
struct DriverOdbc {
    QString biblioteca; // the library that was loaded; empty when none
    QString motivo;     // why it cannot be used; empty when it can
};
DriverOdbc CompruebaDriver(const QString& driver);

} // namespace ado
