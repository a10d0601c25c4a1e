#pragma once
// The database access class: every part of the program reaches the database
// through it. Statements are written in SQL Server dialect; the providers of
// the data-access layer translate where the target speaks another.
#include "platform/ado/ado.h"
#include "platform/variant.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

class DialogoArchivo;
class DB_Dll;

// The connection of an instance. Callers write gCnn->... and may assign
// another connection; it is never empty: assigning nothing (or reset())
// puts a fresh, closed connection in its place, so the next use fails as a
// closed connection does instead of crashing.
class ConexionDB {
public:
    ConexionDB() : c_(ado::Connection::Create()) {}
    explicit ConexionDB(std::shared_ptr<ado::Connection> c) { *this = std::move(c); }

    ConexionDB& operator=(std::shared_ptr<ado::Connection> c)
    {
        c_ = c ? std::move(c) : ado::Connection::Create();
        return *this;
    }
    ConexionDB& operator=(std::nullptr_t) { return *this = std::shared_ptr<ado::Connection>(); }
    void reset() { *this = nullptr; }

    ado::Connection* operator->() const { return c_.get(); }
    ado::Connection& operator*() const { return *c_; }
    const std::shared_ptr<ado::Connection>& get() const { return c_; }
    operator const std::shared_ptr<ado::Connection>&() const { return c_; }
    explicit operator bool() const { return true; }

private:
    std::shared_ptr<ado::Connection> c_;
};

// The connection parameter dialog lives in a higher layer; it registers here
// at start. Without one, asking for parameters counts as refused.
class DialogoParametros {
public:
    virtual ~DialogoParametros() = default;
    // Shows the dialog filled from db; true when accepted, with the values
    // already stored into db (gDBName, gServidor, gUsuario, gUserPassWord, gProveedor).
    virtual bool Pedir(DB_Dll& db) = 0;
    // Hides a dialog left visible after an error.
    virtual void Ocultar() {}
};
void InstalaDialogoParametros(DialogoParametros* dialogo);

class DB_Dll {
public:
    DB_Dll();
    ~DB_Dll();
    DB_Dll(const DB_Dll&) = delete;
    DB_Dll& operator=(const DB_Dll&) = delete;

    // Public state, in the class's order.
    QString gUsuarioClave;
    DialogoArchivo& CmdDlg();
    bool gOpenFlag = false;
    Variant gIgnoraPassWord;
    ConexionDB gCnn;
    ado::Recordset& glrcs();
    Variant gCursorLocation;
    QString gProveedor;
    QString gDsn;
    QString gServidor;
    QString gDBName;
    QString gUsuario;
    bool gEsAdmin = false;
    QString gUserPassWord;
    QString gConnString;
    QString gExtended;
    QString gLogErr;
    bool ParametrosSQL = false;
    std::int32_t gSVTimeOut = 0;

    static QString pSQLOLEDB() { return QStringLiteral("SQLOLEDB"); }
    static QString pJETOLEDB40() { return QStringLiteral("Microsoft.Jet.OLEDB.4.0"); }
    static QString pJETOLEDB35() { return QStringLiteral("Microsoft.Jet.OLEDB.3.51"); }

    QString ArchivoErrores() const { return gLogErr; }
    // The file the error lines go to: gLogErr, or SVERR.LOG in the program folder.
    QString RutaArchivoErrores() const;
    void setArchivoErrores(const Variant& v);

    // Connection management.
    void OpenServerADODB(bool PideParametrosSQL, std::int32_t lCursor, const QString& ConnString, bool ValidaAdmin,
                         bool MuestraError);
    void ReintentaConectar();
    void OpenLocalADODB(const QString& ConnString, const QString& CadenaID, const QString& CadenaPWD);

    // Error treatment: shows the error, logs it, returns the reply (0 when nothing was shown).
    std::int16_t TratamientoErrores(const VbError& CodErr, std::optional<int> Botones = std::nullopt,
                                    const QString& Rutina = {});

