#include "db/db_privado.h"

#include "platform/vb.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>

int db_interno::CodigoTipoAdo(const Variant& valor)
{
    if (valor.isEmpty() || !valor.isNumeric())
        return -1;
    double d = 0;
    if (valor.isString()) {
        if (!vb::ANumero(*valor.get<QString>(), d))
            return -1;
    } else {
        d = valor.toDouble();
    }
    // "7.4" names no code; rounding it would make it a date.
    if (!std::isfinite(d) || d != std::floor(d) || d < std::numeric_limits<std::int32_t>::min()
        || d > std::numeric_limits<std::int32_t>::max())
        return -1;
    return int(d);
}

namespace {
bool En(const Variant& Qtype, std::initializer_list<int> codigos)
{
    const int c = db_interno::CodigoTipoAdo(Qtype);
    return std::find(codigos.begin(), codigos.end(), c) != codigos.end();
}
} // namespace

bool DB_Dll::adodate(const Variant& Qtype) { return En(Qtype, {7, 133, 134, 135, 137, 64}); }
bool DB_Dll::ADOText(const Variant& Qtype) { return En(Qtype, {8, 129, 130, 200, 201, 202, 203}); }
bool DB_Dll::ADONumeric(const Variant& Qtype) { return En(Qtype, {2, 3, 4, 5, 14, 16, 17, 18, 19, 20, 21, 131}); }
bool DB_Dll::ADOCurrency(const Variant& Qtype) { return En(Qtype, {6}); }
bool DB_Dll::ADOBoolean(const Variant& Qtype) { return En(Qtype, {11}); }
QString DB_Dll::ADOComilla(const Variant& Qtype) { return adodate(Qtype) || ADOText(Qtype) ? QStringLiteral("'") : QString(); }

Variant DB_Dll::SQLValue(const Variant& Valor, const QString& Marca)
{
    QString prefijo, sufijo;
    Variant v = Valor;
    if (Marca == u"@") {
        if (v.isNull())
            v = std::int32_t(0);
        const Variant numero = p_->fg.ValorNumerico(v.toString());
        v = p_->fg.CambiaCaracter(numero.toString(), u',', QStringLiteral("."));
    } else if (Marca == u"'") {
        prefijo = sufijo = QStringLiteral("'");
    }
    QString cuerpo;
    if (v.isNull()) {
        cuerpo = QStringLiteral("NULL");
        prefijo.clear();
        sufijo.clear();
    } else {
        cuerpo = v.toString();
    }
    return prefijo + cuerpo + sufijo;
}

Variant DB_Dll::SQLValue2(const Variant& Valor, const QString& Marca) { return SQLValue(Valor, Marca); }

QString DB_Dll::stSTF(QString& rsName, bool rnPart)
{
    const int puntos = int(rsName.count(u'.'));
    if (puntos == 0)
        return rsName;
    if (puntos == 1) {
        const int p = int(rsName.indexOf(u'.'));
        return rnPart ? rsName.mid(p + 1) : rsName.left(p);
    }
    return StripOwner(rsName);
}

QString DB_Dll::AddBrackets(const QString& rObjName)
{
    if (rObjName.contains(u' ') && !rObjName.startsWith(u'['))
        return u'[' + rObjName + u']';
    return rObjName;
}

QString DB_Dll::StripBrackets(const QString& rsObjName)
{
    if (rsObjName.startsWith(u'['))
        return rsObjName.mid(1, std::max<qsizetype>(0, rsObjName.size() - 2));
    return rsObjName;
}

QString DB_Dll::StripConnect(const QString& rsTblName)
{
    const qsizetype p = rsTblName.indexOf(QStringLiteral("->"));
    if (p < 0)
        return rsTblName;
    return rsTblName.left(std::max<qsizetype>(0, p - 1));
}

QString DB_Dll::StripOwner(QString& rsTblName)
{
    const qsizetype p = rsTblName.indexOf(u'.');
    if (p >= 0)
        rsTblName = rsTblName.mid(p + 1);
    return rsTblName;
}

QString DB_Dll::StripFileName(const QString& rsFileName)
{
    const qsizetype p = rsFileName.lastIndexOf(u'\\');
    return p < 0 ? QString() : rsFileName.left(p);
}
