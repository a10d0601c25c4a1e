#include "app/enlaces.h"

#include "access/frm_acceso.h"
#include "lookup/lib_clscons3.h"
#include "shell/mod_global.h"

void EnlazaDialogos()
{
    // Missing or refused connection data are asked in the access dialog.
    InstalaDialogoAcceso();
    // "N&uevo" of the lookups starts the sibling program that keeps the table.
    InstalaLanzador([](const QString& programa, QString& parametro, std::int32_t& tarea) { MenuExes(programa, parametro, tarea); });
}
