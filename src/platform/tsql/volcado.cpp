#include "platform/tsql/analizador.h"

namespace tsql {

namespace {

class Volcado {
public:
    QString o;

    void sentencias(const std::vector<PSentencia>& l, const char* separador)
    {
        for (size_t k = 0; k < l.size(); ++k) {
            if (k)
                o += QLatin1String(separador);
            sentencia(*l[k]);
        }
    }

private:
    void nombre(const Nombre& n)
    {
        for (qsizetype k = 0; k < n.partes.size(); ++k) {
            if (k)
                o += u'.';
            if (n.citada[size_t(k)])
                o += u'[' + QString(n.partes[k]).replace(QLatin1String("]"), QLatin1String("]]")) + u']';
            else
                o += n.partes[k];
        }
    }

    void nombres(const QStringList& l)
    {
        o += u'(' + l.join(QLatin1String(", ")) + u')';
    }

    void tipo(const TipoEscrito& t)
    {
        o += t.nombre;
        if (t.max)
            o += QLatin1String("(max)");
        else if (t.a >= 0)
            o += u'(' + QString::number(t.a) + (t.b >= 0 ? QLatin1String(", ") + QString::number(t.b) : QString()) +
                 u')';
    }

    void lista(const std::vector<PExpr>& l, size_t desde = 0)
    {
        for (size_t k = desde; k < l.size(); ++k) {
            if (k > desde)
                o += QLatin1String(", ");
            expr(*l[k]);
        }
    }

    void ordenes(const std::vector<Orden>& l)
    {
        o += QLatin1String("ORDER BY ");
        for (size_t k = 0; k < l.size(); ++k) {
            if (k)
                o += QLatin1String(", ");
            expr(*l[k].expr);
            if (l[k].desc)
                o += QLatin1String(" DESC");
        }
    }

    // Operators and COLLATE nest on their first operand, as deep as a chain
    // is long: that side is walked in a loop.
    void expr(const Expr& raiz)
    {
        std::vector<const Expr*> espina;
        const Expr* e = &raiz;
        while ((e->clase == ClaseExpr::Unario || e->clase == ClaseExpr::Binario ||
                e->clase == ClaseExpr::Intercalar) &&
               !e->hijos.empty()) {
            espina.push_back(e);
            o += u'(' + (e->clase == ClaseExpr::Intercalar ? QStringLiteral("COLLATE") : e->texto) + u' ';
            e = e->hijos[0].get();
        }
        simple(*e);
        for (auto p = espina.rbegin(); p != espina.rend(); ++p) {
            if ((*p)->clase == ClaseExpr::Binario) {
                o += u' ';
                expr(*(*p)->hijos[1]);
            } else if ((*p)->clase == ClaseExpr::Intercalar) {
                o += u' ' + (*p)->texto;
            }
            o += u')';
        }
    }

