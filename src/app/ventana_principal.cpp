#include "app/ventana_principal.h"

#include "app/frm_principal.h"
#include "platform/controles_ventana.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

VentanaPrincipal::VentanaPrincipal(FrmPrincipal& formulario, QWidget* parent) : QWidget(parent), formulario_(formulario)
{
    setWindowTitle(QStringLiteral("Crear archivo para el verificador "));
    setWindowIcon(style()->standardIcon(QStyle::SP_DriveNetIcon));
    Label1 = new QLabel(QStringLiteral("Ruta:"), this);
    txtRuta = new QLineEdit(formulario_.txtRuta->text(), this);
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

    EnlazaCaja(txtRuta, formulario_.txtRuta.get());
    txtRuta->installEventFilter(this);
    connect(Command1, &QPushButton::clicked, this, [this] { Pulsado(); });
    connect(Command2, &QPushButton::clicked, this, [this] { formulario_.Command2_Click(); });
}

VentanaPrincipal::~VentanaPrincipal()
{
    // A folder typed just before the window closed is still stored.
    if (guardadoPendiente_)
        GuardaRuta();
}

bool VentanaPrincipal::eventFilter(QObject* objeto, QEvent* evento)
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
void VentanaPrincipal::GuardaRuta()
{
    if (!guardadoPendiente_ || exportando_)
        return;
    guardadoPendiente_ = false;
    guardando_ = true;
    formulario_.txtRuta_LostFocus();
    guardando_ = false;
    if (exportacionPendiente_)
        Pulsado();
}

void VentanaPrincipal::Pulsado()
{
    if (guardando_ || exportando_) {
        exportacionPendiente_ = true;
        return;
    }
    exportacionPendiente_ = false;
    exportando_ = true;
    formulario_.Command1_Click();
    exportando_ = false;
    GuardaRuta();
    if (exportacionPendiente_)
        Pulsado();
}
