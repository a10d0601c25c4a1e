#include "config/configuracion.h"

#include "db/db_dll.h"
#include "db/globales.h"
#include "diag/registra_error.h"
#include "platform/operador.h"
#include "platform/vb.h"
#include "suitelib/funciones_generales.h"

namespace {

const QString kTablaFija = QStringLiteral("TA_CONFIGURACION");

FuncionesGenerales& funciones()
{
    static FuncionesGenerales f;
    return f;
}

QString texto(const Variant& v) { return funciones().ValorCampo(v).toString(); }

// The read shared by Cfg and CfgSV, from the statement on.
QString lee(DB_Dll& db, const QString& tabla, const QString& Clave, QString& ValorAux, const QString& nombre)
{
    // Only Ignore goes on; any other answer, Retry included, gives up with "".
    Rutina r([&nombre](const VbError& e) {
        return RegistraError(e, std::nullopt, nombre) == respuesta::Ignore ? Accion::Siguiente : Accion::Salir;
    });
    ado::Recordset rs;
    QString resultado;
    QString sql;

    r.paso([&] {
        sql = QStringLiteral("SELECT VALOR, valoraux FROM ") + tabla + QStringLiteral(" with(nolock)  WHERE CLAVE = '")
            + vb::Trim(Clave) + QStringLiteral("'");
    });
    r.paso([&] {
        const QString k = vb::Trim(Clave);
        if (vb::Iguales(k, u"[FECHA HASTA]") || vb::Iguales(k, u"[FECHA DESDE]"))
            sql = sql.toUpper();
    });
    r.paso([&] { db.AbrirRecordset(sql, rs, nullptr, 0, 1, -1, true); });
    // A recordset that cannot be asked reads as a missing key, as the
    // platform's "resume next" enters the first branch.
    bool vacio = true;
    r.paso([&] { vacio = rs.BOF(); });
    if (vacio) {
        r.paso([&] { resultado = QStringLiteral(" "); });
        r.paso([&] { ValorAux.clear(); });
    } else {
        r.paso([&] { resultado = texto(rs.Fields(QStringLiteral("Valor")).Value()); });
        r.paso([&] { ValorAux = texto(rs.Fields(QStringLiteral("valoraux")).Value()); });
    }
    r.paso([&] { db.CierraRecordset(rs); });
    r.paso([&] {
        if (vb::Iguales(Clave, u"THEME") && vb::Trim(resultado).isEmpty())
            resultado = QStringLiteral("1");
    });
    if (r.salio()) {
        db.CierraRecordset(rs);
        return {};
    }
    return resultado;
}

// The write shared by GrabaDfg and GrabaCfgSV; every failing step is passed over.
void graba(DB_Dll& db, const QString& tabla, const QString& Clave, const Variant& Valor, const QString& ValorAux,
           bool PoliticaNegocio, const QString& Grupo, bool Recortar, bool Borrar, bool recortaAux)
{
    auto r = Rutina::Omitir();
    ado::Recordset rs;
    QString sql;
    bool borrado = false;

    // The row is looked up by the key as it is stored (trimmed): looked up
    // untrimmed, a key with leading blanks would add a row on every write and
    // the read would keep finding the first, stale one.
    r.paso([&] {
        sql = QStringLiteral("SELECT * FROM ") + tabla + QStringLiteral(" with(nolock)  WHERE CLAVE = '") + vb::Trim(Clave)
            + QStringLiteral("'");
    });
    r.paso([&] { db.AbrirRecordset(sql, rs, db.gCnn, 2, 3, -1, true); });
    r.paso([&] {
        if (rs.BOF())
            rs.AddNew();
        else if (Borrar) {
            rs.Delete();
            borrado = true;
        } else
            rs.MoveFirst();
    });
    // A deleted row takes no values: the key is gone.
    if (!borrado) {
        r.paso([&] { rs.Fields(QStringLiteral("Grupo")).setValue(funciones().ValorCampo(Grupo)); });
        r.paso([&] { rs.Fields(QStringLiteral("Clave")).setValue(funciones().ValorCampo(vb::Trim(Clave).toUpper())); });
        r.paso([&] {
            const Variant v = Recortar ? Variant(vb::Trim(Valor.toString())) : Valor;
            rs.Fields(QStringLiteral("Valor")).setValue(funciones().ValorCampo(v));
        });
        r.paso([&] { rs.Fields(QStringLiteral("PoliticaNegocio")).setValue(funciones().ValorCampo(PoliticaNegocio)); });
        r.paso([&] {
            if (!ValorAux.isEmpty())
                rs.Fields(QStringLiteral("ValorAux")).setValue(recortaAux ? vb::Trim(ValorAux) : ValorAux);
        });
        r.paso([&] { rs.Update(); });
    }
    r.paso([&] { db.CierraRecordset(rs); });
}

} // namespace

QString Cfg(const QString& Clave, QString& ValorAux)
{
    if (!DB().gOpenFlag)
        return {};
    if (vb::EnBlanco(glb::TablaConfiguracion))
        glb::TablaConfiguracion = kTablaFija;
    return lee(DB(), glb::TablaConfiguracion, Clave, ValorAux, QStringLiteral("Cfg"));
}

QString Cfg(const QString& Clave)
{
    QString aux;
    return Cfg(Clave, aux);
}

void GrabaDfg(const QString& Clave, const Variant& Valor, const QString& ValorAux, bool PoliticaNegocio,
              const QString& Grupo, bool Recortar, bool Borrar)
{
    // Written before any read set the table name, the key would be lost
    // without a word: the write takes the same default as the read.
    if (vb::EnBlanco(glb::TablaConfiguracion))
        glb::TablaConfiguracion = kTablaFija;
    graba(DB(), glb::TablaConfiguracion, Clave, Valor, ValorAux, PoliticaNegocio, Grupo, Recortar, Borrar, Recortar);
}

QString CfgSV(const QString& Clave, QString& ValorAux)
{
    return lee(DBEstadisticas(), kTablaFija, Clave, ValorAux, QStringLiteral("CfgSV"));
}

QString CfgSV(const QString& Clave)
{
    QString aux;
    return CfgSV(Clave, aux);
}

void GrabaCfgSV(const QString& Clave, const Variant& Valor, const QString& ValorAux, bool PoliticaNegocio,
                const QString& Grupo, bool Recortar)
{
    graba(DBEstadisticas(), kTablaFija, Clave, Valor, ValorAux, PoliticaNegocio, Grupo, Recortar, false, true);
}
