#include "platform/ado/traduccion.h"
#include "platform/ado/errores_ado.h"
#include "platform/ado/provider.h"
#include "platform/tsql/disparadores.h"

#include <algorithm>

namespace ado {

std::shared_ptr<const tsql::Traduccion> TraductorSqlite::traducir(const QString& sql, const QString& origen)
{
    std::int64_t version = -1;
    if (version_) {
        version = version_();
    } else if (const auto v = filas_(QStringLiteral("PRAGMA schema_version")); !v.empty()) {
        version = v[0][0].toLongLong();
    }
    if (version != versionCache_) {
        cache_.clear();
        versionCache_ = version;
    }
    if (auto it = cache_.constFind(sql); it != cache_.constEnd())
        return it.value();
    std::shared_ptr<const tsql::Traduccion> r;
    try {
        r = std::make_shared<const tsql::Traduccion>(tsql::Traducir(sql, *this));
    } catch (const tsql::ErrorTsql& e) {
        FallaDe(ErrorNativo(e.numero, e.mensaje, origen));
    }
    if (cache_.size() >= 2000)
        cache_.clear();
    cache_.insert(sql, r);
    return r;
}

bool TraductorSqlite::columnas(const QString& tabla, std::vector<tsql::ColumnaDeclarada>& r)
{
    const QString q = QString(tabla).replace(u'"', QLatin1String("\"\""));
    const auto filas = filas_(QStringLiteral("PRAGMA table_info(\"%1\")").arg(q));
    if (filas.empty())
        return false;
    // SQLite numbers a table's rows itself only in an INTEGER PRIMARY KEY
    // declared AUTOINCREMENT: the identity of a table made here.
    const auto def = filas_(QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = '%1' COLLATE NOCASE")
                                .arg(QString(tabla).replace(u'\'', QLatin1String("''"))));
    const bool autoincremento = !def.empty() && def[0][0].contains(QLatin1String("AUTOINCREMENT"), Qt::CaseInsensitive);
    // A view's computed columns: the types its CREATE VIEW kept.
    QHash<QString, QString> deVista;
    if (std::any_of(filas.begin(), filas.end(), [](const auto& f) { return f[2].isEmpty(); })
        && !filas_(QStringLiteral("SELECT 1 FROM sqlite_master WHERE name = 'ss_tipos'")).empty())
        for (const auto& f : filas_(QStringLiteral("SELECT columna, tipo FROM ss_tipos WHERE objeto = '%1'")
                                        .arg(QString(tabla).replace(u'\'', QLatin1String("''")))))
            deVista.insert(f[0].toLower(), f[1]);
    for (const auto& f : filas) {
        // cid, name, type, notnull, dflt_value, pk
        tsql::ColumnaDeclarada c{f[1], f[2].isEmpty() ? deVista.value(f[1].toLower()) : f[2]};
        c.identidad = autoincremento && f[5] == u"1" && f[2].compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0;
        r.push_back(c);
    }
    return true;
}

std::vector<tsql::DisparadorDeclarado> TraductorSqlite::disparadores()
{
    std::vector<tsql::DisparadorDeclarado> r;
    if (filas_(QStringLiteral("SELECT 1 FROM sqlite_master WHERE name = 'ss_disparadores'")).empty())
        return r;
    for (const auto& f : filas_(QStringLiteral("SELECT nombre, tabla, eventos, cuerpo FROM ss_disparadores ORDER BY rowid")))
        r.push_back({f[0], f[1], f[2].split(u','), f[3]});
    return r;
}

bool TablaInterna(const QString& nombre)
{
    return nombre.compare(QLatin1String("ss_tipos"), Qt::CaseInsensitive) == 0
           || nombre.compare(QLatin1String("ss_disparadores"), Qt::CaseInsensitive) == 0
           || nombre.startsWith(tsql::FilasDe(QString(), true), Qt::CaseInsensitive)
           || nombre.startsWith(tsql::FilasDe(QString(), false), Qt::CaseInsensitive);
}

void Declarar(Cursor& c, const std::vector<tsql::Tipo>& tipos, int primera)
{
    for (size_t i = 0; i < tipos.size(); ++i) {
        const tsql::Tipo& t = tipos[i];
        if (t.desconocido() || t.clase == tsql::Clase::Nulo)
            continue;
        int tamano = 0;
        const int tipo = TipoDeclarado(tsql::NombreDe(t), &tamano);
        c.declarar(primera + int(i), tipo, tamano, t.exacto() ? t.escala : -1);
    }
}

std::unique_ptr<Cursor> TraductorSqlite::ejecutar(const QString& sql, const QString& origen, std::int64_t* afectadas,
                                                  bool conClave, const Nativa& nativa)
{
    // SQLite reads a statement only up to a character 0: refused whole.
    if (sql.contains(QChar(0)))
        FallaDe(ErrorCaracterNulo(origen));
    const auto traduccion = traducir(sql, origen);
    const tsql::Traduccion& t = *traduccion;
    if (conClave) {
        if (t.conClave.isEmpty())
            return nullptr;
        auto c = nativa(t.conClave, afectadas);
        if (c)
            Declarar(*c, t.sentencias[0].columnas, 1);
        return c;
    }
    std::unique_ptr<Cursor> primera;
    std::int64_t total = 0;
    bool huboCambios = false;
    const size_t n = t.sentencias.size();
    // The answers of the IFs: -1 not taken (its IF's branch did not run).
    std::vector<signed char> respuestas(n, -1);
    bool abierto = false; // the savepoint of a statement that fires triggers
    size_t i = 0;
    try {
        for (; i < n; ++i) {
            const tsql::SalidaSqlite& s = t.sentencias[i];
            if (s.si >= 0 && respuestas[size_t(s.si)] != (s.cuando ? 1 : 0))
                continue;
            std::int64_t k = -1;
            auto c = nativa(s.sql, &k);
            abierto = (abierto || s.abre) && !s.cierra;
            if (s.condicion) {
                std::vector<Variant> f;
                respuestas[i] = c && c->siguiente(f) && !f.empty() && f[0].toLong() != 0 ? 1 : 0;
                continue;
            }
            if (s.definicion)
                esquemaCambiado();
            if (k >= 0 && !s.interna) {
                total += k;
                huboCambios = true;
            }
            if (!c)
                continue;
            std::vector<Variant> f;
            if (!s.filas || primera) {
                while (c->siguiente(f)) {
                }
                continue;
            }
            Declarar(*c, s.columnas);
            if (i + 1 == n) {
                primera = std::move(c);
                break;
            }
            std::vector<std::vector<Variant>> filas;
            while (c->siguiente(f))
                filas.push_back(f);
            primera = std::make_unique<CursorMemoria>(c->columnas(), std::move(filas));
        }
    } catch (const FallaProveedor&) {
        // Never left inside the statement's savepoint, nor with half of it
        // done; a failure in a trigger ends the whole transaction, as the
        // server's does. What is already undone fails here, unheard.
        if (abierto) {
            auto intenta = [&](const QString& q) {
                try {
                    nativa(q, nullptr);
                } catch (const FallaProveedor&) {
                }
            };
            if (t.sentencias[i].disparo) {
                intenta(QStringLiteral("ROLLBACK"));
            } else {
                intenta(QStringLiteral("ROLLBACK TO ss_disparo"));
                intenta(QStringLiteral("RELEASE ss_disparo"));
            }
        }
        throw;
    }
    if (afectadas)
        *afectadas = huboCambios ? total : -1;
    return primera;
}

} // namespace ado
