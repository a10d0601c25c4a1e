#pragma once
// What the list and the tree lookup forms share without their windows: the
// buttons and search boxes as values, the end of the lookup (accepted or
// cancelled), and what a terminal needs to drive one. A window follows these
// values and calls the handlers; a console run drives them with no graphical
// platform at all.
#include "platform/controles.h"

#include <QFont>
#include <QObject>
#include <QPersistentModelIndex>
#include <QString>

// A button as the handlers see it.
struct Boton {
    bool Visible = true;
};

// A search box: its text, the column it searches by and whether it shows.
class CajaBusqueda : public CajaTexto {
public:
    QString Tag;
    bool Visible = true;
};

class FormularioConsulta : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    QString Caption = QStringLiteral("Consulta...");

    // Open until a handler accepts or cancels it.
    bool Abierta() const { return !terminada_; }
    bool Aceptada() const { return terminada_ && aceptada_; }

    // The box a terminal types into, and the selected row as one line of text
    // (empty when nothing is selected).
    virtual CajaTexto& PrimeraBusqueda() = 0;
    // False when the last text searched as typed led to no row: the selection
    // is then still where it was, and no answer to that text.
    bool Hallada() const { return hallada_; }
    virtual QString TextoSeleccionado() const = 0;
    virtual void CmdAceptar_Click() = 0;
    virtual void CmdCancelar_Click() = 0;

signals:
    void terminada(bool aceptada);
    // Columns, widths, buttons or caption set by a handler.
    void cambiada();
    void seleccionCambiada();
    // A handler moves the focus: -1 to the rows, n to search box n.
    void pideFoco(int control);

protected:
    void Termina(bool aceptada);
    // The selected row or node, kept through a sort; told to the window.
    const QPersistentModelIndex& Seleccion() const { return seleccion_; }
    void Selecciona(const QModelIndex& i);
    void Halla(bool hallada) { hallada_ = hallada; }

private:
    bool terminada_ = false, aceptada_ = false, hallada_ = true;
    QPersistentModelIndex seleccion_;
};

// Measures the forms take before any window exists. With a graphical
// platform they are those of the list's font and the screen; a console run
// has neither and takes an average character and a 1024-pixel screen.
namespace medidas {
// The rows and headers of the list: the application's font, bold, 10 points.
QFont FuenteLista();
int AnchoCaracteres(int caracteres);
int AnchoPantalla();
} // namespace medidas
