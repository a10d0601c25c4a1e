#include "app/enlaces.h"

#include "access/frm_acceso.h"
#include "db/db_dll.h"
#include "lookup/lib_clscons3.h"
#include "shell/mod_global.h"
#include "startup/iniciar_aplicacion.h"


namespace {

// A further sign-on try: the access dialog filled with what failed.
bool PideAccesoOtraVez(inicio::DatosAcceso& datos)
{
    frmAcceso f;
    if (!f.Pide(datos.base, datos.servidor, datos.usuario, datos.clave))
        return false;
    // Accepting registers the first connection of a machine, which leaves the
    // shared connection closed; the sign-on check needs it open.
    DB_Dll& db = DB();
    if (db.gCnn->State() == ado::adStateClosed)
        db.OpenServerADODB(false, ado::adUseClient, {}, true, true);
    datos = {f.TxtUserId->text(), f.TxtUserPassword->text(), f.TxtServidor->text(), f.TxtDbName->text()};
    return true;
}

} // namespace

void EnlazaDialogos()
{
    // Missing or refused connection data are asked in the access dialog.
    InstalaDialogoAcceso();
    inicio::PideAccesoOtraVez = PideAccesoOtraVez;
    // "N&uevo" of the lookups starts the sibling program that keeps the table.
    InstalaLanzador([](const QString& programa, QString& parametro, std::int32_t& tarea) { MenuExes(programa, parametro, tarea); });
}
