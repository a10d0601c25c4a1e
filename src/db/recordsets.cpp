#include "db/db_privado.h"

#include "platform/aplicacion.h"
#include "platform/operador.h"
#include "platform/vb.h"

namespace db_interno {

int PosicionOracle(const QString& cadena) { return vb::InStr(cadena, u"ORACLE"); }

int CajaConexionPerdida(const DB_Dll& db)
{
    const QString CRLF = QStringLiteral("\r\n");
    const QString texto = CRLF + CRLF + CRLF + QStringLiteral("Se perdio la conexion con la base de datos ") + db.gDBName + CRLF
        + QStringLiteral(" Servidor ") + db.gServidor + CRLF + CRLF + QStringLiteral("Elija SI para reintentar conectarse") + CRLF
        + QStringLiteral("Elija NO para cerrar la aplicacion") + CRLF + CRLF + CRLF;
    return operador().MsgBox(texto, estilo::YesNo + estilo::Critical, QStringLiteral("AVISO AL OPERADOR"));
}

void AbreFuente(DB_Dll& db, const QString& sql, ado::Recordset& Lrcs, const std::shared_ptr<ado::Connection>& conexion,
                std::int32_t CursorType, std::int32_t LockType, std::int32_t Options, bool ConvOracle)
{
    const bool oracle = PosicionOracle(db.gCnn->ConnectionString) > 1 && ConvOracle;
    Lrcs.Open(oracle ? db.ORACLE_Dicc(sql) : sql, conexion ? conexion : db.gCnn.get(), CursorType, LockType, Options);
}

void TerminaPorConexionPerdida() { aplicacion::Terminar(EXIT_FAILURE); }

Accion ReabrePorErrorDeRed(DB_Dll& db, int& contador)
{
    db.ReintentaConectar();
    if (db.gOpenFlag)
        return ++contador < 3 ? Accion::Reintentar : Accion::Salir;
    for (;;) {
        db.ReintentaConectar();
        if (db.gOpenFlag)
            return Accion::Reintentar;
        if (++contador >= 3 && CajaConexionPerdida(DB()) != respuesta::Yes)
            TerminaPorConexionPerdida();
    }
}

} // namespace db_interno

using namespace db_interno;

void DB_Dll::AbrirRecordset(QString& SentenciaSQL, ado::Recordset& Lrcs, const std::shared_ptr<ado::Connection>& Conexionactiva,
                            std::int32_t CursorType, std::int32_t LockType, std::int32_t Options, bool ConvOracle)
{
    Rutina r([&](const VbError& e) {
        if ((e.Number == ado::E_FAIL || e.Number == ado::adErrInvalidConnection) && gCnn->errors().Count() > 0) {
            ReintentaConectar();
            if (!gOpenFlag) {
                ReintentaConectar();
                while (!gOpenFlag) {
                    if (CajaConexionPerdida(DB()) != respuesta::Yes)
                        TerminaPorConexionPerdida();
                    ReintentaConectar();
                }
                return Accion::Reintentar;
            }
        }
        return Rutina::SegunRespuesta(TratamientoErrores(e, std::nullopt, QStringLiteral("AbrirRecordset")));
    });
    r.paso([&] { CierraRecordset(Lrcs); });
    r.paso([&] { SentenciaSQL = SS_TSinonimos(SentenciaSQL); });
    r.paso([&] { AbreFuente(*this, SentenciaSQL, Lrcs, Conexionactiva, CursorType, LockType, Options, ConvOracle); });
    r.paso([&] { operador().DoEvents(); });
}

void DB_Dll::CierraRecordset(ado::Recordset& LrcsTemp)
{
    Rutina r([&](const VbError& e) {
        if (e.Number == ado::adErrIllegalOperation) {
            try {
                LrcsTemp.CancelUpdate();
            } catch (const VbError&) {
            }
            try {
                if (LrcsTemp.State() != ado::adStateClosed)
                    LrcsTemp.Close();
            } catch (const VbError&) {
            }
            return Accion::Salir;
        }
        return Rutina::SegunRespuesta(TratamientoErrores(e, std::nullopt, QStringLiteral("CierraRecordset")));
    });
    r.paso([&] {
        if (LrcsTemp.State() != ado::adStateClosed)
            LrcsTemp.Close();
    });
}

