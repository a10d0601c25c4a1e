#pragma once
// The timed notice window: a picture for the kind of notice, the message and
// "&Aceptar". With a waiting time it closes by itself.
#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

class QFrame;
class QLabel;
class QPushButton;

class FrmMsgBox : public QDialog {
    Q_OBJECT
public:
    explicit FrmMsgBox(QWidget* parent = nullptr);

    QString Titulo;
    QString Mensaje;
    std::int16_t Espera = 0; // seconds; 0 or less: no automatic close
    std::int16_t Boton = 0;

    std::array<QLabel*, 5> Image1{};
    QLabel* LblMensaje = nullptr;
    QPushButton* CmdAceptar = nullptr;
    QFrame* Line1 = nullptr;

    // Shows the picture of the style (16, 64, 32, 48; anything else the general one).
    void MuestraImagen(int estilo);
    static int IndiceImagen(int estilo);

    void ActualizarLeyenda();
    void CmdAceptar_Click();

    // Milliseconds of a steady clock, read by the countdown; an empty
    // function puts back the system's own. Tests put in a clock they move.
    static void FijaReloj(std::function<std::int64_t()> reloj);

protected:
    void showEvent(QShowEvent* e) override;

private:
    void Form_Load();
    void Form_Activate();

    bool cargado_ = false;
};
