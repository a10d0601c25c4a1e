#pragma once
// The tree lookup dialog: the rows of a statement as a hierarchy of codes
// under one root (product families by their "relative", any other codes by
// their leading characters). The chosen code, or the ticked ones, are looked
// up in the table the code belongs to.
#include "platform/errores.h"
#include "platform/variant.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <vector>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QTreeView;
class QWidget;
class ModeloArbol;

class Lib_FrmCons3Tree : public QDialog {
    Q_OBJECT
public:
    explicit Lib_FrmCons3Tree(QWidget* parent = nullptr);
    ~Lib_FrmCons3Tree() override;

    QString sql;
    QString CampoDevuelto;
    bool CheckBoxes = false;
    Variant ValorDevuelto;
    QList<Variant> Valores;

    QTreeView* TreeV;
    QWidget* picFields;
    QComboBox* CmbSearch;
    QLabel* lblFieldName;
    QFrame* Frame1;
    QPushButton* CmdAceptar;
    QPushButton* CmdCancelar;
    QPushButton* CmdNueva;

    ModeloArbol& Modelo() { return *modelo_; }

    void Form_Load();
    void ArmarTreeVFamilias();
    void ArmarTreeVAutomatico();
    void CmbSearch_Change();
    void CmbSearch_KeyDown(int tecla);
    void TreeV_NodeCheck(int nodo);
    void CmdAceptar_Click();
    void CmdCancelar_Click();
    void CmdNueva_Click();

    // The selected node, -1 when none.
    int NodoSeleccionado() const;
    void SeleccionaNodo(int nodo);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void reject() override;

private:
    // Empties the tree to its root and reads every row of the statement.
    std::vector<std::vector<Variant>> leeFilas(Rutina& r);
    // The code's value in the table it belongs to; false when not found or
    // when CampoDevuelto names no such table.
    bool BuscaCodigo(const QString& codigo, Variant& valor, bool& conTabla);

    ModeloArbol* modelo_;
    QString primeraSentencia_;
    bool cargada_ = false;
};
