#pragma once
// The list lookup dialog: one search box per column above the rows of a
// statement; typing moves to the first matching row, F5 filters the statement
// by the typed text, the operator accepts one row or ticks several. Article
// lookups colour rows by stock, keep quantities and report missing stock.
// Without a statement it is a plain picker of options.
#include "platform/variant.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QScrollBar;
class QTableView;
class QWidget;
class ModeloLista;
namespace ado {
class Recordset;
}

class Lib_FrmCons3 : public QDialog {
    Q_OBJECT
public:
    explicit Lib_FrmCons3(QWidget* parent = nullptr);
    ~Lib_FrmCons3() override;

    // Set by the engine before showing, read after.
    QString sql;
    QString gConnString;
    QString CampoBusqueda;
    QString FiltroInicial;
    bool OrdenarPorLwv = false;
    bool CfgUsaConsultaLIKE = false;
    QString CampoDevuelto;
    QStringList CmpsDevueltos;
    bool CheckBoxes = false;
    bool UsaCantidades = false;
    QString ValoresDefault;
    QString MuestraStock;
    Variant StkNivel1, StkNivel2, StkNivel3, StkNivel4;
    QList<Variant> Valores;
    QList<Variant> Cantidades;
    Variant ValorDevuelto;
    bool GrabarCfg = false;
    bool UsarUDBC = false;

    // Controls.
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

    ModeloLista& Modelo() { return *modelo_; }

    void Form_Load();
    void Form_Unload();
    void Encolumnar(ado::Recordset& rs);
    void Leer(ado::Recordset& rs);
    void CalcularAncho();
    int IndiceColumna(const QString& Columna) const;
    int Busqueda(int Clave, const QString& QueValor) const;
    void LeerAnchos();
    void GrabarAnchos();

    // Plain picker: one column headed titulo, one row per text.
    void PreparaLista(const QString& titulo, int anchoTwips);
    void AgregaFila(const QString& texto, bool marcada);

    void CmbSearch_Change(int Index);
    void CmbSearch_KeyDown(int Index, int tecla);
    // True when the key was taken.
    bool ListView1_KeyDown(int tecla, Qt::KeyboardModifiers shift);
    void ListView1_DblClick();
    void ListView1_ColumnClick(int columna);
    void Form_KeyDown(int tecla);
    void CmdAceptar_Click();
    void CmdCancelar_Click();
    void CmdNueva_Click();
    void CmdNuevo_Click();
    void CmdTodos_Click();

    // The selected row (0-based), -1 when none.
    int FilaSeleccionada() const;
    void SeleccionaFila(int fila);
    // Width in pixels of a column of n characters, as the columns are sized.
    int AnchoCaracteres(int caracteres) const;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void reject() override;
    void resizeEvent(QResizeEvent* evento) override;

private:
    void ubicaBusquedas();
    QString tablaAnchos() const;
    void cargaBusqueda(int indice);
    int indiceCantidad() const;
    void informaFaltante();

    ModeloLista* modelo_;
    int busquedaActual_ = 0;
    QString primeraSentencia_;
    QString sentenciaTrabajo_;
    QString tabla_;
    bool esArticulos_ = false;
    bool cargada_ = false;
    bool ordenAscendente_ = false;
    int columnaOrden_ = -1;
};
