#include "platform/ado/conexion_cadena.h"

#include "platform/ado/errores_ado.h"
#include "platform/ado/provider.h"
#include "platform/rutas.h"

namespace ado {

CadenaConexion CadenaConexion::Leer(const QString& texto)
{
    CadenaConexion c;
    const qsizetype n = texto.size();
    qsizetype i = 0;
    auto malformada = [&](const QString& motivo) {
        FallaDe(ErrorCadena(QStringLiteral("%1 (at character %2 of the connection string)").arg(motivo).arg(i + 1)));
    };
    while (i < n) {
        const qsizetype fin = texto.indexOf(u'=', i);
        const qsizetype pc = texto.indexOf(u';', i);
        if (fin < 0 || (pc >= 0 && pc < fin)) {
            // A piece without "=": only blanks are allowed there.
            const qsizetype hasta = pc < 0 ? n : pc;
            if (!texto.mid(i, hasta - i).trimmed().isEmpty())
                malformada(QStringLiteral("A piece is not key=value"));
            i = hasta + 1;
            continue;
        }
        const QString clave = texto.mid(i, fin - i).trimmed();
        if (clave.isEmpty())
            malformada(QStringLiteral("A value has no key"));
        i = fin + 1;
        while (i < n && texto[i] == u' ')
            ++i;
        QString valor;
        if (i < n && (texto[i] == u'"' || texto[i] == u'\'' || texto[i] == u'{')) {
            const QChar cierre = texto[i] == u'{' ? u'}' : texto[i];
            const qsizetype c2 = texto.indexOf(cierre, i + 1);
            if (c2 < 0)
                malformada(QStringLiteral("A quoted value is not closed"));
            valor = texto.mid(i + 1, c2 - i - 1);
            if (cierre == u'}')
                valor = u'{' + valor + u'}';
            i = c2 + 1;
            const qsizetype resto = texto.indexOf(u';', i);
            const qsizetype hasta = resto < 0 ? n : resto;
            if (!texto.mid(i, hasta - i).trimmed().isEmpty())
                malformada(QStringLiteral("Text after a quoted value"));
            i = hasta + 1;
        } else {
            const qsizetype hasta = pc < 0 ? n : pc;
            valor = texto.mid(i, hasta - i).trimmed();
            i = hasta + 1;
        }
        c.pares_.emplace_back(clave, valor);
    }
    return c;
}

bool CadenaConexion::tiene(const QString& clave) const
{
    for (const auto& [k, v] : pares_)
        if (k.compare(clave, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString CadenaConexion::valor(const QString& clave) const
{
    // The first occurrence counts, as the platform does.
    for (const auto& [k, v] : pares_)
        if (k.compare(clave, Qt::CaseInsensitive) == 0)
            return v;
    return {};
}

QString CadenaConexion::valor(std::initializer_list<const char*> claves) const
{
    for (const char* k : claves)
        if (tiene(QString::fromLatin1(k)))
            return valor(QString::fromLatin1(k));
    return {};
}

QString RutaLocal(const QString& ruta) { return rutas::Resolver(ruta); }

} // namespace ado