    void simple(const Expr& e)
    {
        switch (e.clase) {
        case ClaseExpr::Literal:
        case ClaseExpr::Variable:
        case ClaseExpr::Global:
            o += e.texto;
            break;
        case ClaseExpr::Columna:
            nombre(e.nombre);
            break;
        case ClaseExpr::Unario:
        case ClaseExpr::Binario:
        case ClaseExpr::Intercalar:
            break; // walked by expr()
        case ClaseExpr::Funcion:
            if (e.nombre.partes.size() > 1)
                nombre(e.nombre);
            else
                o += e.texto;
            if (e.nombre.vacio() && e.hijos.empty())
                break; // CURRENT_TIMESTAMP, USER...
            o += u'(';
            if (e.distinto)
                o += QLatin1String("DISTINCT ");
            if (e.estrella)
                o += u'*';
            lista(e.hijos);
            o += u')';
            if (!e.enGrupo.empty()) {
                o += QLatin1String(" WITHIN GROUP(");
                ordenes(e.enGrupo);
                o += u')';
            }
            if (e.ventana) {
                o += QLatin1String(" OVER(");
                if (!e.ventana->particion.empty()) {
                    o += QLatin1String("PARTITION BY ");
                    lista(e.ventana->particion);
                    if (!e.ventana->orden.empty())
                        o += u' ';
                }
                if (!e.ventana->orden.empty())
                    ordenes(e.ventana->orden);
                o += u')';
            }
            break;
        case ClaseExpr::Caso:
            o += QLatin1String("CASE");
            if (e.operando) {
                o += u' ';
                expr(*e.operando);
            }
            for (size_t k = 0; k + 1 < e.hijos.size(); k += 2) {
                o += QLatin1String(" WHEN ");
                expr(*e.hijos[k]);
                o += QLatin1String(" THEN ");
                expr(*e.hijos[k + 1]);
            }
            if (e.sino) {
                o += QLatin1String(" ELSE ");
                expr(*e.sino);
            }
            o += QLatin1String(" END");
            break;
        case ClaseExpr::Conversion:
            o += e.texto + u'(';
            if (e.texto.endsWith(QLatin1String("CAST"))) {
                expr(*e.hijos[0]);
                o += QLatin1String(" AS ");
                tipo(e.destino);
            } else {
                tipo(e.destino);
                o += QLatin1String(", ");
                lista(e.hijos);
            }
            o += u')';
            break;
        case ClaseExpr::Subconsulta:
            o += u'(';
            select(*e.sub);
            o += u')';
            if (!e.texto.isEmpty()) {
                o += QLatin1String(".value(") + e.texto + QLatin1String(", ");
                tipo(e.destino);
                o += u')';
            }
            break;
        case ClaseExpr::Existe:
            o += e.negado ? QLatin1String("NOT EXISTS(") : QLatin1String("EXISTS(");
            select(*e.sub);
            o += u')';
            break;
        case ClaseExpr::En:
            o += e.negado ? QLatin1String("(NOT IN ") : QLatin1String("(IN ");
            expr(*e.hijos[0]);
            o += u' ';
            if (e.sub) {
                o += u'(';
                select(*e.sub);
                o += u')';
            } else {
                lista(e.hijos, 1);
            }
            o += u')';
            break;
        case ClaseExpr::Cuantificada:
            o += u'(' + e.texto + u' ';
            expr(*e.hijos[0]);
            o += QLatin1String(" (");
            select(*e.sub);
            o += QLatin1String("))");
            break;
        case ClaseExpr::Entre:
        case ClaseExpr::Como:
            o += e.negado ? QLatin1String("(NOT ") : QLatin1String("(");
            o += e.clase == ClaseExpr::Entre ? QLatin1String("BETWEEN ") : QLatin1String("LIKE ");
            for (size_t k = 0; k < e.hijos.size(); ++k) {
                if (k)
                    o += k == 2 && e.clase == ClaseExpr::Como ? QLatin1String(" ESCAPE ") : QLatin1String(" ");
                expr(*e.hijos[k]);
            }
            o += u')';
            break;
        case ClaseExpr::EsNulo:
            o += e.negado ? QLatin1String("(IS NOT NULL ") : QLatin1String("(IS NULL ");
            expr(*e.hijos[0]);
            o += u')';
            break;
        case ClaseExpr::Estrella:
            if (!e.nombre.vacio()) {
                nombre(e.nombre);
                o += u'.';
            }
            o += u'*';
            break;
        case ClaseExpr::Parentesis:
            o += u'{';
            expr(*e.hijos[0]);
            o += u'}';
            break;
        case ClaseExpr::ParteFecha:
            o += u'<' + e.texto + u'>';
            break;
        case ClaseExpr::Defecto:
            o += QLatin1String("DEFAULT");
            break;
        }
    }

    void ctes(const std::vector<Cte>& l)
    {
        if (l.empty())
            return;
        o += QLatin1String("WITH ");
        for (size_t k = 0; k < l.size(); ++k) {
            if (k)
                o += QLatin1String(", ");
            o += l[k].nombre;
            if (!l[k].columnas.isEmpty())
                nombres(l[k].columnas);
            o += QLatin1String(" AS (");
            select(*l[k].select);
            o += u')';
        }
        o += u' ';
    }

