#include "access/ventana_acceso.h"

#include "access/frm_acceso.h"
#include "platform/controles_ventana.h"
#include "platform/twips.h"
#include "platform/vb.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

using twips::px;

namespace {

QLabel* Etiqueta(QWidget* padre, const QString& texto, int x, int y, int ancho, int alto)
{
    auto* l = new QLabel(texto, padre);
    l->setGeometry(px(x), px(y), px(ancho), px(alto));
    return l;
}

QLineEdit* Caja(QWidget* padre, const char* nombre, const QString& ayuda, int x, int y, int ancho)
{
    auto* t = new QLineEdit(padre);
    t->setObjectName(QString::fromLatin1(nombre));
    t->setToolTip(ayuda);
    t->setGeometry(px(x), px(y), px(ancho), px(315));
    return t;
}

QPushButton* Boton(QWidget* padre, const char* nombre, const QString& texto, int x, int y, int ancho, int alto)
{
    auto* b = new QPushButton(texto, padre);
    b->setObjectName(QString::fromLatin1(nombre));
    b->setGeometry(px(x), px(y), px(ancho), px(alto));
    // Enter walks the boxes; it must never press a button on its way.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

} // namespace

VentanaAcceso::VentanaAcceso(frmAcceso& formulario, QWidget* parent) : QDialog(parent), formulario_(formulario)
{
    setObjectName(QStringLiteral("frmAcceso"));
    setWindowTitle(QStringLiteral("Control de Acceso"));
    setFixedSize(px(7560), px(4800));

    Label1[0] = Etiqueta(this, QStringLiteral("Control de Acceso"), 240, 120, 7080, 480);
    QFont titulo = Label1[0]->font();
    titulo.setPointSize(titulo.pointSize() + 6);
    titulo.setBold(true);
    Label1[0]->setFont(titulo);

    framAcceso = new QFrame(this);
    framAcceso->setObjectName(QStringLiteral("framAcceso"));
    framAcceso->setFrameShape(QFrame::StyledPanel);
    framAcceso->setGeometry(px(240), px(720), px(4200), px(3240));
    Label1[1] = Etiqueta(framAcceso, QStringLiteral("AUTENTICACION"), 120, 90, 3000, 285);
    QFont negrita = Label1[1]->font();
    negrita.setBold(true);
    Label1[1]->setFont(negrita);

    Etiqueta(framAcceso, QStringLiteral("Usuario"), 120, 540, 1320, 285);
    TxtUserId = Caja(framAcceso, "TxtUserId", QStringLiteral("Ingrese el nombre de usuario"), 1440, 510, 2640);
    Etiqueta(framAcceso, QStringLiteral("Contraseña"), 120, 960, 1320, 285);
    TxtUserPassword = Caja(framAcceso, "TxtUserPassword", QStringLiteral("Ingrese la contraseña"), 1440, 930, 2640);
    TxtUserPassword->setEchoMode(QLineEdit::Password);
    TxtUserPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    Etiqueta(framAcceso, QStringLiteral("Base de datos"), 120, 1380, 1320, 285);
    TxtDbName = Caja(framAcceso, "TxtDbName", QStringLiteral("ingrese el nombre de la base de datos"), 1440, 1350, 2640);
    Etiqueta(framAcceso, QStringLiteral("Servidor"), 120, 1800, 1320, 285);
    TxtServidor = Caja(framAcceso, "TxtServidor", QStringLiteral("ingrese el nombre del servidor e instancia"), 1440, 1770, 1800);
    TxtPuerto = Caja(framAcceso, "TxtPuerto", QStringLiteral("Ingrese el Puerto "), 3300, 1770, 780);
    Etiqueta(framAcceso, QStringLiteral("Plataforma"), 120, 2220, 1320, 285);
    CboPlataformaDB = new QComboBox(framAcceso);
    CboPlataformaDB->setObjectName(QStringLiteral("CboPlataformaDB"));
    CboPlataformaDB->addItems(formulario_.CboPlataformaDB->items());
    CboPlataformaDB->setCurrentIndex(formulario_.CboPlataformaDB->currentIndex());
    CboPlataformaDB->setGeometry(px(1440), px(2190), px(2640), px(345));

    bcAceptar = Boton(framAcceso, "bcAceptar", QStringLiteral("Conectar"), 1440, 2700, 1275, 405);
    bcCancelar = Boton(framAcceso, "bcCancelar", QStringLiteral("Cancelar"), 2805, 2700, 1275, 405);

    Label1[2] = Etiqueta(this, QStringLiteral("Conexiones registradas"), 4680, 750, 2640, 285);
    Label1[2]->setFont(negrita);
    lstBases = new QListWidget(this);
    lstBases->setObjectName(QStringLiteral("lstBases"));
    lstBases->setGeometry(px(4680), px(1080), px(2640), px(2010));
    CmdRegistrar = Boton(this, "CmdRegistrar", QStringLiteral("Registrar"), 4680, 3150, 2640, 375);
    CmdLineaComando = Boton(this, "CmdLineaComando", QStringLiteral("Crear Acceso Directo"), 4680, 3585, 2640, 375);

    Label7 = Etiqueta(this, QStringLiteral("TORVO NET"), 240, 4140, 4200, 420);
    Label7->setObjectName(QStringLiteral("Label7"));
    QFont marca = Label7->font();
    marca.setPointSize(marca.pointSize() + 4);
    marca.setBold(true);
    Label7->setFont(marca);
    Label8 = Etiqueta(this, frmAcceso::DireccionWeb(), 4680, 4200, 2640, 285);
    Label8->setObjectName(QStringLiteral("Label8"));
    Label8->setCursor(Qt::PointingHandCursor);
    Label8->setStyleSheet(QStringLiteral("color: #0000c0; text-decoration: underline;"));
    Label8->installEventFilter(this);

    // Centred on the screen, as the form is when loaded.
    if (const QScreen* pantalla = QGuiApplication::primaryScreen()) {
        const QRect r = pantalla->geometry();
        move(r.x() + (r.width() - width()) / 2, r.y() + (r.height() - height()) / 2);
    }

    Sigue(TxtUserId, formulario_.TxtUserId.get());
    Sigue(TxtUserPassword, formulario_.TxtUserPassword.get());
    Sigue(TxtDbName, formulario_.TxtDbName.get());
    Sigue(TxtServidor, formulario_.TxtServidor.get());
    Sigue(TxtPuerto, formulario_.TxtPuerto.get());
    for (QLineEdit* t : {TxtUserId, TxtUserPassword, TxtDbName, TxtServidor})
        t->installEventFilter(this);
    for (QPushButton* b : {bcAceptar, bcCancelar, CmdRegistrar, CmdLineaComando})
        b->installEventFilter(this);
    connect(&formulario_, &frmAcceso::ayudaPuesta, this, [this](CajaTexto* valor) {
        if (QLineEdit* caja = cajas_.value(valor))
            MuestraAyuda(caja, true);
    });

    SigueLista();
    connect(formulario_.lstBases.get(), &ListaTexto::itemsChanged, this, [this] { SigueLista(); });
    connect(formulario_.lstBases.get(), &ListaTexto::currentChanged, this, [this](int fila) {
        siguiendoLista_ = true;
        lstBases->setCurrentRow(fila);
        siguiendoLista_ = false;
    });
    connect(lstBases, &QListWidget::currentRowChanged, this, [this](int fila) {
        if (!siguiendoLista_)
            formulario_.lstBases->setCurrentRow(fila);
    });
    connect(lstBases, &QListWidget::itemClicked, this, [this] { formulario_.AsignarDatosBase(); });
    connect(lstBases, &QListWidget::itemDoubleClicked, this, [this] {
        formulario_.AsignarDatosBase();
        formulario_.bcAceptar_Click();
    });
    connect(CboPlataformaDB, &QComboBox::currentIndexChanged, this,
            [this](int i) { formulario_.CboPlataformaDB->setCurrentIndex(i); });
    connect(formulario_.CboPlataformaDB.get(), &ListaTexto::currentChanged, this, [this](int i) {
        if (CboPlataformaDB->currentIndex() != i)
            CboPlataformaDB->setCurrentIndex(i);
    });

    connect(bcAceptar, &QPushButton::clicked, this, [this] { formulario_.bcAceptar_Click(); });
    connect(bcCancelar, &QPushButton::clicked, this, [this] { formulario_.bcCancelar_Click(); });
    connect(CmdRegistrar, &QPushButton::clicked, this, [this] { formulario_.CmdRegistrar_Click(); });
    connect(CmdLineaComando, &QPushButton::clicked, this, [this] { formulario_.CmdLineaComando_Click(); });
    connect(&formulario_, &frmAcceso::ocultado, this, [this] {
        hide();
        if (isModal())
            done(formulario_.Aceptar ? QDialog::Accepted : QDialog::Rejected);
    });
    // Hiding ends the modal loop once the handler that asked is over; the
    // result tells the caller to show the window again.
    connect(&formulario_, &frmAcceso::ocultar, this, [this] {
        setResult(Reaparece);
        hide();
    });
    // Closing through the title bar is a refusal.
    connect(this, &QDialog::rejected, this, [this] { formulario_.Aceptar = false; });
}

VentanaAcceso::~VentanaAcceso() = default;

// The box shows the form's value and hands on what is typed. The form may
// answer a change by putting its hint in: the box then takes the value the
// form ends with, not the one it was told of first.
void VentanaAcceso::Sigue(QLineEdit* caja, CajaTexto* valor)
{
    cajas_.insert(valor, caja);
    EnlazaCaja(caja, valor);
    // A hint put in before the window was built: its colour, and its
    // selection while the box still shows it.
    if (formulario_.ConAyuda(valor))
        MuestraAyuda(caja, caja->text() == formulario_.TextoAyuda(valor));
}

// The hint's colour, and the hint selected so that typing replaces it.
void VentanaAcceso::MuestraAyuda(QLineEdit* caja, bool selecciona)
{
    QPalette p = caja->palette();
    p.setColor(QPalette::Text, QColor(2, 0, 0));
    caja->setPalette(p);
    if (selecciona)
        caja->setSelection(0, int(vb::Trim(caja->text()).size()));
    caja->update();
}

void VentanaAcceso::SigueLista()
{
    siguiendoLista_ = true;
    lstBases->clear();
    lstBases->addItems(formulario_.lstBases->items());
    lstBases->setCurrentRow(formulario_.lstBases->currentRow());
    siguiendoLista_ = false;
}

bool VentanaAcceso::eventFilter(QObject* objeto, QEvent* evento)
{
    if (evento->type() == QEvent::MouseButtonRelease && objeto == Label8) {
        formulario_.Label8_Click();
        return false;
    }
    if (evento->type() == QEvent::FocusIn) {
        if (objeto == TxtUserId)
            formulario_.MensajeInicial(formulario_.TxtUserId.get());
        // A click that gave the focus places the caret after this, and a key
        // typed on a display clears the selection of the box Enter moved to:
        // a box still showing its hint has it selected again once that is
        // over, so that typing replaces it.
        auto* caja = qobject_cast<QLineEdit*>(objeto);
        if (const CajaTexto* valor = caja ? cajas_.key(caja, nullptr) : nullptr)
            QTimer::singleShot(0, this, [this, caja, valor] {
                const QString hint = formulario_.TextoAyuda(valor);
                if (caja->hasFocus() && !hint.isEmpty() && caja->text() == hint && formulario_.ConAyuda(valor))
                    caja->setSelection(0, int(vb::Trim(hint).size()));
            });
    }
    if (evento->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(evento);
        // Enter presses the focused button, as the platform's buttons do;
        // the boxes' Enter never reaches one, it only moves the focus.
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && !k->isAutoRepeat()) {
            if (auto* b = qobject_cast<QPushButton*>(objeto)) {
                b->click();
                return true;
            }
        }
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            if (objeto == TxtUserId)
                TxtUserPassword->setFocus();
            else if (objeto == TxtUserPassword)
                TxtDbName->setFocus();
            else if (objeto == TxtDbName)
                TxtServidor->setFocus();
            else if (objeto == TxtServidor)
                bcAceptar->setFocus();
        }
    }
    return QDialog::eventFilter(objeto, evento);
}

// Escape has no meaning here: only "Cancelar" and the title bar refuse.
void VentanaAcceso::keyPressEvent(QKeyEvent* evento)
{
    if (evento->key() == Qt::Key_Escape) {
        evento->accept();
        return;
    }
    QDialog::keyPressEvent(evento);
}
