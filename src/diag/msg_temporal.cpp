#include "diag/msg_temporal.h"

#include "diag/frm_msgbox.h"
#include "platform/errores.h"
#include "platform/operador.h"
#include "platform/rutas.h"

#include <memory>

void MsgTemporal(const QString& Mensaje, std::int16_t Boton, const QString& Titulo, std::int16_t Espera)
{
    if (!operador().TieneVentanas()) {
        operador().Aviso(Mensaje, Boton, Titulo, Espera);
        return;
    }
    auto r = Rutina::Omitir();
    std::unique_ptr<FrmMsgBox> frm;
    r.paso([&] {
        frm = std::make_unique<FrmMsgBox>();
        frm->Mensaje = Mensaje;
        // As the terminal does: a mapped Windows path also shows where it really is.
        for (const QString& linea : rutas::RutasReales(Mensaje))
            frm->Mensaje += u'\n' + linea;
        frm->Titulo = Titulo;
        frm->Espera = Espera;
    });
    r.paso([&] {
        if (frm)
            frm->MuestraImagen(Boton);
    });
    r.paso([&] {
        if (frm)
            frm->exec();
    });
    // The next notice starts from a freshly loaded window.
    frm.reset();
}
