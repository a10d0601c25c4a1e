#include "lookup/filtro_busqueda.h"

#include "platform/vb.h"

SentenciaPartida PartirSentencia(const QString& sentencia, bool antesDeGroupBy)
{
    SentenciaPartida p{sentencia, {}, {}};
    if (vb::Contiene(p.base, u"order")) {
        const int i = vb::InStr(p.base, u"order by");
        if (i > 0) {
            p.cola = p.base.mid(i - 1);
            p.base = p.base.left(i - 1);
        }
    }
    if (antesDeGroupBy && vb::Contiene(p.base, u"group by")) {
        const int i = vb::InStr(p.base, u"Group By");
        p.cola = p.base.mid(i - 1) + p.cola;
        p.base = p.base.left(i - 1);
    }
    p.union_ = vb::Contiene(sentencia, u"where") ? QStringLiteral(" and ") : QStringLiteral(" where ");
    return p;
}

QString TextoLiteral(const QString& texto) { return QString(texto).replace(u'\'', QStringLiteral("''")); }