namespace {

// The "@Admin_" marker handling of the statement runners.
void TrataMarcaAdmin(DB_Dll& db, QString& sql)
{
    const QString marca = QStringLiteral("@Admin_");
    if (!(vb::Contiene(sql, u"CREATE") && vb::Contiene(sql, u"DROP"))) {
        sql = vb::Replace(sql, marca, {});
    } else if (vb::Contiene(sql, u"DELETE") || vb::Contiene(sql, marca)) {
        if (vb::Contiene(sql, marca))
            sql = vb::Replace(sql, marca, {});
    } else {
        sql = db.SS_TSinonimos(sql);
    }
}

// Clears a lone truncation warning left by a statement that otherwise ran.
void LimpiaAvisos(DB_Dll& inspeccionada, const QString& sql)
{
    ado::Errors& errs = inspeccionada.gCnn->errors();
    if (errs.Count() > 0 && errs.Count() <= 2 && !vb::Contiene(sql, u"TRANS") && errs.Item(0).NativeError == 8152)
        errs.Clear();
}

bool PrimerNativo(DB_Dll& inspeccionada, const QString& sql, int nativo)
{
    ado::Errors& errs = inspeccionada.gCnn->errors();
    return errs.Count() > 0 && !vb::Contiene(sql, u"TRANS") && errs.Item(0).NativeError == nativo;
}

} // namespace

void DB_Dll::EjecutaConsultaSQL(QString& SentenciaSQL, std::int32_t& RecordsAffected, std::shared_ptr<ado::Recordset>* Lrcs)
{
    DB_Dll& inspeccionada = DB();
    int contador = 0;
    Rutina r([&](const VbError&) {
        if (PrimerNativo(inspeccionada, SentenciaSQL, 11))
            return ReabrePorErrorDeRed(*this, contador);
        if (PrimerNativo(inspeccionada, SentenciaSQL, 8152))
            inspeccionada.gCnn->errors().Clear();
        return Accion::Salir;
    });
    r.paso([&] { TrataMarcaAdmin(*this, SentenciaSQL); });
    r.paso([&] { Ejecuta(SentenciaSQL, RecordsAffected, Lrcs); });
    if (!r.salio())
        LimpiaAvisos(inspeccionada, SentenciaSQL);
}

void DB_Dll::EjecutaConsultaRSQL(QString& SentenciaSQL, std::int32_t& RecordsAffected, std::shared_ptr<ado::Recordset>* Lrcs)
{
    DB_Dll& inspeccionada = DBConsulta();
    Rutina r([&](const VbError& e) {
        if (PrimerNativo(inspeccionada, SentenciaSQL, 8152)) {
            inspeccionada.gCnn->errors().Clear();
            return Accion::Salir;
        }
        const bool callado = e.Number == ado::E_FAIL || e.Number == ado::DB_E_INTEGRITYVIOLATION || e.Number == ado::DB_E_NOTABLE
            || e.Number == ado::DB_E_ERRORSINCOMMAND || vb::Contiene(SentenciaSQL, u"TRANS");
        if (!callado)
            operador().MsgBox(e.Description, estilo::Critical, QStringLiteral("Aviso al operador!!!"));
        return Accion::Salir;
    });
    r.paso([&] { TrataMarcaAdmin(*this, SentenciaSQL); });
    r.paso([&] { Ejecuta(SentenciaSQL, RecordsAffected, Lrcs); });
    if (!r.salio())
        LimpiaAvisos(inspeccionada, SentenciaSQL);
}

void DB_Dll::Ejecuta(const QString& sql, std::int32_t& RecordsAffected, std::shared_ptr<ado::Recordset>* Lrcs)
{
    if (PosicionOracle(gCnn->ConnectionString) != 0) {
        EjecutaScriptOracle(sql, RecordsAffected);
        return;
    }
    auto rs = gCnn->Execute(sql, &RecordsAffected, -1);
    if (Lrcs)
        *Lrcs = std::move(rs);
}

QString DB_Dll::OmiteSentenciaSQLServer(QString& sql)
{
    if (vb::Contiene(sql, u"SET NOCOUNT") || vb::Contiene(sql, u"IF NOT EXIST")) {
        sql.clear();
        return {};
    }
    return sql;
}
