#pragma once
// What DB_Dll keeps to itself, shared by its source files.
#include "db/db_dll.h"
#include "platform/errores.h"
#include "suitelib/dialogo_archivo.h"
#include "suitelib/funciones_generales.h"

#include <memory>

struct DB_Dll::Privado {
    std::unique_ptr<DialogoArchivo> cmdDlg;
    std::unique_ptr<ado::Recordset> glrcs;
    FuncionesGenerales fg;
};

DialogoParametros* DialogoParametrosInstalado();

// The statements of a script for an Oracle connection, in order.
QStringList CortaScriptOracle(const QString& script);

namespace db_interno {
// The ADO type code a value names: a whole number, or a text that reads as
// one, within the range of the codes; -1 for anything else. Never raises.
int CodigoTipoAdo(const Variant& valor);
// Yes/No box of a lost connection; the reply.
int CajaConexionPerdida(const DB_Dll& compartida);
// True when the connection string names an Oracle provider (position of "ORACLE").
int PosicionOracle(const QString& cadena);
// "ALTER TABLE dbo.<table> ADD <column> <type> Null|Not Null [ CONSTRAINT DF_..._... DEFAULT (...)]"
QString SentenciaAddField(const QString& Tabla, const QString& Campo, const QString& Tipo, bool PermiteNulos,
                          const Variant& ValorDefault);
// Opens Lrcs on the statement as AbrirRecordset does (the Oracle conversion
// when asked, on the given connection or the instance's), errors raised.
void AbreFuente(DB_Dll& db, const QString& sql, ado::Recordset& Lrcs, const std::shared_ptr<ado::Connection>& conexion,
                std::int32_t CursorType, std::int32_t LockType, std::int32_t Options, bool ConvOracle);
// Ends the program at once, as the lost-connection box's No does.
[[noreturn]] void TerminaPorConexionPerdida();
// After a general network error: re-open, count, and from the third failed
// attempt on ask the operator (Yes tries again, No ends the program).
Accion ReabrePorErrorDeRed(DB_Dll& db, int& contador);
} // namespace db_interno
