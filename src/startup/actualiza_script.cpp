#include "startup/actualiza_script.h"

#include "db/db_dll.h"
#include "diag/registra_error.h"
#include "platform/ado/errores_ado.h"
#include "platform/errores.h"
#include "platform/operador.h"
#include "platform/vb.h"

void GActualizarDatoScript(const QStringList& sentencias, bool& HuboError, std::int32_t& NroError, bool IgnoraDuplicados,
                           bool IgnoraRestriccion, QString& Script, QString& MsgError, bool MuestraMensaje)
{
    const QString CR = QStringLiteral("\r");
    DB_Dll& db = DB();
    Rutina r = Rutina::Preguntar([](const VbError& e) {
        return RegistraError(e, std::nullopt, QStringLiteral("GActualizarDatoScript"));
    });
    QString lote, mensaje;
    std::int32_t nativo = 0;
    std::int32_t afectadas = 0;

    r.paso([&] { HuboError = false; });
    r.paso([&] {
        for (const QString& s : sentencias)
            if (!vb::EnBlanco(s))
                lote += CR + s;
    });
    if (lote.isEmpty() || r.salio())
        return;
    r.paso([&] {
        lote = QStringLiteral("BEGIN TRANSACTION ") + CR + CR + lote + CR;
        Script = lote;
    });
    r.paso([&] {
        QString sql = lote;
        db.EjecutaConsultaSQL(sql, afectadas);
    });
    r.paso([&] {
        const ado::Errors& errores = db.gCnn->errors();
        const int n = errores.Count();
        if (n == 0)
            return;
        nativo = errores.Item(0).NativeError;
        HuboError = true;
        for (int i = 0; i < (n == 1 ? 1 : n - 1); ++i)
            mensaje += QString::number(errores.Item(i).NativeError) + QStringLiteral(" : ") + errores.Item(i).Description
                + QStringLiteral("\r\n");
        MsgError = mensaje;
        if ((IgnoraDuplicados && nativo == ado::nativo::ClaveDuplicada) || (IgnoraRestriccion && nativo == ado::nativo::Restriccion)) {
            MsgError = errores.Item(0).Description;
            mensaje.clear();
        }
        db.gCnn->errors().Clear();
    });
    if (HuboError) {
        r.paso([&] {
            QString sql = QStringLiteral("ROLLBACK TRANSACTION");
            db.EjecutaConsultaSQL(sql, afectadas);
        });
        r.paso([&] {
            QString proceso;
            RegistraErrorSQL(lote, proceso, nativo, mensaje);
        });
        r.paso([&] {
            if (!vb::EnBlanco(mensaje) && MuestraMensaje)
                operador().MsgBox(mensaje, estilo::Critical, QStringLiteral("Aviso al Operador!"));
        });
    } else {
        r.paso([&] {
            QString sql = QStringLiteral("COMMIT TRANSACTION");
            db.EjecutaConsultaSQL(sql, afectadas);
        });
    }
    r.paso([&] { NroError = nativo; });
}
