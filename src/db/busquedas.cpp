#include "db/db_privado.h"
#include "db/reconexion.h"

#include "platform/operador.h"
#include "platform/vb.h"

namespace {

// The type code a lookup was given: a number (or numeric text); "'" counts as
// text where the caller allows it; anything else compares as written.
int CodigoTipo(const Variant& Tipodato, bool comillaEsTexto)
{
    if (comillaEsTexto && Tipodato.isString() && *Tipodato.get<QString>() == u"'")
        return 8;
    if (Tipodato.isEmpty() || Tipodato.isNull() || Tipodato.isObject() || !Tipodato.isNumeric())
        return -1;
    return Tipodato.toLong();
}

// A number as SQL writes it: '.' as decimal point whatever the regional settings.
QString NumeroSQL(double d) { return QString::number(d, 'g', 15); }

QString Comparacion(int tipo, const QString& Campo, const QString& Valor)
{
    switch (tipo) {
    case 8: return QStringLiteral("LTRIM(RTRIM(") + Campo + QStringLiteral(")) ='") + vb::Trim(Valor) + u'\'';
    case 7: return Campo + QStringLiteral(" = ") + vb::Trim(Valor) + u' ';
    case 3:
    case 4:
    case 5: return Campo + QStringLiteral(" = ") + NumeroSQL(vb::Val(vb::Trim(Valor)));
    default: return Campo + QStringLiteral(" = ") + Valor;
    }
}

QString ComparacionDatos(int tipo, const QString& Campo, const QString& Valor, bool UsaTrim)
{
    switch (tipo) {
    case 8:
        return UsaTrim ? Comparacion(8, Campo, Valor) : Campo + QStringLiteral(" ='") + Valor + QStringLiteral("' ");
    case 7: return Campo + QStringLiteral(" = #") + Valor + QStringLiteral("# ");
    default: return Campo + QStringLiteral(" = ") + Valor;
    }
}

} // namespace

// The failure scheme the single-row lookups share: a network error re-opens
// the connection; anything else asks Abort, Retry or Ignore.
static Rutina RutinaDeBusqueda(DB_Dll& db, int& contador)
{
    return Rutina([&db, &contador](const VbError& e) {
        ado::Errors& errs = DB().gCnn->errors();
        if (errs.Count() > 0 && errs.Item(0).NativeError == 11)
            return db_interno::ReabrePorErrorDeRed(db, contador);
        return Rutina::SegunRespuesta(
            operador().MsgBox(e.Description, estilo::AbortRetryIgnore + estilo::Critical, QStringLiteral("Aviso al Operador")));
    });
}

bool DB_Dll::ExisteEnTabla(const QString& Tabla, const QString& ValorBuscado, const QString& Campo, ado::Recordset* Lrcs,
                           const Variant& Tipodato, const QString& Condicion, bool SoloLectura)
{
    int contador = 0;
    Rutina r = RutinaDeBusqueda(*this, contador);
    bool hay = false;
    QString sql;
    ado::Recordset propio;
    r.paso([&] {
        const int tipo = CodigoTipo(Tipodato, false);
        if (!Condicion.isEmpty())
            sql = QStringLiteral("SELECT TOP 1 * FROM ") + Tabla + QStringLiteral(" with(nolock) ")
                + (vb::Contiene(Condicion, u" WHERE ") ? QStringLiteral(" ") : QStringLiteral(" WHERE ")) + Condicion;
        else
            sql = (tipo == 8 ? QStringLiteral("SELECT TOP 1  * FROM ") : QStringLiteral("SELECT TOP 1 * FROM ")) + Tabla
                + QStringLiteral(" with(nolock)  WHERE ") + Comparacion(tipo, Campo, ValorBuscado);
    });
    r.paso([&] { sql = SS_TSinonimos(sql); });
    r.paso([&] {
        if (Lrcs) {
            if (Lrcs->State() != ado::adStateClosed)
                Lrcs->Close();
            Lrcs->Open(sql, gCnn, SoloLectura ? ado::adOpenForwardOnly : Lrcs->CursorType,
                       SoloLectura ? ado::adLockReadOnly : Lrcs->LockType);
        } else {
            propio.Open(ORACLE_Dicc(sql), gCnn, ado::adOpenForwardOnly, ado::adLockReadOnly);
        }
    });
    r.paso([&] { hay = !(Lrcs ? Lrcs->BOF() : propio.BOF()); });
    return hay && !r.salio();
}

bool DB_Dll::ExisteEnTablaST(const QString& Tabla, const QString& ValorBuscado, const QString& Campo, ado::Recordset* Lrcs,
                             const Variant& Tipodato, const QString& Condicion, bool SoloLectura)
{
    int contador = 0;
    Rutina r = RutinaDeBusqueda(*this, contador);
    bool hay = false;
    QString sql;
    ado::Recordset propio;
    r.paso([&] {
        const int tipo = CodigoTipo(Tipodato, false);
        if (!Condicion.isEmpty())
            sql = QStringLiteral("SELECT * FROM ") + Tabla + QStringLiteral(" with(nolock)  ")
                + (vb::Contiene(Condicion, u" WHERE ") ? QStringLiteral(" ") : QStringLiteral(" WHERE ")) + Condicion;
        else
            sql = QStringLiteral("SELECT * FROM ") + Tabla + QStringLiteral(" with(nolock)   WHERE ")
                + (tipo == 8 ? Campo + QStringLiteral(" ='") + ValorBuscado + u'\'' : Comparacion(tipo, Campo, ValorBuscado));
    });
    r.paso([&] {
        ado::Recordset& rs = Lrcs ? *Lrcs : propio;
        if (rs.State() != ado::adStateClosed)
            rs.Close();
        rs.Open(sql, gCnn, SoloLectura || !Lrcs ? ado::adOpenForwardOnly : rs.CursorType,
                SoloLectura || !Lrcs ? ado::adLockReadOnly : rs.LockType);
    });
    r.paso([&] { hay = !(Lrcs ? Lrcs->BOF() : propio.BOF()); });
    return hay && !r.salio();
}

