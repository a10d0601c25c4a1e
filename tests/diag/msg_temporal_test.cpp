#include "diag/frm_msgbox.h"
#include "diag/msg_temporal.h"
#include "platform/operador.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Runs the windows with the widget operator, whose DoEvents lets the test's
// timers press the button during a countdown.
class ConVentanas : public ::testing::Test {
protected:
    void SetUp() override { previo_ = instalaOperador(crearOperadorQt()); }
    void TearDown() override { instalaOperador(std::move(previo_)); }

    // Presses "&Aceptar" of the open notice after ms, and tells what it saw.
    struct Visto {
        QString titulo, mensaje;
        int imagenes = 0, imagen = -1;
        bool pulsado = false;
    };
    static void PulsaTras(int ms, Visto& v)
    {
        QTimer::singleShot(ms, [&v] {
            auto* f = qobject_cast<FrmMsgBox*>(QApplication::activeModalWidget());
            if (!f)
                return;
            v.titulo = f->windowTitle();
            v.mensaje = f->LblMensaje->text();
            for (int i = 0; i < 5; ++i)
                if (!f->Image1[i]->isHidden()) {
                    ++v.imagenes;
                    v.imagen = i;
                }
            v.pulsado = true;
            f->CmdAceptar->click();
        });
    }

private:
    std::unique_ptr<Operador> previo_;
};

TEST(FrmMsgBoxImagen, UnaImagenPorEstilo)
{
    FrmMsgBox f;
    const std::pair<int, int> casos[] = {{16, 0}, {64, 1}, {32, 2}, {48, 3}, {0, 4}, {20, 4}, {1, 4}, {-16, 4}};
    for (auto [estilo, indice] : casos) {
        f.MuestraImagen(estilo);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(!f.Image1[i]->isHidden(), i == indice) << "estilo " << estilo << " imagen " << i;
    }
}

TEST(FrmMsgBoxControles, TextosYMedidas)
{
    FrmMsgBox f;
    EXPECT_EQ(f.CmdAceptar->text(), u"&Aceptar");
    EXPECT_EQ(f.LblMensaje->text(), u"Atencion!");
    EXPECT_EQ(f.windowTitle(), u"Aviso al operador");
    EXPECT_EQ(f.LblMensaje->geometry(), QRect(96, 8, 329, 73));
    EXPECT_EQ(f.CmdAceptar->geometry(), QRect(136, 96, 225, 33));
    EXPECT_EQ(f.Image1[2]->geometry(), QRect(8, 16, 68, 60));

    f.Titulo = QStringLiteral("Nuevo");
    f.Mensaje = QStringLiteral("Otro texto");
    f.ActualizarLeyenda();
    EXPECT_EQ(f.windowTitle(), u"Nuevo");
    EXPECT_EQ(f.LblMensaje->text(), u"Otro texto");
}

TEST_F(ConVentanas, AvisoDeExportacionEsperaAlBoton)
{
    Visto v;
    PulsaTras(300, v);
    MsgTemporal(QStringLiteral("Exportado con exito, se guardo en C:\\Productos\\productos.txt"), 0,
                QStringLiteral("Aviso al operador"), 0);
    EXPECT_TRUE(v.pulsado);
    EXPECT_EQ(v.titulo, u"Aviso al operador");
    EXPECT_EQ(v.mensaje, u"Exportado con exito, se guardo en C:\\Productos\\productos.txt");
    EXPECT_EQ(v.imagenes, 1);
    EXPECT_EQ(v.imagen, 4);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ConVentanas, SeCierraSolaTrasLaEspera)
{
    QElapsedTimer t;
    t.start();
    MsgTemporal(QString(), 48, QStringLiteral("T"), 1);
    EXPECT_GE(t.elapsed(), 900);
    EXPECT_LT(t.elapsed(), 10000);
}

TEST_F(ConVentanas, ElBotonCortaLaCuentaYMasDe32SegundosNoCierra)
{
    Visto v;
    PulsaTras(200, v);
    QElapsedTimer t;
    t.start();
    MsgTemporal(QStringLiteral("m"), 16, QStringLiteral("T"), 30);
    EXPECT_TRUE(v.pulsado);
    EXPECT_EQ(v.imagen, 0);
    EXPECT_LT(t.elapsed(), 10000);

    // 40 seconds overflowed the old countdown: the box waits for the button,
    // which the test presses well after a second.
    Visto w;
    PulsaTras(1500, w);
    t.restart();
    MsgTemporal(QStringLiteral("m"), 64, QStringLiteral("T"), 40);
    EXPECT_TRUE(w.pulsado);
    EXPECT_GE(t.elapsed(), 1400);
    EXPECT_EQ(w.imagen, 1);
}

TEST(MsgTemporalSinVentanas, PasaElAvisoAlOperador)
{
    auto* guion = new OperadorGuion;
    auto previo = instalaOperador(std::unique_ptr<Operador>(guion));
    MsgTemporal(QStringLiteral("Hecho"), 64, QStringLiteral("Aviso al operador"), 5);
    ASSERT_EQ(guion->mostrados.size(), 1u);
    EXPECT_EQ(guion->mostrados[0].tipo, u"Aviso");
    EXPECT_EQ(guion->mostrados[0].texto, u"Hecho");
    EXPECT_EQ(guion->mostrados[0].estilo, 64);
    EXPECT_EQ(guion->mostrados[0].titulo, u"Aviso al operador");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    instalaOperador(std::move(previo));
}

} // namespace
