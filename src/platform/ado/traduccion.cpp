#include "platform/ado/traduccion.h"
#include "platform/ado/errores_ado.h"
#include "platform/ado/provider.h"
#include "platform/tsql/disparadores.h"

#include "platform/tsql/lexico.h"

#include <QRegularExpression>
#include <algorithm>

namespace ado {

namespace {

QString Citado(const QString& nombre) { return u'"' + QString(nombre).replace(u'"', QLatin1String("\"\"")) + u'"'; }
QString Literal(const QString& texto) { return u'\'' + QString(texto).replace(u'\'', QLatin1String("''")) + u'\''; }

// A CREATE TABLE as SQLite keeps it, for another name with one column
// declared anew; empty when the text is not one this reads.
struct Redeclarada {
    QString sql;
    bool chequeo = false; // a CHECK names the column
};

Redeclarada Redeclarar(const QString& crear, const QString& columna, const QString& declaracion, const QString& nombre)
{
    std::vector<tsql::Token> tk;
    try {
        tk = tsql::Tokenizar(crear);
    } catch (const tsql::ErrorTsql&) {
        return {};
    }
    const auto simbolo = [&](size_t i, char16_t c) {
        return tk[i].clase == tsql::ClaseToken::Simbolo && tk[i].texto.size() == 1 && tk[i].texto[0] == c;
    };
    const auto fin = [&](size_t i) { return i < tk.size() && tk[i].clase != tsql::ClaseToken::Fin; };
    // The token after the group that opens at i.
    const auto tras = [&](size_t i) {
        for (int nivel = 0; fin(i); ++i) {
            nivel += simbolo(i, u'(') ? 1 : simbolo(i, u')') ? -1 : 0;
            if (nivel == 0)
                return i + 1;
        }
        return i;
    };
    const auto texto = [&](size_t a, size_t b) { return crear.mid(tk[a].pos, tk[b - 1].pos + tk[b - 1].largo - tk[a].pos); };
    size_t i = 0;
    while (fin(i) && !simbolo(i, u'('))
        ++i;
    if (!fin(i))
        return {};
    Redeclarada r;
    bool hallada = false;
    QStringList partes;
    for (size_t j = i + 1;;) {
        size_t k = j;
        while (fin(k) && !simbolo(k, u',') && !simbolo(k, u')'))
            k = simbolo(k, u'(') ? tras(k) : k + 1;
        if (!fin(k) || k == j)
            return {};
        for (size_t m = j; m < k; ++m)
            if (tk[m].es("CHECK"))
                for (size_t n = m + 1, f = tras(m + 1); n < f; ++n)
                    r.chequeo = r.chequeo || (tk[n].clase != tsql::ClaseToken::Cadena
                                              && tk[n].valor().compare(columna, Qt::CaseInsensitive) == 0);
        const bool restriccion = tk[j].es("CONSTRAINT") || tk[j].es("PRIMARY") || tk[j].es("UNIQUE")
                                 || tk[j].es("CHECK") || tk[j].es("FOREIGN");
        if (restriccion || tk[j].valor().compare(columna, Qt::CaseInsensitive) != 0) {
            partes << texto(j, k);
        } else {
            // The type goes, and with it the nullability and collation it had;
            // every other constraint stays as written.
            hallada = true;
            static const char* const kRestricciones[] = {"CONSTRAINT", "PRIMARY", "NOT", "NULL", "UNIQUE", "CHECK",
                                                         "DEFAULT", "COLLATE", "REFERENCES", "GENERATED", "AS"};
            const auto esRestriccion = [&](size_t m) {
                return std::any_of(std::begin(kRestricciones), std::end(kRestricciones), [&](const char* p) { return tk[m].es(p); });
            };
            size_t m = j + 1;
            while (m < k && !esRestriccion(m))
                m = simbolo(m, u'(') ? tras(m) : m + 1;
            QString col = Citado(columna) + u' ' + declaracion;
            // What the new declaration replaces: NOT NULL or NULL (with its
            // name and its ON CONFLICT), COLLATE; the tokens it spans.
            const auto reemplazada = [&](size_t p) -> size_t {
                size_t n = tk[p].es("CONSTRAINT") && p + 2 < k ? p + 2 : p;
                if (tk[n].es("COLLATE"))
                    return n + 2 - p;
                if (tk[n].es("NOT") && n + 1 < k && tk[n + 1].es("NULL"))
                    n += 2;
                else if (tk[n].es("NULL"))
                    n += 1;
                else
                    return 0;
                if (n + 2 < k && tk[n].es("ON") && tk[n + 1].es("CONFLICT"))
                    n += 3;
                return n - p;
            };
            // ON DELETE SET NULL stays.
            for (bool trasSet = false; m < k;) {
                if (const size_t quitar = trasSet ? 0 : reemplazada(m)) {
                    m += quitar;
                    continue;
                }
                size_t n = m + 1;
                if (tk[m].es("DEFAULT") && n < k)
                    n = simbolo(n, u'(') ? tras(n) : n + ((simbolo(n, u'-') || simbolo(n, u'+')) ? 2 : 1);
                else if (simbolo(m, u'('))
                    n = tras(m);
                n = std::min(n, k);
                col += u' ' + texto(m, n);
                trasSet = tk[n - 1].es("SET");
                m = n;
            }
            partes << col;
        }
        if (simbolo(k, u')')) {
            if (!hallada)
                return {};
            r.sql = QStringLiteral("CREATE TABLE %1 (%2)").arg(Citado(nombre), partes.join(QStringLiteral(", ")))
                    + crear.mid(tk[k].pos + 1);
            return r;
        }
        j = k + 1;
    }
}

} // namespace

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

void TraductorSqlite::cambiarColumna(const tsql::CambioDeColumna& c, const QString& origen, const Nativa& nativa)
{
    const auto falla = [&](int numero, const QString& mensaje) { FallaDe(ErrorNativo(numero, mensaje, origen)); };
    const auto uno = [&](const QString& sql) {
        const auto f = filas_(sql);
        return f.empty() || f[0].empty() ? QString() : f[0][0];
    };
    const auto correr = [&](const QString& sql) { nativa(sql, nullptr); };
    QString tabla, crear;
    const auto objetos = filas_(QStringLiteral("SELECT type, name, sql FROM sqlite_master WHERE tbl_name = %1 COLLATE NOCASE "
                                               "AND sql IS NOT NULL").arg(Literal(c.tabla)));
    for (const auto& f : objetos)
        if (f[0] == u"table")
            tabla = f[1], crear = f[2];
    if (tabla.isEmpty())
        falla(4902, QStringLiteral("Cannot find the object \"%1\" because it does not exist or you do not have permissions.").arg(c.tabla));
    const QString t = Literal(tabla), col = Literal(c.columna);
    if (uno(QStringLiteral("SELECT 1 FROM pragma_table_info(%1) WHERE name = %2 COLLATE NOCASE").arg(t, col)).isEmpty())
        falla(4924, QStringLiteral("ALTER TABLE ALTER COLUMN failed because column '%1' does not exist in table '%2'.").arg(c.columna, tabla));
    const QString nueva = QStringLiteral("ss_alterar_") + tabla;
    const Redeclarada r = Redeclarar(crear, c.columna, c.declaracion, nueva);
    if (r.sql.isEmpty())
        falla(0, tsql::NoSoportado(QStringLiteral("ALTER TABLE ... ALTER COLUMN of this table's definition")).mensaje);

    // What the server does not let the change take along. Only an index's
    // name is the server's too; a constraint is named by the column.
    const QString accede = QStringLiteral("ALTER TABLE ALTER COLUMN %1 failed because one or more objects access this column.").arg(c.columna);
    const QString defecto = uno(QStringLiteral("SELECT dflt_value FROM pragma_table_info(%1) WHERE name = %2 COLLATE NOCASE").arg(t, col));
    const bool conDefecto = !defecto.isEmpty()
                            || !uno(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'trigger' AND name = %1 COLLATE NOCASE")
                                        .arg(Literal(QStringLiteral("ss_defecto_%1_%2").arg(tabla, c.columna)))).isEmpty();
    if (uno(QStringLiteral("SELECT pk FROM pragma_table_info(%1) WHERE name = %2 COLLATE NOCASE").arg(t, col)) != u"0"
        || !uno(QStringLiteral("SELECT 1 FROM pragma_foreign_key_list(%1) WHERE \"from\" = %2 COLLATE NOCASE").arg(t, col)).isEmpty()
        || !uno(QStringLiteral("SELECT 1 FROM sqlite_master m, pragma_foreign_key_list(m.name) f WHERE m.type = 'table' "
                               "AND f.\"table\" = %1 COLLATE NOCASE AND f.\"to\" = %2 COLLATE NOCASE").arg(t, col)).isEmpty()
        || (r.chequeo && !c.restriccion) || (conDefecto && !c.defecto))
        falla(4922, accede);
    for (const auto& f : filas_(QStringLiteral("SELECT i.name, i.origin FROM pragma_index_list(%1) i, pragma_index_info(i.name) x "
                                               "WHERE x.name = %2 COLLATE NOCASE").arg(t, col))) {
        if (f[1] == u"c" && !c.indice)
            falla(5074, QStringLiteral("The object '%1' is dependent on column '%2'.").arg(f[0], c.columna));
        if (f[1] != u"c" && !c.restriccion)
            falla(4922, accede);
    }

    // Every value converts, and no NULL meets a NOT NULL, before anything
    // changes: undoing a definition would also end the connection's open reads.
    uno(QStringLiteral("SELECT count(%1) FROM %2").arg(c.valor, Citado(tabla)));
    if (c.declaracion.endsWith(QLatin1String(" NOT NULL"))
        && !uno(QStringLiteral("SELECT 1 FROM %1 WHERE %2 IS NULL LIMIT 1").arg(Citado(tabla), Citado(c.columna))).isEmpty())
        falla(515, QStringLiteral("Cannot insert the value NULL into column; column does not allow nulls."));

    // DROP TABLE deletes the rows first: with foreign keys on, rows of other
    // tables would follow them (cascades) or stop it. Inside a transaction
    // they cannot be turned off.
    const bool claves = uno(QStringLiteral("PRAGMA foreign_keys")) == u"1";
    if (claves) {
        correr(QStringLiteral("PRAGMA foreign_keys = OFF"));
        if (uno(QStringLiteral("PRAGMA foreign_keys")) == u"1"
            && !uno(QStringLiteral("SELECT 1 FROM sqlite_master m, pragma_foreign_key_list(m.name) f WHERE m.type = 'table' "
                                   "AND f.\"table\" = %1 COLLATE NOCASE").arg(t)).isEmpty())
            falla(0, tsql::NoSoportado(QStringLiteral("ALTER TABLE ... ALTER COLUMN of a table other tables reference, "
                                                      "inside a transaction,")).mensaje);
    }
    // The rename would otherwise check every view while the table is gone.
    const QString legado = uno(QStringLiteral("PRAGMA legacy_alter_table"));
    correr(QStringLiteral("PRAGMA legacy_alter_table = ON"));
    const auto restaurar = [&] {
        correr(QStringLiteral("PRAGMA legacy_alter_table = %1").arg(legado == u"1" ? 1 : 0));
        if (claves)
            correr(QStringLiteral("PRAGMA foreign_keys = ON"));
    };
    correr(QStringLiteral("SAVEPOINT ss_alterar"));
    try {
        const QString secuencia =
            uno(QStringLiteral("SELECT 1 FROM sqlite_master WHERE name = 'sqlite_sequence'")).isEmpty()
                ? QString()
                : uno(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = %1").arg(t));
        correr(r.sql);
        QStringList columnas, valores;
        const bool sinRowid = crear.contains(QRegularExpression(QStringLiteral("\\bWITHOUT\\s+ROWID\\b"),
                                                                QRegularExpression::CaseInsensitiveOption));
        if (!sinRowid)
            columnas << QStringLiteral("rowid"), valores << QStringLiteral("rowid");
        for (const auto& f : filas_(QStringLiteral("SELECT name FROM pragma_table_info(%1)").arg(t))) {
            columnas << Citado(f[0]);
            valores << (f[0].compare(c.columna, Qt::CaseInsensitive) == 0 ? c.valor : Citado(f[0]));
        }
        correr(QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4")
                   .arg(Citado(nueva), columnas.join(QStringLiteral(", ")), valores.join(QStringLiteral(", ")), Citado(tabla)));
        // The provider gave the new table date triggers that would go on
        // writing to it under its passing name.
        for (const auto& f : filas_(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'trigger' AND tbl_name = %1")
                                        .arg(Literal(nueva))))
            correr(QStringLiteral("DROP TRIGGER %1").arg(Citado(f[0])));
        correr(QStringLiteral("DROP TABLE %1").arg(Citado(tabla)));
        correr(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(Citado(nueva), Citado(tabla)));
        if (!secuencia.isEmpty()) {
            correr(QStringLiteral("DELETE FROM sqlite_sequence WHERE name = %1").arg(t));
            correr(QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (%1, %2)").arg(t, secuencia));
        }
        // The date triggers of the column answered to its old type; those of
        // the others may be back already (the provider adds what is missing).
        static const QRegularExpression kTrigger(QStringLiteral("^CREATE\\s+TRIGGER\\s"), QRegularExpression::CaseInsensitiveOption);
        const QString fecha = QStringLiteral("ss_fecha_%1_%2_").arg(tabla, c.columna);
        for (const auto& f : objetos) {
            if (f[0] == u"index")
                correr(f[2]);
            else if (f[0] == u"trigger" && !f[1].startsWith(fecha, Qt::CaseInsensitive))
                correr(QString(f[2]).replace(kTrigger, QStringLiteral("CREATE TRIGGER IF NOT EXISTS ")));
        }
        correr(QStringLiteral("RELEASE ss_alterar"));
    } catch (...) {
        try {
            correr(QStringLiteral("ROLLBACK TO ss_alterar"));
            correr(QStringLiteral("RELEASE ss_alterar"));
            restaurar();
        } catch (...) {
        }
        throw;
    }
    restaurar();
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
            if (s.cambio) {
                cambiarColumna(*s.cambio, origen, nativa);
                esquemaCambiado();
                huboCambios = true; // no rows, as any definition
                continue;
            }
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