    void select(const Select& s)
    {
        ctes(s.con);
        simple(s);
        for (const Select::Combinada& c : s.combinadas) {
            o += u' ' + c.operador + u' ';
            if (!c.select->combinadas.empty() || !c.select->orden.empty() || !c.select->con.empty()) {
                o += u'(';
                select(*c.select);
                o += u')';
            } else {
                simple(*c.select);
            }
        }
        if (!s.orden.empty()) {
            o += u' ';
            ordenes(s.orden);
        }
        if (s.offset) {
            o += QLatin1String(" OFFSET ");
            expr(*s.offset);
        }
        if (s.fetch) {
            o += QLatin1String(" FETCH ");
            expr(*s.fetch);
        }
        if (!s.xml.isNull())
            o += QLatin1String(" FOR XML PATH('") + s.xml + QLatin1String("')") + (s.xmlTipo ? QLatin1String(", TYPE") : QLatin1String(""));
    }

    void simple(const Select& s)
    {
        o += QLatin1String("SELECT ");
        if (s.distinto)
            o += QLatin1String("DISTINCT ");
        if (s.top) {
            top(*s.top, s.porcentaje);
            if (s.empates)
                o += QLatin1String("WITH TIES ");
        }
        for (size_t k = 0; k < s.lista.size(); ++k) {
            if (k)
                o += QLatin1String(", ");
            const ItemSelect& it = s.lista[k];
            if (!it.variable.isEmpty())
                o += it.variable + QLatin1String(" = ");
            expr(*it.expr);
            if (!it.alias.isEmpty())
                o += QLatin1String(" AS ") + (it.aliasCitado ? u'[' + it.alias + u']' : it.alias);
        }
        if (!s.into.vacio()) {
            o += QLatin1String(" INTO ");
            nombre(s.into);
        }
        desde(s.desde);
        donde(s.donde.get());
        if (!s.grupo.empty()) {
            o += QLatin1String(" GROUP BY ");
            lista(s.grupo);
        }
        if (s.teniendo) {
            o += QLatin1String(" HAVING ");
            expr(*s.teniendo);
        }
    }

    void top(const Expr& e, bool porcentaje)
    {
        o += QLatin1String("TOP(");
        expr(e);
        o += porcentaje ? QLatin1String(") PERCENT ") : QLatin1String(") ");
    }

    void donde(const Expr* e)
    {
        if (e) {
            o += QLatin1String(" WHERE ");
            expr(*e);
        }
    }

    void filas(const std::vector<std::vector<PExpr>>& l)
    {
        o += QLatin1String("VALUES ");
        for (size_t k = 0; k < l.size(); ++k) {
            o += k ? QLatin1String(", (") : QLatin1String("(");
            lista(l[k]);
            o += u')';
        }
    }

    void fuente(const Fuente& f)
    {
        switch (f.clase) {
        case ClaseFuente::Tabla:
            nombre(f.nombre);
            break;
        case ClaseFuente::Subconsulta:
            o += u'(';
            select(*f.sub);
            o += u')';
            break;
        case ClaseFuente::Valores:
            o += u'(';
            filas(f.valores);
            o += u')';
            break;
        case ClaseFuente::Funcion:
            nombre(f.nombre);
            o += u'(';
            lista(f.argumentos);
            o += u')';
            break;
        }
        if (!f.alias.isEmpty())
            o += QLatin1String(" AS ") + f.alias;
        if (!f.columnas.isEmpty())
            nombres(f.columnas);
    }

    void desde(const std::vector<Desde>& l)
    {
        if (l.empty())
            return;
        o += QLatin1String(" FROM ");
        for (size_t k = 0; k < l.size(); ++k) {
            if (k)
                o += QLatin1String(", ");
            fuente(l[k].fuente);
            for (const Union& u : l[k].uniones) {
                static const char* const clases[] = {" JOIN ",       " LEFT JOIN ",   " RIGHT JOIN ", " FULL JOIN ",
                                                     " CROSS JOIN ", " CROSS APPLY ", " OUTER APPLY "};
                o += QLatin1String(clases[int(u.clase)]);
                fuente(u.fuente);
                if (u.on) {
                    o += QLatin1String(" ON ");
                    expr(*u.on);
                }
            }
        }
    }

    void referencia(const Nombre& t, const QStringList& columnas, const QString& alBorrar,
                    const QString& alActualizar)
    {
        if (t.vacio())
            return;
        o += QLatin1String(" REFERENCES ");
        nombre(t);
        if (!columnas.isEmpty())
            nombres(columnas);
        if (!alBorrar.isEmpty())
            o += QLatin1String(" ON DELETE ") + alBorrar;
        if (!alActualizar.isEmpty())
            o += QLatin1String(" ON UPDATE ") + alActualizar;
    }

