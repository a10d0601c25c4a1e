#include "db/db_dll.h"

#include "db/db_privado.h"

namespace {
DialogoParametros*& dialogo()
{
    static DialogoParametros* d = nullptr;
    return d;
}
std::unique_ptr<DB_Dll>& instancia(int i)
{
    static std::unique_ptr<DB_Dll> inst[3];
    return inst[i];
}
DB_Dll& creada(int i)
{
    auto& p = instancia(i);
    if (!p)
        p = std::make_unique<DB_Dll>();
    return *p;
}
} // namespace

void InstalaDialogoParametros(DialogoParametros* d) { dialogo() = d; }
DialogoParametros* DialogoParametrosInstalado() { return dialogo(); }

DB_Dll& DB() { return creada(0); }
DB_Dll& DBEstadisticas() { return creada(1); }
DB_Dll& DBConsulta() { return creada(2); }

void ReiniciaInstancias()
{
    for (int i = 0; i < 3; ++i)
        instancia(i).reset();
}

DB_Dll::DB_Dll() : p_(std::make_unique<Privado>()) {}
DB_Dll::~DB_Dll() = default;

DialogoArchivo& DB_Dll::CmdDlg()
{
    if (!p_->cmdDlg)
        p_->cmdDlg = std::make_unique<DialogoArchivo>();
    return *p_->cmdDlg;
}

ado::Recordset& DB_Dll::glrcs()
{
    if (!p_->glrcs)
        p_->glrcs = std::make_unique<ado::Recordset>();
    return *p_->glrcs;
}

void DB_Dll::setArchivoErrores(const Variant& v) { gLogErr = v.isNull() ? QString() : v.toString(); }
