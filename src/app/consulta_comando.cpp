#include "app/consulta_comando.h"
#include "app/enlaces.h"

#include "db/db_dll.h"
#include "lookup/formulario_consulta.h"
#include "lookup/lib_clscons3.h"
#include "platform/operador.h"
#include "platform/vb.h"
#include "startup/iniciar_aplicacion.h"

#include <QTextStream>
#include <cstdio>
#include <unistd.h>

namespace {

// The form on the terminal: each line is the text of the first search box,
// and the row it leads to goes to standard error, so the operator sees it
// while standard output keeps only the result. An empty line accepts, the end
// of the input cancels. A text that led to no row is no choice: accepting
// then would hand back the row the selection was left on.
void ConduceDesdeEntrada(FormularioConsulta& f)
{
    QTextStream entrada(stdin);
    QString linea, ultima;
    while (entrada.readLineInto(&linea)) {
        if (linea.isEmpty()) {
            if (f.Hallada()) {
                f.CmdAceptar_Click();
            } else {
                std::fprintf(stderr, "Ninguna fila empieza con \"%s\": no se elige nada.\n", TextoDeTerminal(ultima).toLocal8Bit().constData());
                f.CmdCancelar_Click();
            }
            return;
        }
        ultima = linea;
        f.PrimeraBusqueda().setText(linea);
        const QString fila = f.Hallada() ? f.TextoSeleccionado() : QStringLiteral("ninguna fila empieza con \"%1\"").arg(linea);
        std::fprintf(stderr, "> %s\n", TextoDeTerminal(fila).toLocal8Bit().constData());
    }
    f.CmdCancelar_Click();
}

// The record's key: the first of the table's columns named as the suite
// names its codes (IdArticulo, IDVENDEDOR, CODIGO, CodigoEstado, Id).
QString ColumnaClave(const QString& tabla)
{
    DB_Dll& db = DB();
    ado::Recordset rs;
    QString clave;
    Rutina r = Rutina::Omitir();
    r.paso([&] {
        QString s = QStringLiteral("select top 1 * from ") + tabla;
        db.AbrirRecordset(s, rs);
    });
    r.paso([&] {
        for (int i = 0; i < rs.FieldCount() && clave.isEmpty(); ++i) {
            const QString& nombre = rs.Fields(i).Name;
            if (nombre.startsWith(u"Id", Qt::CaseInsensitive) || nombre.startsWith(u"Codigo", Qt::CaseInsensitive))
                clave = nombre;
        }
    });
    r.paso([&] { db.CierraRecordset(rs); });
    return clave;
}

// The lookup's statement with the key among its columns: a definition may
// show only names, addresses and phones. The statements the engine builds
// begin "SELECT TOP n columns FROM".
QString ConClave(const QString& sentencia, const QString& clave)
{
    const int desde = vb::InStr(sentencia, u" FROM ");
    const int top = vb::InStr(sentencia, u"TOP ");
    if (desde <= 0 || top <= 0 || top > desde)
        return sentencia;
    const int columnas = vb::InStr(sentencia, u" ", top + 4);
    for (const QString& c : sentencia.mid(columnas, desde - columnas - 1).split(u','))
        if (vb::Trim(c) == u"*" || vb::Iguales(vb::Trim(c), clave))
            return sentencia;
    return sentencia.left(desde - 1) + u',' + clave + sentencia.mid(desde - 1);
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
    QString sql = nombre, busqueda, donde;
    c.CampoDevuelto = enArbol ? QStringLiteral("IDFAMILIA") : campo;
    if (!enArbol && campo.isEmpty()) {
        // The lookup the engine would show, with the key it hands back.
        QString sentencia;
        if (!c.ArmaSentencia(nombre, busqueda, donde, {}, sentencia))
            return 1;
        c.CampoDevuelto = ColumnaClave(vb::Trim(nombre));
        if (c.CampoDevuelto.isEmpty()) {
            std::fprintf(stderr, "%s no tiene una columna de codigo (Id..., Codigo...): indique con --campo la columna a imprimir.\n",
                         nombre.toLocal8Bit().constData());
            return 1;
        }
        sql = ConClave(sentencia, c.CampoDevuelto);
        donde.clear();
    }
    bool aceptada = false;
    c.alMostrar = [&](FormularioConsulta& f) {
        QObject::connect(&f, &FormularioConsulta::terminada, [&](bool a) { aceptada = a; });
        if (!conVentanas)
            ConduceDesdeEntrada(f);
    };
    QStringList devueltos;
    c.ConsultaSearch(sql, devueltos, {}, busqueda, donde, {}, enArbol);
    c.alMostrar = nullptr;
    const QString valor = c.ValorDevuelto.toString();
    if (!aceptada || valor.isEmpty())
        return 1;
    // A script takes the value as the database keeps it; a terminal only sees it.
    std::printf("%s\n", (isatty(STDOUT_FILENO) == 1 ? TextoDeTerminal(valor) : valor).toLocal8Bit().constData());
    std::fflush(stdout);
    return 0;
}
