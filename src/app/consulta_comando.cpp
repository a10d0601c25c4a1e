#include "app/consulta_comando.h"
#include "app/enlaces.h"

#include "db/db_dll.h"
#include "lookup/lib_clscons3.h"
#include "lookup/lib_frmcons3.h"
#include "lookup/lib_frmcons3tree.h"
#include "lookup/modelo_arbol.h"
#include "lookup/modelo_lista.h"
#include "platform/vb.h"
#include "startup/iniciar_aplicacion.h"

#include <QComboBox>
#include <QTextStream>
#include <QTimer>
#include <cstdio>

namespace {

// The selected row or node, on standard error, so the operator of a terminal
// sees where the typing led while standard output keeps only the result.
void MuestraSeleccion(QDialog& d)
{
    QString texto;
    if (auto* f = qobject_cast<Lib_FrmCons3*>(&d)) {
        const int fila = f->FilaSeleccionada();
        if (fila >= 0)
            for (int c = 0; c < f->Modelo().Columnas(); ++c)
                texto += (c ? QStringLiteral(" | ") : QString()) + f->Modelo().Valor(fila, c);
    } else if (auto* t = qobject_cast<Lib_FrmCons3Tree*>(&d)) {
        const int n = t->NodoSeleccionado();
        if (n >= 0)
            texto = t->Modelo().NodoEn(n).texto;
    }
    std::fprintf(stderr, "> %s\n", texto.toLocal8Bit().constData());
}

void ConduceDesdeEntrada(QDialog& d)
{
    QTextStream entrada(stdin);
    auto* lista = qobject_cast<Lib_FrmCons3*>(&d);
    auto* arbol = qobject_cast<Lib_FrmCons3Tree*>(&d);
    QString linea;
    while (entrada.readLineInto(&linea)) {
        if (linea.isEmpty()) {
            if (lista)
                lista->CmdAceptar_Click();
            else if (arbol)
                arbol->CmdAceptar_Click();
            return;
        }
        if (lista)
            lista->CmbSearch[0]->setEditText(linea);
        else if (arbol)
            arbol->CmbSearch->setEditText(linea);
        MuestraSeleccion(d);
    }
    d.reject();
}

} // namespace

int EjecutaConsultaComando(const QString& nombre, const QString& campo, bool conVentanas)
{
    QString parametros, cadena;
    std::int32_t cursor = ado::adUseClient;
    EnlazaDialogos();
    IniciarAplicacion(parametros, cadena, cursor);

    Lib_ClsCons3& c = Consultas();
    const bool enArbol = vb::Iguales(vb::Trim(nombre), u"V_TA_FAMILIAS");
    bool aceptada = false;
    c.alMostrar = [&](QDialog& d) {
        // Without a column asked for, the value is the row's key: the last
        // column of the automatic and of the standard lookups.
        if (auto* f = qobject_cast<Lib_FrmCons3*>(&d); f && f->CampoDevuelto.isEmpty() && f->Modelo().Columnas() > 0)
            f->CampoDevuelto = f->Modelo().Encabezado(f->Modelo().Columnas() - 1);
        QObject::connect(&d, &QDialog::finished, [&](int r) { aceptada = r == QDialog::Accepted; });
        if (!conVentanas)
            QTimer::singleShot(0, &d, [&d] { ConduceDesdeEntrada(d); });
    };
    c.CampoDevuelto = enArbol ? QStringLiteral("IDFAMILIA") : campo;
    QStringList devueltos;
    QString busqueda, donde;
    c.ConsultaSearch(nombre, devueltos, {}, busqueda, donde, {}, enArbol);
    c.alMostrar = nullptr;
    const QString valor = c.ValorDevuelto.toString();
    if (!aceptada || valor.isEmpty())
        return 1;
    std::printf("%s\n", valor.toLocal8Bit().constData());
    std::fflush(stdout);
    return 0;
}
