#include "app/consulta_comando.h"
#include "app/enlaces.h"

#include "db/db_dll.h"
#include "lookup/lib_clscons3.h"
#include "lookup/lib_frmcons3.h"
#include "lookup/modelo_lista.h"
#include "platform/vb.h"
#include "startup/iniciar_aplicacion.h"

#include <QTextStream>
#include <cstdio>

namespace {

// The form on the terminal: each line is the text of the first search box,
// and the row it leads to goes to standard error, so the operator sees it
// while standard output keeps only the result. An empty line accepts, the end
// of the input cancels.
void ConduceDesdeEntrada(FormularioConsulta& f)
{
    QTextStream entrada(stdin);
    QString linea;
    while (entrada.readLineInto(&linea)) {
        if (linea.isEmpty()) {
            f.CmdAceptar_Click();
            return;
        }
        f.PrimeraBusqueda().setText(linea);
        std::fprintf(stderr, "> %s\n", f.TextoSeleccionado().toLocal8Bit().constData());
    }
    f.CmdCancelar_Click();
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
    c.alMostrar = [&](FormularioConsulta& f) {
        // Without a column asked for, the value is the row's key: the last
        // column of the automatic and of the standard lookups.
        if (auto* l = qobject_cast<Lib_FrmCons3*>(&f); l && l->CampoDevuelto.isEmpty() && l->Modelo().Columnas() > 0)
            l->CampoDevuelto = l->Modelo().Encabezado(l->Modelo().Columnas() - 1);
        QObject::connect(&f, &FormularioConsulta::terminada, [&](bool a) { aceptada = a; });
        if (!conVentanas)
            ConduceDesdeEntrada(f);
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