    // Recordsets and statements.
    void AbrirRecordset(QString& SentenciaSQL, ado::Recordset& Lrcs,
                        const std::shared_ptr<ado::Connection>& Conexionactiva = nullptr, std::int32_t CursorType = 0,
                        std::int32_t LockType = 1, std::int32_t Options = -1, bool ConvOracle = true);
    // Lrcs, when given, receives the rows the statement returns.
    void EjecutaConsultaSQL(QString& SentenciaSQL, std::int32_t& RecordsAffected,
                            std::shared_ptr<ado::Recordset>* Lrcs = nullptr);
    void EjecutaConsultaRSQL(QString& SentenciaSQL, std::int32_t& RecordsAffected,
                             std::shared_ptr<ado::Recordset>* Lrcs = nullptr);
    void CierraRecordset(ado::Recordset& LrcsTemp);
    void QConsulta(const QString&, const QString&, const QString&, const QString&, const QString&, const QString&) {}
    void QGridConsulta(const QString&, const QString&, const QString&, const QString&, const QString&) {}

    // Row lookups.
    bool ExisteEnTabla(const QString& Tabla, const QString& ValorBuscado, const QString& Campo,
                       ado::Recordset* Lrcs = nullptr, const Variant& Tipodato = {}, const QString& Condicion = {},
                       bool SoloLectura = true);
    bool ExisteEnTablaST(const QString& Tabla, const QString& ValorBuscado, const QString& Campo,
                         ado::Recordset* Lrcs = nullptr, const Variant& Tipodato = {}, const QString& Condicion = {},
                         bool SoloLectura = true);
    Variant DatosTabla(const QString& Tabla, const QString& ValorBuscado, const QString& CampoDevuelto,
                       const QString& Campo, const Variant& Tipodato = {}, const QString& Condicion = {},
                       bool UsaTrim = true, bool IgnoraError = false);
    Variant BuscaMaximo(const QString& QueTabla, const QString& QueCampo, const Variant& Tipo = {},
                        const QString& Condicion = {});
    Variant BuscaMinimo(const QString& QueTabla, const QString& QueCampo, const Variant& Tipo = {},
                        const QString& Condicion = {});
    Variant BuscaUltimoCodigo(const QString& QueTabla, const QString& QueCampo, const Variant& Tipo = {},
                              const QString& Condicion = {});

    // SQL literals and names.
    static bool adodate(const Variant& Qtype);
    static bool ADOText(const Variant& Qtype);
    static bool ADONumeric(const Variant& Qtype);
    static bool ADOCurrency(const Variant& Qtype);
    static bool ADOBoolean(const Variant& Qtype);
    static QString ADOComilla(const Variant& Qtype);
    Variant SQLValue(const Variant& Valor, const QString& Marca);
    Variant SQLValue2(const Variant& Valor, const QString& Marca);
    static QString stSTF(QString& rsName, bool rnPart);
    static QString AddBrackets(const QString& rObjName);
    static QString StripConnect(const QString& rsTblName);
    static QString StripBrackets(const QString& rsObjName);
    static QString StripOwner(QString& rsTblName);
    static QString StripFileName(const QString& rsFileName);

    // Statement rewriting and schema metadata.
    QString SS_TSinonimos(const QString& sql);
    QString ORACLE_Dicc(const QString& Valor);
    bool ExisteTablaDB(const QString& Tabla);
    bool ExisteCampoDB(const QString& Tabla, const QString& Campo);
    bool VerCampoDB(const QString& Tabla, const QString& Campo, bool Agregar, const QString& Tipo, bool PermiteNulos,
                    const Variant& ValorDefault = {});
    void AddField(const QString& Tabla, const QString& Campo, const QString& Tipo, bool PermiteNulos,
                  const Variant& ValorDefault = {});

    // The statement runner of Oracle connections: cuts a script into
    // statements, runs transactions on the connection, skips what only SQL Server knows.
    void EjecutaScriptOracle(const QString& sql, std::int32_t& RecordsAffected);

private:
    void Ejecuta(const QString& sql, std::int32_t& RecordsAffected, std::shared_ptr<ado::Recordset>* Lrcs);
    QString OmiteSentenciaSQLServer(QString& sql);

    struct Privado;
    std::unique_ptr<Privado> p_;
};

// The run-wide instances, created on first use: the main one (used
// everywhere), the statistics one, and the one of the list lookup dialog.
DB_Dll& DB();
DB_Dll& DBEstadisticas();
DB_Dll& DBConsulta();
// Tests start each case from fresh instances.
void ReiniciaInstancias();
