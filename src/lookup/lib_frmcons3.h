#pragma once
// The list lookup dialog: one search box per column above the rows of a
// statement; typing moves to the first matching row, F5 filters the statement
// by the typed text, the operator accepts one row or ticks several. Article
// lookups colour rows by stock, keep quantities and report missing stock.
// Without a statement it is a plain picker of options.
// The form holds the values and handlers alone; VentanaCons3 is its window.
#include "lookup/formulario_consulta.h"
#include "platform/variant.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class ModeloLista;
namespace ado {
class Recordset;
}

class Lib_FrmCons3 : public FormularioConsulta {
    Q_OBJECT
public:
    explicit Lib_FrmCons3(QObject* parent = nullptr);
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

    // Controls, as values.
    std::vector<std::unique_ptr<CajaBusqueda>> CmbSearch;
    Boton CmdNueva;
    // Width in pixels of each column; the window keeps them as the operator drags.
    std::vector<int> AnchoColumna;
    // Width of the window that shows every column (CalcularAncho).
    int AnchoVentana = 0;
    // The search box that had the focus last: keys typed in the rows go there.
    int BusquedaActual = 0;
    // Rows a page key moves; the window sets it to the rows it shows.
    int FilasPorPagina = 10;

    ModeloLista& Modelo() { return *modelo_; }
    const ModeloLista& Modelo() const { return *modelo_; }

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
    void CmdAceptar_Click() override;
    void CmdCancelar_Click() override;
    void CmdNueva_Click();
    void CmdNuevo_Click();
    void CmdTodos_Click();

    // The selected row (0-based), -1 when none; it follows the row through a sort.
    int FilaSeleccionada() const;
    void SeleccionaFila(int fila);
    // Width in pixels of a column of n characters, as the columns are sized.
    int AnchoCaracteres(int caracteres) const { return medidas::AnchoCaracteres(caracteres); }
    // The column sorted by the last header click (-1: none) and its direction.
    int ColumnaOrden() const { return columnaOrden_; }
    bool OrdenAscendente() const { return ordenAscendente_; }

    CajaTexto& PrimeraBusqueda() override { return *CmbSearch[0]; }
    QString TextoSeleccionado() const override;

private:
    QString tablaAnchos() const;
    void cargaBusqueda(int indice);
    int indiceCantidad() const;
    void informaFaltante();

    ModeloLista* modelo_;
    QString primeraSentencia_;
    QString sentenciaTrabajo_;
    QString tabla_;
    bool esArticulos_ = false;
    bool cargada_ = false;
    bool ordenAscendente_ = false;
    int columnaOrden_ = -1;
};