    void columna(const DefColumna& c)
    {
        o += c.citado ? u'[' + c.nombre + u']' : c.nombre;
        o += u' ';
        tipo(c.tipo);
        if (!c.intercalacion.isEmpty())
            o += QLatin1String(" COLLATE ") + c.intercalacion;
        if (c.identidad)
            o += QStringLiteral(" IDENTITY(%1, %2)").arg(c.semilla).arg(c.incremento);
        if (c.nuloEscrito)
            o += c.nulo ? QLatin1String(" NULL") : QLatin1String(" NOT NULL");
        if (c.defecto) {
            o += QLatin1String(" DEFAULT ");
            expr(*c.defecto);
        }
        if (c.clavePrimaria)
            o += QLatin1String(" PRIMARY KEY");
        if (c.unica)
            o += QLatin1String(" UNIQUE");
        if (c.chequeo) {
            o += QLatin1String(" CHECK ");
            expr(*c.chequeo);
        }
        referencia(c.referencia, c.columnasReferencia, c.alBorrar, c.alActualizar);
    }

    void restriccion(const Restriccion& r)
    {
        if (!r.nombre.isEmpty())
            o += QLatin1String("CONSTRAINT ") + r.nombre + u' ';
        o += r.clase;
        if (r.expr) {
            o += u' ';
            expr(*r.expr);
        }
        if (r.clase == u"DEFAULT") {
            o += QLatin1String(" FOR ") + r.columnas.join(QString());
        } else if (!r.columnas.isEmpty()) {
            o += u' ';
            nombres(r.columnas);
        }
        referencia(r.referencia, r.columnasReferencia, r.alBorrar, r.alActualizar);
    }

    void elementos(const Sentencia& s)
    {
        bool primero = true;
        for (const DefColumna& c : s.definiciones) {
            if (!std::exchange(primero, false))
                o += QLatin1String(", ");
            columna(c);
        }
        for (const Restriccion& r : s.restricciones) {
            if (!std::exchange(primero, false))
                o += QLatin1String(", ");
            restriccion(r);
        }
    }

    void objetoYTop(const Sentencia& s)
    {
        if (s.top)
            top(*s.top, s.porcentaje);
        nombre(s.objeto);
        if (!s.alias.isEmpty())
            o += QLatin1String(" ALIAS ") + s.alias;
    }

    void asignaciones(const std::vector<Asignacion>& l)
    {
        for (size_t k = 0; k < l.size(); ++k) {
            if (k)
                o += QLatin1String(", ");
            nombre(l[k].columna);
            o += u' ' + l[k].operador + u' ';
            expr(*l[k].expr);
        }
    }

