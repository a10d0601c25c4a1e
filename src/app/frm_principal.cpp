#include "app/frm_principal.h"

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

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <unistd.h>

FrmPrincipal::FrmPrincipal(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Crear archivo para el verificador "));
    setWindowIcon(style()->standardIcon(QStyle::SP_DriveNetIcon));
    Label1 = new QLabel(QStringLiteral("Ruta:"), this);
    txtRuta = new QLineEdit(QStringLiteral("Text1"), this);
    txtRuta->setFont(QFont(QStringLiteral("Arial")));
    txtRuta->setToolTip(QStringLiteral("Selecione la carpeta compartida."));
    txtRuta->setObjectName(QStringLiteral("txtRuta"));
    Command2 = new QPushButton(QStringLiteral(".."), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setFixedWidth(32);
    Command1 = new QPushButton(QStringLiteral("Crear archivo."), this);
    Command1->setObjectName(QStringLiteral("Command1"));

    auto* l = new QGridLayout(this);
    l->addWidget(Label1, 0, 0);
    l->addWidget(txtRuta, 0, 1);
    l->addWidget(Command2, 0, 2);
    l->addWidget(Command1, 1, 1, 1, 2, Qt::AlignRight);
    setMinimumWidth(480);

    txtRuta->installEventFilter(this);
    connect(Command1, &QPushButton::clicked, this, [this] { Pulsado(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
}

FrmPrincipal::~FrmPrincipal()
{
    // A folder typed just before the window closed is still stored.
    if (guardadoPendiente_)
        GuardaRuta();
}

bool FrmPrincipal::eventFilter(QObject* objeto, QEvent* evento)
{
    // The box loses the focus while the mouse press that moved it elsewhere is
    // being delivered. Storing the folder there would let events run (the
    // database layer does) and hand the button its release before its press:
    // the click would be lost. The store runs once that press is delivered.
    if (objeto == txtRuta && evento->type() == QEvent::FocusOut && !guardadoPendiente_) {
        guardadoPendiente_ = true;
        QMetaObject::invokeMethod(this, [this] { GuardaRuta(); }, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(objeto, evento);
}

// The store and the export both let events run (the database layer does), so
// each may be asked for while the other is under way: it then runs right
// after it, never inside it.
void FrmPrincipal::GuardaRuta()
{
    if (!guardadoPendiente_ || exportando_)
        return;
    guardadoPendiente_ = false;
    guardando_ = true;
    txtRuta_LostFocus();
    guardando_ = false;
    if (exportacionPendiente_)
        Pulsado();
}

void FrmPrincipal::Pulsado()
{
    if (guardando_ || exportando_) {
        exportacionPendiente_ = true;
        return;
    }
    exportacionPendiente_ = false;
    exportando_ = true;
    Command1_Click();
    exportando_ = false;
    GuardaRuta();
    if (exportacionPendiente_)
        Pulsado();
}

void FrmPrincipal::Form_Load()
{
    EnlazaDialogos();
    Rutina r = Rutina::Omitir();
    r.paso([&] {
        QString parametros, cadena;
        std::int32_t cursor = ado::adUseClient;
        IniciarAplicacion(parametros, cadena, cursor);
    });
    r.paso([&] { txtRuta->setText(Cfg(QStringLiteral("RUTACOMPARTIDA_COLECTOR"))); });
    r.paso([&] {
        if (vb::Trim(txtRuta->text()).isEmpty())
            txtRuta->setText(QStringLiteral("C:\\Productos"));
    });
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
        if (!txtRuta->text().isEmpty()) {
            ruta = txtRuta->text() + QStringLiteral("\\productos.txt");
        } else {
            ruta = aplicacion::Carpeta() + QStringLiteral("\\productos.txt");
            txtRuta->setText(aplicacion::Carpeta());
        }
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
    r.paso([&] { EscribeProductos(rs, archivo->Salida()); });
    r.paso([&] { archivo->Confirma(); });
    archivo.reset(); // a temporary file left unconfirmed is removed
    if (r.salio()) {
        const QString mensaje =
            vb::Acota(QStringLiteral("No se pudo crear el archivo ") + vb::Acota(ruta) + QStringLiteral(": ") + MensajeError(falla), 1000);
        AgregaLineaRegistro(DB().RutaArchivoErrores(),
                            LineaRegistroErrores(QStringLiteral("Command1_Click"), mensaje, 0));
        if (glb::ParametroAdicional == u"1")
            fprintf(stderr, "%s\n", mensaje.toLocal8Bit().constData());
        else
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
    GrabaDfg(QStringLiteral("RUTACOMPARTIDA_COLECTOR"), Variant(vb::Trim(txtRuta->text())), {}, false, QStringLiteral("DATOS"), true,
             false);
}
