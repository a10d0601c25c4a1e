#include "diag/frm_msgbox.h"
#include "diag/msg_temporal.h"
#include "platform/operador.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <vector>

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

    // A clock for the countdown that only the test moves. Recorre shows a
    // notice and sets the clock to each value in turn, one after the other
    // once the box has had time to look at it; it tells whether the box was
    // still open at each value, and presses "&Aceptar" if it still is after
    // the last.
    struct RelojFalso {
        std::int64_t ms = 0;
        bool pulsado = false;
        int imagen = -1;
        qint64 real = 0;

        RelojFalso() { FrmMsgBox::FijaReloj([this] { return ms; }); }
        ~RelojFalso() { FrmMsgBox::FijaReloj({}); }
        RelojFalso(const RelojFalso&) = delete;
        RelojFalso& operator=(const RelojFalso&) = delete;

        std::vector<bool> Recorre(std::int16_t estilo, std::int16_t espera, const std::vector<std::int64_t>& valores)
        {
            std::vector<bool> abierta(valores.size(), false);
            std::size_t paso = 0;
            int vueltasVisible = 0;
            QTimer tic;
            QObject::connect(&tic, &QTimer::timeout, [&] {
                auto* f = qobject_cast<FrmMsgBox*>(QApplication::activeModalWidget());
                const bool visible = f && f->isVisible();
                // The countdown begins once the box is shown; only then does
                // the clock start to move.
                if (vueltasVisible < 2) {
                    vueltasVisible += visible ? 1 : 0;
                    return;
                }
                if (paso > 0)
                    abierta[paso - 1] = visible;
                if (paso < valores.size()) {
                    ms = valores[paso++];
                    return;
                }
                tic.stop();
                if (visible) {
                    for (int i = 0; i < 5; ++i)
                        if (!f->Image1[i]->isHidden())
                            imagen = i;
                    pulsado = true;
                    f->CmdAceptar->click();
                }
            });
            tic.start(30);
            QElapsedTimer t;
            t.start();
            MsgTemporal(QStringLiteral("m"), estilo, QStringLiteral("T"), espera);
            real = t.elapsed();
            return abierta;
        }
    };

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

// The notice names the path as stored and, below it as the terminal does,
// the folder a mapped drive really is.
TEST_F(ConVentanas, AvisoDeExportacionEsperaAlBoton)
{
    const QByteArray unidadesAntes = qgetenv("VERIFICADOR_UNIDADES");
    qputenv("VERIFICADOR_UNIDADES", "C=/srv/c");
    Visto v;
    PulsaTras(300, v);
    MsgTemporal(QStringLiteral("Exportado con exito, se guardo en C:\\Productos\\productos.txt"), 0,
                QStringLiteral("Aviso al operador"), 0);
    if (unidadesAntes.isNull())
        qunsetenv("VERIFICADOR_UNIDADES");
    else
        qputenv("VERIFICADOR_UNIDADES", unidadesAntes);
    EXPECT_TRUE(v.pulsado);
    EXPECT_EQ(v.titulo, u"Aviso al operador");
    EXPECT_EQ(v.mensaje, u"Exportado con exito, se guardo en C:\\Productos\\productos.txt\nRuta real: /srv/c/Productos/productos.txt");
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

    // 40 seconds overflowed the old countdown: the box waits for the button.
    // The clock is moved a day on, past any deadline a capped or wrapped
    // wait could have set, and the box is still there for the button.
    RelojFalso reloj;
    const auto abierta = reloj.Recorre(64, 40, {0, 32'000, 40'000, 86'400'000});
    EXPECT_EQ(abierta, (std::vector<bool>{true, true, true, true}));
    EXPECT_TRUE(reloj.pulsado);
    EXPECT_EQ(reloj.imagen, 1);
    EXPECT_LT(reloj.real, 10000);
}

// The countdown, on a clock the test moves: open up to the last millisecond
// before the deadline, closed by itself at it; from 33 seconds on (the
// 16-bit product overflowed) and at 0 or less, never by itself.
TEST_F(ConVentanas, LaCuentaCierraEnElPlazoYSoloHasta32Segundos)
{
    const struct {
        std::int16_t espera;
        std::vector<std::int64_t> reloj;
        std::vector<bool> abierta;
        bool pulsado;
    } casos[] = {
        {1, {0, 999, 1000, 1000}, {true, true, false, false}, false},
        {5, {0, 4'000, 4'999, 5'000, 5'000}, {true, true, true, false, false}, false},
        {32, {0, 31'999, 32'000, 32'000}, {true, true, false, false}, false},
        {33, {0, 33'000, 86'400'000}, {true, true, true}, true},
        {32767, {0, 33'000, 86'400'000, 100'000'000'000}, {true, true, true, true}, true},
        {0, {0, 86'400'000}, {true, true}, true},
        {-5, {0, 86'400'000}, {true, true}, true},
    };
    for (const auto& c : casos) {
        RelojFalso reloj;
        EXPECT_EQ(reloj.Recorre(48, c.espera, c.reloj), c.abierta) << "espera " << c.espera;
        EXPECT_EQ(reloj.pulsado, c.pulsado) << "espera " << c.espera;
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_LT(reloj.real, 10000);
    }
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
