#pragma once
// The window of the tree lookup form: its search box, the tree and the
// buttons, following the form's values and calling its handlers.
#include <QDialog>

class Lib_FrmCons3Tree;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QTreeView;

class VentanaCons3Tree : public QDialog {
    Q_OBJECT
public:
    explicit VentanaCons3Tree(Lib_FrmCons3Tree& formulario, QWidget* parent = nullptr);
    ~VentanaCons3Tree() override;

    Lib_FrmCons3Tree& Formulario() { return formulario_; }

    QTreeView* TreeV;
    QWidget* picFields;
    QComboBox* CmbSearch;
    QLabel* lblFieldName;
    QFrame* Frame1;
    QPushButton* CmdAceptar;
    QPushButton* CmdCancelar;
    QPushButton* CmdNueva;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void reject() override;

private:
    void Sigue();
    void SigueSeleccion();

    Lib_FrmCons3Tree& formulario_;
};
