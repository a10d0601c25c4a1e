#pragma once
// The window of the list lookup form: search boxes over their columns, the
// rows, the buttons. It follows the form's values both ways and passes what
// the operator does to the form's handlers.
#include <QDialog>
#include <vector>

class Lib_FrmCons3;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QScrollBar;
class QTableView;

class VentanaCons3 : public QDialog {
    Q_OBJECT
public:
    explicit VentanaCons3(Lib_FrmCons3& formulario, QWidget* parent = nullptr);
    ~VentanaCons3() override;

    Lib_FrmCons3& Formulario() { return formulario_; }

    QLabel* Label1;
    QWidget* picFields;
    std::vector<QComboBox*> CmbSearch;
    QLabel* lblFieldName;
    QScrollBar* HScroll1; // the list's own horizontal bar: it moves rows and boxes together
    QTableView* ListView1;
    QFrame* Frame1;
    QPushButton* CmdAceptar;
    QPushButton* CmdCancelar;
    QPushButton* CmdNueva;
    QPushButton* CmdNuevo;
    QPushButton* CmdTodos;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void reject() override;
    void resizeEvent(QResizeEvent* evento) override;

private:
    // The form's columns, widths, boxes, buttons and caption.
    void Sigue();
    void SigueSeleccion();
    void SigueOrden();
    void Enfoca(int control);
    int filasPorPagina(bool abajo) const;
    void ubicaBusquedas();
    void creaBusquedas();

    Lib_FrmCons3& formulario_;
};
