#pragma once
// The progress banner: a small translucent window without frame, centred on
// the screen, with a title, three lines, a moving picture and, when the
// caller allows it, a cancel button. Not modal: the caller keeps running and
// learns of a cancel request at its next update. Without windows (console
// mode) the banner is one short status line on a terminal's standard error.
#include "platform/variant.h"

#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class QLabel;
class QPushButton;
class QTimer;

class Lbf_CtrlDisplay : public QWidget {
    Q_OBJECT
public:
    Lbf_CtrlDisplay();

    std::array<QLabel*, 3> LblCtrol{};
    QLabel* Image1 = nullptr;
    QPushButton* CmdDisplayCancelar = nullptr;
    QTimer* Timer1 = nullptr;

    static constexpr int Cuadros = 12;
    static constexpr int Opacidad = 200; // of 255
    std::int16_t Contador = 0;
    int CuadroMostrado() const { return cuadro_; }
    // Frame n (1 to 12) of the animation, drawn here: no image files.
    static QPixmap Cuadro(int n);

    void Timer1_Timer();
    void CmdDisplayCancelar_Click();

private:
    void Form_Load();
    void MuestraCuadro(int n);
    int cuadro_ = 0;
};

class Dll_Display {
public:
    Dll_Display();
    ~Dll_Display();
    Dll_Display(const Dll_Display&) = delete;
    Dll_Display& operator=(const Dll_Display&) = delete;

    void CartelInicio(const QString& Titulo, bool PermiteCancelar);
    // An absent line stays as it is; a Null one becomes empty.
    void CartelMostrar(bool& Cancelado, const std::optional<Variant>& L1 = std::nullopt,
                       const std::optional<Variant>& l2 = std::nullopt, const std::optional<Variant>& l3 = std::nullopt);
    void CartelCerrar();
    void setSiempre_Visible(bool valor);

    // The window while it is loaded (null otherwise, and always in console mode).
    Lbf_CtrlDisplay* Ventana() const;
    // Console mode writes its status line to this descriptor when it is a
    // terminal (standard error unless a test says otherwise).
    static void FijaSalidaConsola(int descriptor);

private:
    struct Privado;
    std::unique_ptr<Privado> p_;
};

// The run-wide banner of the start-up.
Dll_Display& Cartel();
