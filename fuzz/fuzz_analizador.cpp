// Any text given to the T-SQL parser: it returns a tree or raises ErrorTsql
// with the server's text, never more; every literal of the tree is the text
// of the batch at its position, and the tree's dump grows at most linearly.
#include "comprueba.h"
#include "platform/tsql/analizador.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

using namespace tsql;

class Literales {
public:
    explicit Literales(const QString& lote) : lote_(lote) {}

    void sentencia(const Sentencia& s)
    {
        ctes(s.con);
        if (s.select)
            select(*s.select);
        expr(s.top.get());
        expr(s.donde.get());
        for (const auto& fila : s.valores)
            exprs(fila);
        for (const Asignacion& a : s.asignaciones)
            expr(a.expr.get());
        desdes(s.desde);
        for (const DefColumna& c : s.definiciones) {
            expr(c.defecto.get());
            expr(c.chequeo.get());
        }
        for (const Restriccion& r : s.restricciones)
            expr(r.expr.get());
        for (const Declaracion& d : s.declaraciones)
            expr(d.valor.get());
        for (const PSentencia& c : s.cuerpo)
            sentencia(*c);
    }

private:
    // Operator chains are as deep as they are long: walked with a stack.
    void expr(const Expr* raiz)
    {
        std::vector<const Expr*> pila{raiz};
        while (!pila.empty()) {
            const Expr* e = pila.back();
            pila.pop_back();
            if (!e)
                continue;
            if (e->clase == ClaseExpr::Literal)
                COMPRUEBA(lote_.mid(e->pos, e->texto.size()) == e->texto);
            for (const PExpr& h : e->hijos)
                pila.push_back(h.get());
            pila.push_back(e->operando.get());
            pila.push_back(e->sino.get());
            if (e->sub)
                select(*e->sub);
            if (e->ventana) {
                exprs(e->ventana->particion);
                ordenes(e->ventana->orden);
            }
        }
    }
    void exprs(const std::vector<PExpr>& l)
    {
        for (const PExpr& e : l)
            expr(e.get());
    }
    void ordenes(const std::vector<Orden>& l)
    {
        for (const Orden& o : l)
            expr(o.expr.get());
    }
    void ctes(const std::vector<Cte>& l)
    {
        for (const Cte& c : l)
            select(*c.select);
    }
    void fuente(const Fuente& f)
    {
        if (f.sub)
            select(*f.sub);
        for (const auto& fila : f.valores)
            exprs(fila);
        exprs(f.argumentos);
    }
    void desdes(const std::vector<Desde>& l)
    {
        for (const Desde& d : l) {
            fuente(d.fuente);
            for (const Union& u : d.uniones) {
                fuente(u.fuente);
                expr(u.on.get());
            }
        }
    }
    void select(const Select& s)
    {
        ctes(s.con);
        expr(s.top.get());
        for (const ItemSelect& i : s.lista)
            expr(i.expr.get());
        desdes(s.desde);
        expr(s.donde.get());
        exprs(s.grupo);
        expr(s.teniendo.get());
        for (const Select::Combinada& c : s.combinadas)
            select(*c.select);
        ordenes(s.orden);
        expr(s.offset.get());
        expr(s.fetch.get());
    }

    const QString& lote_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString texto = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    Lote lote;
    try {
        lote = Analizar(texto);
    } catch (const ErrorTsql& e) {
        COMPRUEBA(!e.mensaje.isEmpty());
        return 0;
    }
    Literales literales(texto);
    for (const PSentencia& s : lote.sentencias)
        literales.sentencia(*s);
    COMPRUEBA(Volcar(lote).size() <= 8 * texto.size() + 64);
    return 0;
}
