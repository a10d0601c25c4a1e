#include "diag/frm_msgbox.h"

#include "platform/operador.h"
#include "platform/twips.h"

#include <QElapsedTimer>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QThread>
#include <QTimer>

namespace {

using twips::px;

std::function<std::int64_t()>& relojFijado()
{
    static std::function<std::int64_t()> r;
    return r;
}

// A steady clock, so that a wait across midnight still ends.
std::int64_t ahora()
{
    if (const auto& r = relojFijado())
        return r();
    static const QElapsedTimer inicio = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return inicio.elapsed();
}

} // namespace

FrmMsgBox::FrmMsgBox(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Aviso al operador"));
    setFixedSize(px(6495), px(2055));

    const QStyle::StandardPixmap dibujos[5] = {QStyle::SP_MessageBoxCritical, QStyle::SP_MessageBoxInformation,
                                              QStyle::SP_MessageBoxQuestion, QStyle::SP_MessageBoxWarning,
                                              QStyle::SP_FileDialogInfoView};
    for (int i = 0; i < 5; ++i) {
        auto* img = new QLabel(this);
        img->setObjectName(QStringLiteral("Image1_%1").arg(i));
        img->setGeometry(px(120), px(240), px(1020), px(900));
        img->setAlignment(Qt::AlignCenter);
        img->setPixmap(style()->standardIcon(dibujos[i], nullptr, this).pixmap(48, 48));
        Image1[i] = img;
    }

    LblMensaje = new QLabel(QStringLiteral("Atencion!"), this);
    LblMensaje->setObjectName(QStringLiteral("LblMensaje"));
    LblMensaje->setGeometry(px(1440), px(120), px(4935), px(1095));
    LblMensaje->setWordWrap(true);
    LblMensaje->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    Line1->setGeometry(px(120), px(1290), px(6255), px(45));

    CmdAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    CmdAceptar->setObjectName(QStringLiteral("CmdAceptar"));
    CmdAceptar->setGeometry(px(2040), px(1440), px(3375), px(495));
    CmdAceptar->setDefault(true);
    connect(CmdAceptar, &QPushButton::clicked, this, &FrmMsgBox::CmdAceptar_Click);
}

int FrmMsgBox::IndiceImagen(int estilo)
{
    switch (estilo) {
    case 16: return 0;
    case 64: return 1;
    case 32: return 2;
    case 48: return 3;
    default: return 4;
    }
}

void FrmMsgBox::MuestraImagen(int estilo)
{
    for (auto* img : Image1)
        img->setVisible(false);
    Image1[IndiceImagen(estilo)]->setVisible(true);
}

void FrmMsgBox::ActualizarLeyenda()
{
    setWindowTitle(Titulo);
    LblMensaje->setText(Mensaje);
    LblMensaje->repaint();
}

void FrmMsgBox::CmdAceptar_Click() { accept(); }

void FrmMsgBox::FijaReloj(std::function<std::int64_t()> reloj) { relojFijado() = std::move(reloj); }

void FrmMsgBox::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!cargado_) {
        cargado_ = true;
        Form_Load();
    }
    // The countdown starts once the window is up and its event loop runs.
    QTimer::singleShot(0, this, &FrmMsgBox::Form_Activate);
}

void FrmMsgBox::Form_Load()
{
    if (const QScreen* pantalla = screen() ? screen() : QGuiApplication::primaryScreen()) {
        const QRect r = pantalla->geometry();
        move(r.x() + (r.width() - width()) / 2, r.y() + (r.height() - height()) / 2);
    }
    setWindowTitle(Titulo);
    LblMensaje->setText(Mensaje);
}

void FrmMsgBox::Form_Activate()
{
    // The waiting time was counted in 16-bit milliseconds: beyond 32 seconds
    // it overflowed and the box waited for the button, which is kept.
    if (Espera <= 0 || Espera > 32 || !isVisible())
        return;
    const std::int64_t plazo = ahora() + std::int64_t(Espera) * 1000;
    QPointer<FrmMsgBox> yo(this);
    while (ahora() < plazo) {
        operador().DoEvents();
        if (!yo || !yo->isVisible())
            return; // closed by the button meanwhile
        QThread::msleep(5);
    }
    hide();
}
