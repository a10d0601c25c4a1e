#pragma once
// The window of the form: its folder box and buttons call the form's handlers.
#include <QWidget>

class FrmPrincipal;
class QLabel;
class QLineEdit;
class QPushButton;

class VentanaPrincipal : public QWidget {
    Q_OBJECT
public:
    explicit VentanaPrincipal(FrmPrincipal& formulario, QWidget* parent = nullptr);
    ~VentanaPrincipal() override;

    QLabel* Label1;
    QLineEdit* txtRuta;
    QPushButton* Command2;
    QPushButton* Command1;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void GuardaRuta(); // the pending txtRuta_LostFocus
    void Pulsado();    // Command1 pressed
    FrmPrincipal& formulario_;
    bool guardadoPendiente_ = false, guardando_ = false;
    bool exportacionPendiente_ = false, exportando_ = false;
};
