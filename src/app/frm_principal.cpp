#include "app/frm_principal.h"

#include "app/avance.h"
#include "app/enlaces.h"
#include "app/productos.h"
#include "app/reemplazo_archivo.h"
#include "config/configuracion.h"
#include "db/db_dll.h"
#include "db/globales.h"
#include "db/registro_errores.h"
#include "diag/msg_temporal.h"
#include "platform/aplicacion.h"
#include "platform/archivos.h"
#include "platform/errores.h"
#include "platform/operador.h"
#include "platform/rutas.h"
#include "platform/vb.h"
#include "startup/iniciar_aplicacion.h"

#include <functional>
#include <unistd.h>

FrmPrincipal::FrmPrincipal() : txtRuta(std::make_unique<CajaTexto>(QStringLiteral("Text1"))) {}

FrmPrincipal::~FrmPrincipal() = default;

void FrmPrincipal::Form_Load()
{
    EnlazaDialogos();
    Rutina r = Rutina::Omitir();
    r.paso([&] {
        QString parametros, cadena;
        std::int32_t cursor = ado::adUseClient;
        IniciarAplicacion(parametros, cadena, cursor);
    });
    r.paso([&] { txtRuta->setText(CarpetaProductos()); });
    if (glb::ParametroAdicional == u"1") {
        bool ok = false;
        r.paso([&] { ok = Command1_Click(); });
        aplicacion::Terminar(ok ? EXIT_SUCCESS : EXIT_FAILURE);
    }
}

bool FrmPrincipal::Command1_Click()
{
    QString sql = ConsultaProductos();
    QString ruta;
    VbError falla;
    Rutina r([&](const VbError& e) {
        falla = e;
        return Accion::Salir;
    });
    r.paso([&] {
        if (txtRuta->text().isEmpty())
            txtRuta->setText(aplicacion::Carpeta());
        // The box's text as typed, a trailing separator doubled as on Windows.
        ruta = txtRuta->text() + rutas::Separador(txtRuta->text()) + QStringLiteral("productos.txt");
    });
    r.paso([&] {
        if (!rutas::ExisteCarpeta(txtRuta->text()))
            rutas::CreaCarpeta(txtRuta->text());
    });
    // The new content goes to a file of its own and replaces the old one only
    // when complete: the price checker never reads a missing or half file.
    std::unique_ptr<ReemplazoArchivo> archivo;
    r.paso([&] { archivo = std::make_unique<ReemplazoArchivo>(ruta); });
    ado::Recordset rs;
    r.paso([&] {
        DB().AbrirRecordset(sql, rs, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true);
        if (rs.State() != ado::adStateOpen)
            Raise(ado::adErrObjectClosed, QStringLiteral("No se pudo leer la lista de articulos."));
    });
    {
        // Gone before any notice shows.
        AvanceExportacion avance;
        r.paso([&] { avance.Termina(EscribeProductos(rs, archivo->Salida(), std::ref(avance))); });
    }
    r.paso([&] { archivo->Confirma(); });
    archivo.reset(); // a temporary file left unconfirmed is removed
    if (r.salio()) {
        const QString mensaje =
            vb::Acota(QStringLiteral("No se pudo crear el archivo ") + vb::Acota(ruta) + QStringLiteral(": ") + MensajeError(falla), 1000);
        AgregaLineaRegistro(DB().RutaArchivoErrores(),
                            LineaRegistroErrores(QStringLiteral("Command1_Click"), mensaje, 0));
        if (glb::ParametroAdicional == u"1") {
            fprintf(stderr, "%s\n", TextoDeTerminal(mensaje).toLocal8Bit().constData());
            for (const QString& linea : rutas::RutasReales(mensaje))
                fprintf(stderr, "%s\n", TextoDeTerminal(linea).toLocal8Bit().constData());
        } else
            operador().MsgBox(mensaje, estilo::Critical, QStringLiteral("Aviso al operador"));
        return false;
    }
    MsgTemporal(QStringLiteral("Exportado con exito, se guardo en ") + ruta, 0, QStringLiteral("Aviso al operador"), 0);
    return true;
}

void FrmPrincipal::Command2_Click()
{
    Rutina r = Rutina::Omitir();
    QString carpeta;
    bool elegida = false;
    // The browser starts where the box's folder really is, when it exists.
    r.paso([&] {
        if (rutas::ExisteCarpeta(txtRuta->text()))
            carpeta = rutas::Resolver(txtRuta->text());
    });
    r.paso([&] { elegida = operador().ElegirCarpeta(QStringLiteral("Buscar Carpeta de imagenes"), carpeta); });
    if (!elegida || carpeta.isEmpty())
        return;
    r.paso([&] { txtRuta->setText(carpeta); });
    r.paso([&] { txtRuta_LostFocus(); });
}

void FrmPrincipal::txtRuta_LostFocus()
{
    GrabaDfg(kClaveCarpetaProductos, Variant(vb::Trim(txtRuta->text())), {}, false, QStringLiteral("DATOS"), true,
             false);
}
