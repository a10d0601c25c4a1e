#include "platform/tsql/arbol.h"

namespace tsql {

Expr::~Expr()
{
    if (hijos.empty() && !operando && !sino)
        return;
    std::vector<PExpr> pendientes;
    auto suelta = [&pendientes](Expr& e) {
        for (PExpr& h : e.hijos)
            if (h)
                pendientes.push_back(std::move(h));
        e.hijos.clear();
        if (e.operando)
            pendientes.push_back(std::move(e.operando));
        if (e.sino)
            pendientes.push_back(std::move(e.sino));
    };
    suelta(*this);
    while (!pendientes.empty()) {
        PExpr e = std::move(pendientes.back());
        pendientes.pop_back();
        suelta(*e);
    }
}

} // namespace tsql