    void sentencia(const Sentencia& s)
    {
        ctes(s.con);
        switch (s.clase) {
        case ClaseSentencia::Select:
            select(*s.select);
            break;
        case ClaseSentencia::Insert:
            o += QLatin1String("INSERT ");
            nombre(s.objeto);
            if (!s.columnas.isEmpty())
                nombres(s.columnas);
            o += u' ';
            if (s.valoresPorDefecto)
                o += QLatin1String("DEFAULT VALUES");
            else if (s.select)
                select(*s.select);
            else if (!s.cuerpo.empty())
                sentencia(*s.cuerpo[0]);
            else
                filas(s.valores);
            break;
        case ClaseSentencia::Update:
            o += QLatin1String("UPDATE ");
            objetoYTop(s);
            o += QLatin1String(" SET ");
            asignaciones(s.asignaciones);
            desde(s.desde);
            donde(s.donde.get());
            break;
        case ClaseSentencia::Delete:
            o += QLatin1String("DELETE ");
            objetoYTop(s);
            desde(s.desde);
            donde(s.donde.get());
            break;
        case ClaseSentencia::CrearTabla:
            o += QLatin1String("CREATE TABLE ");
            nombre(s.objeto);
            o += QLatin1String(" (");
            elementos(s);
            o += u')';
            break;
        case ClaseSentencia::CrearVista:
            o += QLatin1String("CREATE VIEW ");
            nombre(s.objeto);
            if (!s.columnas.isEmpty())
                nombres(s.columnas);
            o += QLatin1String(" AS ");
            select(*s.select);
            break;
        case ClaseSentencia::CrearIndice:
            o += s.unico ? QLatin1String("CREATE UNIQUE INDEX ") : QLatin1String("CREATE INDEX ");
            nombre(s.indice);
            o += QLatin1String(" ON ");
            nombre(s.objeto);
            o += u'(';
            for (qsizetype k = 0; k < s.columnas.size(); ++k)
                o += (k ? QLatin1String(", ") : QLatin1String("")) + s.columnas[k] +
                     (s.columnasDesc[size_t(k)] ? QLatin1String(" DESC") : QLatin1String(""));
            o += u')';
            break;
        case ClaseSentencia::Eliminar:
            o += QLatin1String("DROP ") + s.claseObjeto + (s.siExiste ? QLatin1String(" IF EXISTS ") : QLatin1String(" "));
            for (size_t k = 0; k < s.objetos.size(); ++k) {
                if (k)
                    o += QLatin1String(", ");
                nombre(s.objetos[k]);
            }
            break;
        case ClaseSentencia::AlterarTabla:
            o += QLatin1String("ALTER TABLE ");
            nombre(s.objeto);
            o += u' ' + s.accion + u' ';
            if (s.siExiste)
                o += QLatin1String("IF EXISTS ");
            if (s.eliminadas.isEmpty())
                elementos(s);
            else
                o += s.eliminadas.join(QLatin1String(", "));
            break;
        case ClaseSentencia::Truncar:
            o += QLatin1String("TRUNCATE TABLE ");
            nombre(s.objeto);
            break;
        case ClaseSentencia::Transaccion:
            o += s.texto + QLatin1String(" TRAN");
            if (!s.valor.isEmpty())
                o += u' ' + s.valor;
            break;
        case ClaseSentencia::Opcion:
            o += QLatin1String("SET ") + s.texto + u' ' + s.valor;
            break;
        case ClaseSentencia::Declarar:
            o += QLatin1String("DECLARE ");
            for (size_t k = 0; k < s.declaraciones.size(); ++k) {
                const Declaracion& d = s.declaraciones[k];
                if (k)
                    o += QLatin1String(", ");
                o += d.variable + u' ';
                tipo(d.tipo);
                if (d.valor) {
                    o += QLatin1String(" = ");
                    expr(*d.valor);
                }
            }
            break;
        case ClaseSentencia::Asignar:
            o += QLatin1String("SET ");
            asignaciones(s.asignaciones);
            break;
        case ClaseSentencia::Si:
            o += QLatin1String("IF ");
            expr(*s.donde);
            o += QLatin1String(" THEN ");
            sentencia(*s.cuerpo[0]);
            if (s.cuerpo.size() > 1) {
                o += QLatin1String(" ELSE ");
                sentencia(*s.cuerpo[1]);
            }
            break;
        case ClaseSentencia::Bloque:
            o += QLatin1String("BEGIN ");
            sentencias(s.cuerpo, "; ");
            o += QLatin1String(" END");
            break;
        case ClaseSentencia::Retorno:
            o += QLatin1String("RETURN");
            if (s.donde) {
                o += u' ';
                expr(*s.donde);
            }
            break;
        case ClaseSentencia::Ejecutar:
            o += u'<' + s.texto + u'>';
            break;
        case ClaseSentencia::CrearDisparador:
            o += s.texto + QLatin1String(" TRIGGER ");
            nombre(s.indice);
            o += QLatin1String(" ON ");
            nombre(s.objeto);
            o += QLatin1String(" AFTER ") + s.eventos.join(QLatin1String(", "));
            if (!s.accion.isEmpty())
                o += QLatin1String(" <") + s.accion + u'>';
            o += QLatin1String(" AS ");
            sentencias(s.cuerpo, "; ");
            break;
        case ClaseSentencia::Otra:
            o += QLatin1String("CREATE ") + s.texto + QLatin1String(" <") + s.valor + u'>';
            break;
        }
    }
};

} // namespace

QString Volcar(const Lote& lote)
{
    Volcado v;
    v.sentencias(lote.sentencias, "\n");
    return v.o;
}

} // namespace tsql
