#include "db/db_privado.h"

#include "platform/operador.h"
#include "platform/vb.h"

#include <functional>

namespace {

// The type code a lookup was given: a number (or numeric text); "'" counts as
// text where the caller allows it; anything else compares as written.
int CodigoTipo(const Variant& Tipodato, bool comillaEsTexto)
{
    if (comillaEsTexto && Tipodato.isString() && *Tipodato.get<QString>() == u"'")
        return 8;
    return db_interno::CodigoTipoAdo(Tipodato);
}

// A column's value as a number: numbers as the field holds them (their text
// under a decimal comma would lose the fraction), texts as Val reads them.
double NumeroDeCampo(FuncionesGenerales& fg, const Variant& v)
{
    switch (v.type()) {
    case VarType::Empty:
    case VarType::Null: return 0;
    case VarType::String: return vb::Val(*v.get<QString>());
    case VarType::Date:
    case VarType::Object: return vb::Val(fg.ValorCampo(v).toString());
    default: return v.toDouble();
    }
}

bool EsNumero(const Variant& v)
{
    switch (v.type()) {
    case VarType::Integer:
    case VarType::Long:
    case VarType::LongLong:
    case VarType::Double:
    case VarType::Currency:
    case VarType::Decimal: return true;
    default: return false;
    }
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

// Builds the statement, opens it (into Lrcs when given) and tells whether a
// row came; with the per-user rewriting and the Oracle conversion or without.
static bool ExisteFila(DB_Dll& db, const std::function<QString()>& armaSql, ado::Recordset* Lrcs, bool SoloLectura,
                       bool reescribe)
{
    int contador = 0;
    Rutina r = RutinaDeBusqueda(db, contador);
    bool hay = false;
    QString sql;
    ado::Recordset propio;
    ado::Recordset& rs = Lrcs ? *Lrcs : propio;
    r.paso([&] { sql = armaSql(); });
    if (reescribe)
        r.paso([&] { sql = db.SS_TSinonimos(sql); });
    r.paso([&] {
        if (rs.State() != ado::adStateClosed)
            rs.Close();
        const bool lectura = SoloLectura || !Lrcs;
        rs.Open(reescribe && !Lrcs ? db.ORACLE_Dicc(sql) : sql, db.gCnn, lectura ? ado::adOpenForwardOnly : rs.CursorType,
                lectura ? ado::adLockReadOnly : rs.LockType);
    });
    r.paso([&] { hay = !rs.BOF(); });
    return hay && !r.salio();
}

static QString ConCondicion(const QString& inicio, const QString& Condicion)
{
    return inicio + (vb::Contiene(Condicion, u" WHERE ") ? QStringLiteral(" ") : QStringLiteral(" WHERE ")) + Condicion;
}

bool DB_Dll::ExisteEnTabla(const QString& Tabla, const QString& ValorBuscado, const QString& Campo, ado::Recordset* Lrcs,
                           const Variant& Tipodato, const QString& Condicion, bool SoloLectura)
{
    return ExisteFila(
        *this,
        [&] {
            if (!Condicion.isEmpty())
                return ConCondicion(QStringLiteral("SELECT TOP 1 * FROM ") + Tabla + QStringLiteral(" with(nolock) "), Condicion);
            const int tipo = CodigoTipo(Tipodato, false);
            return (tipo == 8 ? QStringLiteral("SELECT TOP 1  * FROM ") : QStringLiteral("SELECT TOP 1 * FROM ")) + Tabla
                + QStringLiteral(" with(nolock)  WHERE ") + Comparacion(tipo, Campo, ValorBuscado);
        },
        Lrcs, SoloLectura, true);
}

bool DB_Dll::ExisteEnTablaST(const QString& Tabla, const QString& ValorBuscado, const QString& Campo, ado::Recordset* Lrcs,
                             const Variant& Tipodato, const QString& Condicion, bool SoloLectura)
{
    return ExisteFila(
        *this,
        [&] {
            if (!Condicion.isEmpty())
                return ConCondicion(QStringLiteral("SELECT * FROM ") + Tabla + QStringLiteral(" with(nolock)  "), Condicion);
            const int tipo = CodigoTipo(Tipodato, false);
            return QStringLiteral("SELECT * FROM ") + Tabla + QStringLiteral(" with(nolock)   WHERE ")
                + (tipo == 8 ? Campo + QStringLiteral(" ='") + ValorBuscado + u'\'' : Comparacion(tipo, Campo, ValorBuscado));
        },
        Lrcs, SoloLectura, false);
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
    if (IgnoraError) {
        // Nothing may be shown: the open's own treatment would ask and log.
        r.paso([&] {
            sql = SS_TSinonimos(sql);
            db_interno::AbreFuente(*this, sql, rs, gCnn, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true);
        });
    } else {
        r.paso([&] { AbrirRecordset(sql, rs, gCnn, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true); });
    }
    if (!gOpenFlag)
        return resultado;
    r.paso([&] {
        if (rs.BOF()) {
            resultado = QString();
            return;
        }
        // A number stays a number: its text under a decimal comma reads back wrong.
        const Variant& v = rs.Fields(CampoDevuelto).Value();
        resultado = EsNumero(v) ? v : Variant(p_->fg.ValorCampo(v).toString());
    });
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
        Variant valor;
        if (!rs.EOF_())
            valor = rs.Fields(columna).Value();
        rs.Close();
        return valor;
    };
    auto texto = [&](const Variant& v) { return fg.ValorCampo(v).toString(); };
    Variant valor = consulta(sql);
    // Article codes padded with zeros would always win: look past them.
    if (que == Busca::Maximo && vb::Iguales(vb::Trim(QueTabla), u"V_MA_ARTICULOS") && texto(valor).startsWith(u'0')) {
        const QString extra = QStringLiteral(" substring(ltrim(idarticulo),1,1)<>'0'");
        valor = consulta(Condicion.isEmpty() ? sql + QStringLiteral(" WHERE ") + extra : sql + QStringLiteral(" and") + extra);
    }
    if (numerico)
        return NumeroDeCampo(fg, valor);
    return texto(valor);
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
