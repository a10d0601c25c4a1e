#pragma once
// The tree lookup dialog: the rows of a statement as a hierarchy of codes
// under one root (product families by their "relative", any other codes by
// their leading characters). The chosen code, or the ticked ones, are looked
// up in the table the code belongs to.
#include "lookup/formulario_consulta.h"
#include "platform/errores.h"
#include "platform/variant.h"

#include <QList>
#include <QString>
#include <memory>
#include <vector>

class ModeloArbol;

// The form holds the values and handlers alone; VentanaCons3Tree is its window.
class Lib_FrmCons3Tree : public FormularioConsulta {
    Q_OBJECT
public:
    explicit Lib_FrmCons3Tree(QObject* parent = nullptr);
    ~Lib_FrmCons3Tree() override;

    QString sql;
    QString CampoDevuelto;
    bool CheckBoxes = false;
    Variant ValorDevuelto;
    QList<Variant> Valores;

    const std::unique_ptr<CajaBusqueda> CmbSearch;

    ModeloArbol& Modelo() { return *modelo_; }
    const ModeloArbol& Modelo() const { return *modelo_; }

    void Form_Load();
    void ArmarTreeVFamilias();
    void ArmarTreeVAutomatico();
    void CmbSearch_Change();
    void CmbSearch_KeyDown(int tecla);
    void TreeV_NodeCheck(int nodo);
    void CmdAceptar_Click() override;
    void CmdCancelar_Click() override;
    void CmdNueva_Click();

    // The selected node, -1 when none.
    int NodoSeleccionado() const;
    void SeleccionaNodo(int nodo);

    CajaTexto& PrimeraBusqueda() override { return *CmbSearch; }
    QString TextoSeleccionado() const override;

private:
    // Empties the tree to its root and reads every row of the statement.
    std::vector<std::vector<Variant>> leeFilas(Rutina& r);
    // The code's value in the table it belongs to; false when not found or
    // when CampoDevuelto names no such table.
    bool BuscaCodigo(const QString& codigo, Variant& valor, bool& conTabla);

    ModeloArbol* modelo_;
    QString primeraSentencia_;
    bool cargada_ = false;
    bool vaciando_ = false; // the box emptied by F5 searches nothing
};