Variant DB_Dll::DatosTabla(const QString& Tabla, const QString& ValorBuscado, const QString& CampoDevuelto,
                           const QString& Campo, const Variant& Tipodato, const QString& Condicion, bool UsaTrim,
                           bool IgnoraError)
{
    int contador = 0;
    Rutina r = IgnoraError ? Rutina([](const VbError&) { return Accion::Salir; }) : RutinaDeBusqueda(*this, contador);
    Variant resultado;
    QString sql;
    ado::Recordset rs;
    r.paso([&] {
        sql = QStringLiteral("SELECT TOP 1 * FROM ") + Tabla + QStringLiteral(" with(nolock)  WHERE ")
            + ComparacionDatos(CodigoTipo(Tipodato, true), Campo, ValorBuscado, UsaTrim);
        if (!vb::Trim(Condicion).isEmpty())
            sql += QStringLiteral(" AND ") + Condicion;
    });
    r.paso([&] { AbrirRecordset(sql, rs, gCnn, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true); });
    if (!gOpenFlag)
        return resultado;
    r.paso([&] { resultado = rs.BOF() ? Variant(QString()) : Variant(p_->fg.ValorCampo(rs.Fields(CampoDevuelto).Value()).toString()); });
    r.paso([&] { CierraRecordset(rs); });
    if (r.fallo() && IgnoraError)
        return QString();
    return resultado;
}

namespace {
enum class Busca { Maximo, Minimo, UltimoCodigo };
}

static Variant BuscaExtremo(DB_Dll& db, FuncionesGenerales& fg, Busca que, const QString& QueTabla, const QString& QueCampo,
                            const Variant& Tipo, const QString& Condicion)
{
    QString sql = que == Busca::Minimo
        ? QStringLiteral("SELECT MIN(") + QueCampo + QStringLiteral(") AS MENOR FROM ") + QueTabla + QStringLiteral("  with(nolock) ")
        : QStringLiteral("SELECT MAX(") + QueCampo + QStringLiteral(") AS MAYOR FROM ") + QueTabla;
    if (que == Busca::UltimoCodigo) {
        if (!vb::Trim(Condicion).isEmpty())
            sql += QStringLiteral(" WHERE ") + Condicion;
    } else if (!Condicion.isEmpty()) {
        sql += QStringLiteral(" WHERE ") + vb::Trim(Condicion);
    }
    const QString columna = que == Busca::Minimo ? QStringLiteral("MENOR") : QStringLiteral("MAYOR");
    const int tipo = CodigoTipo(Tipo, false);
    const bool numerico = que == Busca::UltimoCodigo || tipo == 3 || tipo == 4 || tipo == 5;

    auto consulta = [&](const QString& texto) {
        ado::Recordset rs;
        rs.Open(texto, db.gCnn, ado::adOpenForwardOnly, ado::adLockReadOnly, -1);
        QString valor;
        if (!rs.EOF_())
            valor = fg.ValorCampo(rs.Fields(columna).Value()).toString();
        rs.Close();
        return valor;
    };
    QString valor = consulta(sql);
    // Article codes padded with zeros would always win: look past them.
    if (que == Busca::Maximo && vb::Iguales(vb::Trim(QueTabla), u"V_MA_ARTICULOS") && valor.startsWith(u'0')) {
        const QString extra = QStringLiteral(" substring(ltrim(idarticulo),1,1)<>'0'");
        valor = consulta(Condicion.isEmpty() ? sql + QStringLiteral(" WHERE ") + extra : sql + QStringLiteral(" and") + extra);
    }
    if (numerico)
        return vb::Val(valor);
    return valor;
}

Variant DB_Dll::BuscaMaximo(const QString& QueTabla, const QString& QueCampo, const Variant& Tipo, const QString& Condicion)
{
    return BuscaExtremo(*this, p_->fg, Busca::Maximo, QueTabla, QueCampo, Tipo, Condicion);
}

Variant DB_Dll::BuscaMinimo(const QString& QueTabla, const QString& QueCampo, const Variant& Tipo, const QString& Condicion)
{
    return BuscaExtremo(*this, p_->fg, Busca::Minimo, QueTabla, QueCampo, Tipo, Condicion);
}

Variant DB_Dll::BuscaUltimoCodigo(const QString& QueTabla, const QString& QueCampo, const Variant& Tipo, const QString& Condicion)
{
    return BuscaExtremo(*this, p_->fg, Busca::UltimoCodigo, QueTabla, QueCampo, Tipo, Condicion);
}
