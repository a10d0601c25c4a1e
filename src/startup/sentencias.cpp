#include "startup/sentencias.h"

#include "db/db_dll.h"
#include "platform/errores.h"
#include "platform/vb.h"
#include "suitelib/funciones_generales.h"

ListaCampos& CamposSentencia()
{
    static ListaCampos pares(1);
    return pares;
}

void AgregaCampo(const QString& columna, QString& valor, const QString& comilla, bool primero)
{
    ListaCampos& pares = CamposSentencia();
    if (primero)
        pares.assign(1, {});
    else
        pares.emplace_back();
    valor.remove(u'\'');
    ParCampo& par = pares.back();
    par.columna = columna;
    if (vb::Iguales(valor, u"NULL"))
        par.valor = QStringLiteral("Null");
    else
        par.valor = DB().SQLValue(valor, comilla).toString();
}

namespace {

QString Columnas(const ListaCampos& pares)
{
    QStringList c;
    for (const ParCampo& p : pares)
        c << p.columna;
    return c.join(u',');
}

QString Valores(const ListaCampos& pares)
{
    QStringList v;
    for (const ParCampo& p : pares)
        v << p.valor;
    return v.join(u',');
}

QString ColumnasYValores(const ListaCampos& pares)
{
    return u'(' + Columnas(pares) + u')' + QStringLiteral(" VALUES (") + Valores(pares) + u')';
}

} // namespace

void ArmaSentencia(ListaCampos& pares, QStringList& sentencias, const QString& tabla, bool esUpdate, QString& where,
                   bool conserva)
{
    QString sentencia;
    if (esUpdate) {
        QStringList lista;
        for (const ParCampo& p : pares)
            lista << p.columna + QStringLiteral(" = ") + p.valor;
        if (!vb::Contiene(where, u"WHERE"))
            where = QStringLiteral(" WHERE ") + where;
        sentencia = QStringLiteral("UPDATE ") + tabla + QStringLiteral(" SET ") + lista.join(u',') + u' ' + where;
    } else {
        sentencia = QStringLiteral("INSERT INTO ") + tabla + u' ' + ColumnasYValores(pares);
    }
    sentencias << sentencia << QString();
    if (!conserva)
        pares.assign(1, {});
}

void ArmaValores(QString& texto, ListaCampos& pares, bool borra)
{
    texto += ColumnasYValores(pares);
    if (borra)
        pares.clear();
}

QString AdaptaSQL(const QString& sentencia)
{
    if (!vb::Contiene(DB().gConnString, u"oracle"))
        return sentencia;
    if (FuncionesGenerales().CuentaPartes(sentencia) < 2)
        return sentencia.toUpper() == u"LEN" ? QStringLiteral("LENGTH") : sentencia;
    if (!vb::Contiene(sentencia, u"top "))
        return sentencia;
    const int top = vb::InStr(sentencia, u"top") - 1;
    const QString antes = sentencia.left(top);
    const QString resto = sentencia.mid(top + 3);
    const int asterisco = int(resto.indexOf(u'*'));
    if (asterisco < 0)
        Raise(vberr::InvalidCall, QStringLiteral("Invalid procedure call or argument"));
    return antes + QStringLiteral(" * ") + resto.mid(asterisco + 1) + QStringLiteral(" WHERE ROWNUM <= ")
        + resto.left(asterisco);
}

QString FormatoFechaHora() { return QStringLiteral("dd/mm/yy hh:mm"); }
QString FormatoFecha() { return QStringLiteral("dd/mm/yy"); }
QString FormatoHora() { return QStringLiteral("hh:mm"); }

QString FormateaFecha(const QDateTime& fecha, const QString& patron)
{
    QString qt;
    bool trasHora = false;
    for (int i = 0; i < patron.size();) {
        const QChar c = patron[i];
        int n = 1;
        while (i + n < patron.size() && patron[i + n] == c)
            ++n;
        const QString grupo(n, c);
        if (c == u'm')
            qt += trasHora ? grupo : QString(n, u'M');
        else if (c == u'h')
            qt += QString(n, u'H');
        else if (c.isLetter())
            qt += grupo;
        else
            qt += u'\'' + grupo + u'\'';
        if (c.isLetter())
            trasHora = c == u'h';
        i += n;
    }
    return fecha.toString(qt);
}
