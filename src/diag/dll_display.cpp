#include "diag/dll_display.h"

#include "platform/errores.h"
#include "platform/operador.h"
#include "platform/vb.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <cmath>
#include <unistd.h>

namespace {

// Design sizes are in twips; 15 twips make a pixel at 96 dots per inch.
constexpr int PorPixel = 15;
QRect Pixeles(int izquierda, int arriba, int ancho, int alto)
{
    return {izquierda / PorPixel, arriba / PorPixel, ancho / PorPixel, alto / PorPixel};
}

const QString kCancelar = QStringLiteral("&Cancelar");
const QString kAbortado = QStringLiteral("Abortado");

int salidaConsola = STDERR_FILENO;

} // namespace

Lbf_CtrlDisplay::Lbf_CtrlDisplay() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowTitle(QStringLiteral("Procesando Datos"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    for (int i = 0; i < 3; ++i) {
        LblCtrol[i] = new QLabel(this);
        LblCtrol[i]->setGeometry(Pixeles(0, 120 + 360 * i, 7815, 290));
        LblCtrol[i]->setAlignment(Qt::AlignCenter);
    }
    Image1 = new QLabel(this);
    Image1->setGeometry(Pixeles(3480, 1320, 1095, 975));
    Image1->setAlignment(Qt::AlignCenter);
    CmdDisplayCancelar = new QPushButton(kCancelar, this);
    CmdDisplayCancelar->setGeometry(Pixeles(3120, 2400, 1695, 375));
    connect(CmdDisplayCancelar, &QPushButton::clicked, this, [this] { CmdDisplayCancelar_Click(); });
    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    Form_Load();
}

void Lbf_CtrlDisplay::Form_Load()
{
    Rutina r = Rutina::Omitir();
    // The client area alone, the title bar and borders left out.
    r.paso([&] { resize(Pixeles(0, 0, 7815, 2895).size()); });
    r.paso([&] {
        if (QScreen* pantalla = QGuiApplication::primaryScreen())
            move(pantalla->availableGeometry().center() - rect().center());
    });
    r.paso([&] { CmdDisplayCancelar->setText(kCancelar); });
    r.paso([&] { MuestraCuadro(1); });
    // Uniformly translucent; where the platform refuses it the banner is simply opaque.
    r.paso([&] { setWindowOpacity(Opacidad / 255.0); });
    r.paso([&] { Timer1->start(); });
}

QPixmap Lbf_CtrlDisplay::Cuadro(int n)
{
    const QSize tam = Pixeles(0, 0, 1095, 975).size();
    QPixmap p(tam);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.translate(tam.width() / 2.0, tam.height() / 2.0);
    const double radio = std::min(tam.width(), tam.height()) / 2.0 - 2;
    // Twelve spokes; the one of the frame is the darkest, the ones behind it fade.
    for (int i = 0; i < Cuadros; ++i) {
        const int atras = (n - 1 - i + Cuadros) % Cuadros;
        QColor c(30, 80, 160);
        c.setAlpha(255 - atras * 18);
        g.setPen(QPen(c, std::max(2.0, radio / 6), Qt::SolidLine, Qt::RoundCap));
        const double a = 2 * M_PI * i / Cuadros - M_PI / 2;
        g.drawLine(QPointF(std::cos(a) * radio * 0.45, std::sin(a) * radio * 0.45),
                   QPointF(std::cos(a) * radio, std::sin(a) * radio));
    }
    return p;
}

void Lbf_CtrlDisplay::MuestraCuadro(int n)
{
    cuadro_ = n;
    Image1->setPixmap(Cuadro(n));
}

void Lbf_CtrlDisplay::Timer1_Timer()
{
    ++Contador;
    MuestraCuadro(Contador);
    if (Contador == Cuadros)
        Contador = 0;
}

void Lbf_CtrlDisplay::CmdDisplayCancelar_Click() { CmdDisplayCancelar->setText(kAbortado); }

struct Dll_Display::Privado {
    QPointer<Lbf_CtrlDisplay> ventana;
    // Console mode.
    QString titulo;
    std::array<QString, 3> lineas;
    QString escrita;

    bool conVentanas() const { return operador().TieneVentanas(); }

    Lbf_CtrlDisplay* carga()
    {
        if (!ventana && conVentanas())
            ventana = new Lbf_CtrlDisplay;
        return ventana;
    }

    void escribeEstado()
    {
        if (!::isatty(salidaConsola))
            return;
        QStringList partes;
        for (const QString& l : lineas)
            if (!vb::EnBlanco(l))
                partes << vb::Trim(l);
        QString linea = titulo;
        if (!partes.isEmpty())
            linea += (linea.isEmpty() ? QString() : QStringLiteral(": ")) + partes.join(QStringLiteral(" - "));
        linea = vb::Acota(linea, 200);
        if (linea.isEmpty() || linea == escrita)
            return;
        escrita = linea;
        const QByteArray b = (linea + u'\n').toLocal8Bit();
        [[maybe_unused]] const auto n = ::write(salidaConsola, b.constData(), size_t(b.size()));
    }
};

Dll_Display::Dll_Display() : p_(std::make_unique<Privado>()) {}

Dll_Display::~Dll_Display()
{
    // The run-wide banner outlives the application object: then the window is gone already.
    if (p_->ventana && QCoreApplication::instance())
        delete p_->ventana.data();
}

Lbf_CtrlDisplay* Dll_Display::Ventana() const { return p_->ventana; }

void Dll_Display::FijaSalidaConsola(int descriptor) { salidaConsola = descriptor; }

void Dll_Display::CartelInicio(const QString& Titulo, bool PermiteCancelar)
{
    Rutina r = Rutina::Omitir();
    Lbf_CtrlDisplay* v = p_->carga();
    if (!v) {
        p_->titulo = Titulo;
        return;
    }
    r.paso([&] { v->setWindowTitle(Titulo); });
    r.paso([&] { v->CmdDisplayCancelar->setVisible(PermiteCancelar); });
    r.paso([&] { v->show(); });
}

void Dll_Display::CartelMostrar(bool& Cancelado, const std::optional<Variant>& L1, const std::optional<Variant>& l2,
                                const std::optional<Variant>& l3)
{
    const std::optional<Variant>* dadas[3] = {&L1, &l2, &l3};
    Lbf_CtrlDisplay* v = p_->carga();
    for (int i = 0; i < 3; ++i) {
        if (!*dadas[i])
            continue;
        const Variant& valor = **dadas[i];
        const QString texto = valor.isNull() ? QString() : valor.toString();
        if (v)
            v->LblCtrol[i]->setText(texto);
        else
            p_->lineas[i] = texto;
    }
    if (v) {
        v->repaint();
        Cancelado = v->CmdDisplayCancelar->text() == kAbortado;
    } else {
        Cancelado = false;
        p_->escribeEstado();
    }
    operador().DoEvents();
}

void Dll_Display::CartelCerrar()
{
    Rutina r = Rutina::Omitir();
    Lbf_CtrlDisplay* v = p_->carga();
    if (v) {
        r.paso([&] { v->hide(); });
        r.paso([&] { delete v; });
    }
    p_->ventana = nullptr;
    p_->titulo.clear();
    p_->lineas = {};
    p_->escrita.clear();
}

void Dll_Display::setSiempre_Visible(bool valor)
{
    Lbf_CtrlDisplay* v = p_->carga();
    if (!v)
        return;
    const bool visible = v->isVisible();
    const QRect geometria = v->geometry();
    v->setWindowFlag(Qt::WindowStaysOnTopHint, valor);
    v->setGeometry(geometria);
    if (visible)
        v->show();
}

Dll_Display& Cartel()
{
    static Dll_Display cartel;
    return cartel;
}
