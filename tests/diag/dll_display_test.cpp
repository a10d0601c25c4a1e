// The progress banner: its window under Qt's offscreen platform, and its
// status line in console mode.
#include "diag/dll_display.h"
#include "platform/operador.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

namespace {

class Cartel : public ::testing::Test {
protected:
    void SetUp() override { previo_ = instalaOperador(crearOperadorQt()); }
    void TearDown() override
    {
        cartel.CartelCerrar();
        instalaOperador(std::move(previo_));
    }

    QStringList Lineas() const
    {
        QStringList r;
        for (QLabel* l : cartel.Ventana()->LblCtrol)
            r << l->text();
        return r;
    }

    Dll_Display cartel;
    std::unique_ptr<Operador> previo_;
};

TEST_F(Cartel, LineasDadasAusentesYNulas)
{
    bool cancelado = true;
    // Before CartelInicio: loaded and filled, not shown.
    cartel.CartelMostrar(cancelado, Variant(u"uno"), Variant(u"dos"), Variant(u"tres"));
    ASSERT_NE(cartel.Ventana(), nullptr);
    EXPECT_FALSE(cartel.Ventana()->isVisible());
    EXPECT_FALSE(cancelado);
    EXPECT_EQ(Lineas(), (QStringList{u"uno"_qs, u"dos"_qs, u"tres"_qs}));

    cartel.CartelInicio(QStringLiteral("Conectando Base de Datos"), false);
    Lbf_CtrlDisplay* v = cartel.Ventana();
    EXPECT_TRUE(v->isVisible());
    EXPECT_EQ(v->windowTitle(), u"Conectando Base de Datos"_qs);
    EXPECT_FALSE(v->CmdDisplayCancelar->isVisible());

    cartel.CartelMostrar(cancelado, std::nullopt, std::nullopt, Variant(u"solo la tercera"));
    EXPECT_EQ(Lineas(), (QStringList{u"uno"_qs, u"dos"_qs, u"solo la tercera"_qs}));
    cartel.CartelMostrar(cancelado, Variant::Null(), Variant(std::int32_t(42)));
    EXPECT_EQ(Lineas(), (QStringList{QString(), u"42"_qs, u"solo la tercera"_qs}));
    cartel.CartelMostrar(cancelado);
    EXPECT_EQ(Lineas(), (QStringList{QString(), u"42"_qs, u"solo la tercera"_qs}));
    EXPECT_FALSE(cancelado);
    EXPECT_EQ(cartel.Ventana(), v); // the same window throughout
}

TEST_F(Cartel, VentanaSinMarcoTranslucidaCentradaYAnimada)
{
    cartel.CartelInicio(QStringLiteral("T"), true);
    Lbf_CtrlDisplay* v = cartel.Ventana();
    ASSERT_NE(v, nullptr);
    EXPECT_TRUE(v->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_NEAR(v->windowOpacity(), 200.0 / 255.0, 0.01);
    const QRect pantalla = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((v->geometry().center() - pantalla.center()).manhattanLength(), 2);
    EXPECT_TRUE(v->CmdDisplayCancelar->isVisible());
    EXPECT_EQ(v->CmdDisplayCancelar->text(), u"&Cancelar"_qs);
    EXPECT_EQ(v->Timer1->interval(), 100);

    // Frames 1, 2, ..., 12, 1: after twelve ticks frame 12, the thirteenth shows frame 1.
    EXPECT_EQ(v->CuadroMostrado(), 1);
    for (int i = 1; i <= 12; ++i) {
        v->Timer1_Timer();
        EXPECT_EQ(v->CuadroMostrado(), i);
    }
    EXPECT_EQ(v->Contador, 0);
    v->Timer1_Timer();
    EXPECT_EQ(v->CuadroMostrado(), 1);
    // Twelve different pictures, drawn by the program.
    QSet<QByteArray> distintos;
    for (int n = 1; n <= Lbf_CtrlDisplay::Cuadros; ++n) {
        const QImage img = Lbf_CtrlDisplay::Cuadro(n).toImage();
        EXPECT_FALSE(img.isNull());
        distintos.insert(QByteArray(reinterpret_cast<const char*>(img.constBits()), img.sizeInBytes()));
    }
    EXPECT_EQ(distintos.size(), Lbf_CtrlDisplay::Cuadros);

    const QRect antes = v->geometry();
    cartel.setSiempre_Visible(true);
    EXPECT_TRUE(v->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(v->isVisible());
    EXPECT_EQ(v->geometry(), antes);
    cartel.setSiempre_Visible(false);
    EXPECT_FALSE(v->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(v->isVisible());
    EXPECT_EQ(v->geometry(), antes);
}

TEST_F(Cartel, CancelarSeVeEnElSiguienteMostrarYUnaVentanaNuevaLoOlvida)
{
    bool cancelado = true;
    cartel.CartelInicio(QStringLiteral("T"), true);
    cartel.CartelMostrar(cancelado, Variant(u"a"));
    EXPECT_FALSE(cancelado);
    cartel.Ventana()->CmdDisplayCancelar->click();
    EXPECT_EQ(cartel.Ventana()->CmdDisplayCancelar->text(), u"Abortado"_qs);
    cartel.CartelMostrar(cancelado);
    EXPECT_TRUE(cancelado);
    cartel.CartelMostrar(cancelado, Variant(u"b"));
    EXPECT_TRUE(cancelado);

    QPointer<Lbf_CtrlDisplay> vieja = cartel.Ventana();
    cartel.CartelCerrar();
    EXPECT_EQ(cartel.Ventana(), nullptr);
    EXPECT_TRUE(vieja.isNull());
    cartel.CartelInicio(QStringLiteral("T"), true);
    ASSERT_NE(cartel.Ventana(), nullptr);
    EXPECT_EQ(cartel.Ventana()->CmdDisplayCancelar->text(), u"&Cancelar"_qs);
    cartel.CartelMostrar(cancelado);
    EXPECT_FALSE(cancelado);
    EXPECT_EQ(Lineas(), (QStringList{QString(), QString(), QString()}));

    // Closing without a window leaves none either.
    cartel.CartelCerrar();
    cartel.CartelCerrar();
    EXPECT_EQ(cartel.Ventana(), nullptr);
}

// Without windows: one status line on a terminal, nothing anywhere else.
TEST(CartelConsola, LineaDeEstadoSoloEnTerminal)
{
    auto previo = instalaOperador(std::make_unique<OperadorGuion>());
    int maestro = -1, esclavo = -1;
    ASSERT_EQ(::openpty(&maestro, &esclavo, nullptr, nullptr, nullptr), 0);
    int tubo[2];
    ASSERT_EQ(::pipe(tubo), 0);
    ::fcntl(maestro, F_SETFL, O_NONBLOCK);
    ::fcntl(tubo[0], F_SETFL, O_NONBLOCK);
    const auto lee = [](int fd) {
        QByteArray r;
        char b[512];
        for (ssize_t n; (n = ::read(fd, b, sizeof b)) > 0;)
            r.append(b, n);
        return r;
    };
    {
        Dll_Display c;
        Dll_Display::FijaSalidaConsola(esclavo);
        bool cancelado = true;
        c.CartelInicio(QStringLiteral("Conectando Base de Datos"), true);
        c.CartelMostrar(cancelado, Variant(u"Iniciando Aplicacion"), Variant(u"verificador"), Variant(u"Espere por favor"));
        EXPECT_FALSE(cancelado);
        EXPECT_EQ(c.Ventana(), nullptr);
        c.CartelMostrar(cancelado, Variant(u"Iniciando Aplicacion")); // unchanged: not repeated
        c.CartelCerrar();
        const QByteArray salida = lee(maestro);
        EXPECT_EQ(salida.count('\n'), 1) << salida.constData();
        EXPECT_TRUE(salida.contains("Conectando Base de Datos: Iniciando Aplicacion - verificador - Espere por favor"))
            << salida.constData();

        Dll_Display::FijaSalidaConsola(tubo[1]);
        c.CartelInicio(QStringLiteral("Conectando Base de Datos"), false);
        c.CartelMostrar(cancelado, Variant(u"x"));
        EXPECT_TRUE(lee(tubo[0]).isEmpty());
    }
    Dll_Display::FijaSalidaConsola(STDERR_FILENO);
    for (int fd : {maestro, esclavo, tubo[0], tubo[1]})
        ::close(fd);
    instalaOperador(std::move(previo));
}

} // namespace
