#pragma once
// The window of the access form: its boxes, list and drop-down follow the
// form's values both ways, and its buttons call the form's handlers.
#include <QDialog>
#include <QHash>
#include <array>

class CajaTexto;
class frmAcceso;
class QComboBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class VentanaAcceso : public QDialog {
    Q_OBJECT
public:
    explicit VentanaAcceso(frmAcceso& formulario, QWidget* parent = nullptr);
    // What exec() returns when the window was hidden while another dialog was
    // asked for: the caller shows it again.
    static constexpr int Reaparece = 2;
    ~VentanaAcceso() override;

    frmAcceso& formulario() { return formulario_; }

    std::array<QLabel*, 3> Label1; // title, "AUTENTICACION", "Conexiones registradas"
    QFrame* framAcceso;
    QLineEdit* TxtUserId;
    QLineEdit* TxtUserPassword;
    QLineEdit* TxtDbName;
    QLineEdit* TxtServidor;
    QLineEdit* TxtPuerto;
    QComboBox* CboPlataformaDB;
    QListWidget* lstBases;
    QPushButton* bcAceptar;
    QPushButton* bcCancelar;
    QPushButton* CmdRegistrar;
    QPushButton* CmdLineaComando;
    QLabel* Label7;
    QLabel* Label8;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;

private:
    void Sigue(QLineEdit* caja, CajaTexto* valor);
    void MuestraAyuda(QLineEdit* caja, bool selecciona);
    void SigueLista();
    frmAcceso& formulario_;
    QHash<const CajaTexto*, QLineEdit*> cajas_;
    bool siguiendoLista_ = false;
};
