#include "lookup/lib_clscons3.h"

#include "config/configuracion.h"
#include "db/db_dll.h"
#include "lookup/definiciones_consultas.h"
#include "lookup/lib_frmcons3.h"
#include "lookup/lib_frmcons3tree.h"
#include "lookup/modelo_lista.h"
#include "lookup/ventana_cons3.h"
#include "lookup/ventana_cons3tree.h"
#include "platform/archivos.h"
#include "platform/errores.h"
#include "platform/operador.h"
#include "platform/rutas.h"
#include "platform/twips.h"
#include "platform/vb.h"
#include "suitelib/funciones_generales.h"

#include <cmath>
#include <memory>

namespace {

Lanzador& lanzador()
{
    static Lanzador l;
    return l;
}

std::unique_ptr<Lib_ClsCons3>& instancia()
{
    static std::unique_ptr<Lib_ClsCons3> i;
    return i;
}

// Shows the form modally in its window, after the hook of the run has seen it.
template <class Ventana, class Formulario>
void Muestra(Formulario& f, const std::function<void(FormularioConsulta&)>& alMostrar)
{
    if (alMostrar)
        alMostrar(f);
    if (!f.Abierta())
        return;
    if (!operador().TieneVentanas()) {
        f.CmdCancelar_Click();
        return;
    }
    Ventana v(f);
    v.exec();
}

Variant NivelStock(const QString& clave)
{
    const QString v = vb::Trim(Cfg(clave));
    if (v.isEmpty())
        return Variant(std::int32_t(0));
    return Variant(v);
}

} // namespace

void InstalaLanzador(Lanzador l) { lanzador() = std::move(l); }

void Lanza(const QString& programa, QString& parametro, std::int32_t& tarea)
{
    tarea = 0;
    if (lanzador())
        lanzador()(programa, parametro, tarea);
    else
        operador().MsgBox(QStringLiteral("Opcion no Implementada!") + u'\r' + QStringLiteral("Comuniquese con su proveedor de sistemas"),
                          estilo::Critical, QStringLiteral("Atención"));
}

Lib_ClsCons3& Consultas()
{
    if (!instancia())
        instancia() = std::make_unique<Lib_ClsCons3>();
    return *instancia();
}

void ReiniciaConsultas() { instancia().reset(); }

Lib_ClsCons3::Lib_ClsCons3()
{
    Rutina r = Rutina::Omitir();
    r.paso([&] { StkNivel1 = NivelStock(QStringLiteral("Stk_Nivel1")); });
    r.paso([&] { StkNivel2 = NivelStock(QStringLiteral("Stk_Nivel2")); });
    r.paso([&] { StkNivel3 = NivelStock(QStringLiteral("Stk_Nivel3")); });
    r.paso([&] { StkNivel4 = NivelStock(QStringLiteral("Stk_Nivel4")); });
    r.paso([&] { MuestraStock = vb::Trim(Cfg(QStringLiteral("MostrarStockenConsultas"))); });
    r.paso([&] { usaLike_ = vb::Iguales(vb::Trim(Cfg(QStringLiteral("UsaConsultaLike"))), u"SI"); });
}

bool Lib_ClsCons3::ArmaSentencia(const QString& sql, QString& CampoBusqueda, QString& Where,
                                 const QString& SentenciaOpcional, QString& sentencia)
{
    FuncionesGenerales fg;
    Rutina r = Rutina::Omitir();
    QString limite = QStringLiteral("1000");
    bool mostrar = true;
    r.paso([&] {
        const QString w = vb::Trim(Where);
        if (w.size() > 1 && !w.startsWith(u'('))
            Where = QStringLiteral(" (") + Where + QStringLiteral(") ");
    });
    r.paso([&] {
        // Only a positive whole number is a limit the server takes, written
        // in plain digits; anything else is taken as none given.
        const double n = vb::Val(vb::Trim(Cfg(QStringLiteral("TopConsArt"))));
        if (n >= 1 && n <= 9e18 && n == std::floor(n))
            limite = QString::number(std::int64_t(n));
    });
    if (vb::Contiene(sql, u"SELECT")) {
        r.paso([&] {
            sentencia = sql;
            if (vb::Contiene(sentencia, u"V_MA_ARTICULOS"))
                sentencia = vb::Replace(sentencia, QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("VT_MA_ARTICULOS"));
            if (!vb::Trim(Where).isEmpty()) {
                if (!vb::Contiene(Where, u"WHERE"))
                    Where = QStringLiteral(" WHERE ") + Where;
                sentencia += Where;
            }
        });
        return true;
    }
    std::optional<consultas::Definicion> def;
    r.paso([&] {
        if (gUsarMascarasConsultas && rutas::ExisteArchivo(QString(gRutaMascaraConsultas).remove(u'"')))
            def = consultas::BuscaDefinicion(gRutaMascaraConsultas, sql);
    });
    if (def) {
        r.paso([&] {
            QString tabla = vb::Trim(def->tabla);
            QString columnas = vb::Trim(fg.CambiaCaracter(def->columnas, u'|', QStringLiteral(",")));
            if (columnas.startsWith(u','))
                columnas.remove(0, 1);
            if (columnas.endsWith(u','))
                columnas.chop(1);
            if (columnas.isEmpty())
                columnas = QStringLiteral("*");
            if (CampoBusqueda.isEmpty()) {
                if (!columnas.contains(u',')) {
                    operador().MsgBox(QStringLiteral("Debe configurar la consulta para esta tabla"), estilo::Information,
                                      QStringLiteral("Aviso al operador"));
                    mostrar = false;
                    return;
                }
                CampoBusqueda = columnas.left(columnas.indexOf(u','));
            }
            QString condicion = vb::Trim(fg.ExtraeValor(def->condicion, QString(QChar(0)), QString(QChar(255))));
            if (condicion.isEmpty() && !vb::Trim(Where).isEmpty())
                condicion = Where;
            if (vb::Iguales(tabla, u"VT_PROVEEDORES") || vb::Iguales(tabla, u"VT_CLIENTES")) {
                if (vb::Trim(condicion).isEmpty())
                    condicion = QStringLiteral("Dada_De_Baja = 0");
            } else if (vb::Iguales(tabla, u"V_MA_ARTICULOS")) {
                tabla = QStringLiteral("VT_MA_ARTICULOS");
                if (vb::Trim(condicion).isEmpty())
                    condicion = QStringLiteral("SUSPENDIDO = 0");
            }
            const QString donde = vb::Trim(condicion).isEmpty() ? QString() : QStringLiteral(" WHERE ");
            if (CampoBusqueda.isEmpty())
                sentencia = QStringLiteral("SELECT TOP ") + limite + u' ' + columnas + QStringLiteral(" FROM ") + tabla
                    + QStringLiteral(" with(nolock) ") + donde + condicion;
            else
                sentencia = QStringLiteral("SELECT TOP ") + limite + u' ' + columnas + QStringLiteral(" FROM ") + tabla
                    + QStringLiteral("  with(nolock) ") + donde + condicion + QStringLiteral(" ORDER BY ") + CampoBusqueda;
        });
        return mostrar;
    }
    // The automatic statement.
    if (!SentenciaOpcional.isEmpty()) {
        sentencia = SentenciaOpcional;
        return true;
    }
    QString columnas, busqueda;
    if (vb::Iguales(sql, u"V_TA_Unidad")) {
        columnas = QStringLiteral("Descripcion,IdUnidad");
        busqueda = QStringLiteral("IdUnidad");
    } else if (vb::Iguales(sql, u"V_TA_DEPOSITO")) {
        columnas = QStringLiteral("Descripcion,Unidad,IdDeposito");
        busqueda = QStringLiteral("IdDeposito");
    } else if (vb::Iguales(sql, u"V_TA_STATUS")) {
        columnas = QStringLiteral("Descripcion,Tipo,CodigoEstado");
        busqueda = QStringLiteral("CodigoEstado");
    } else {
        DB_Dll& db = DB();
        ado::Recordset rs;
        QStringList tomadas;
        const bool idEsBusqueda = vb::Iguales(sql, u"v_mv_mutuales") || vb::Iguales(sql, u"V_MV_TROPA_STOCK");
        r.paso([&] {
            QString s = QStringLiteral("select top 1 * from ") + sql;
            db.AbrirRecordset(s, rs);
        });
        r.paso([&] {
            for (int i = 0; i < rs.FieldCount(); ++i) {
                const QString nombre = rs.Fields(i).Name;
                if (vb::Iguales(nombre, u"ID") || vb::Iguales(nombre, u"FECHAHORA_MODIFICACION")
                    || vb::Iguales(nombre, u"FECHAHORA_GRABACION")) {
                    if (!idEsBusqueda)
                        continue;
                    busqueda = nombre;
                } else if (vb::Iguales(nombre, u"DESCRIPCION") || vb::Iguales(nombre, u"NOMBRE")
                           || vb::Iguales(nombre, u"DETALLE")) {
                    busqueda = nombre;
                } else if (tomadas.isEmpty() && busqueda.isEmpty()) {
                    busqueda = nombre;
                }
                tomadas.prepend(nombre);
            }
        });
        r.paso([&] { db.CierraRecordset(rs); });
        columnas = tomadas.isEmpty() ? QStringLiteral(" * ") : tomadas.join(u',');
    }
    CampoBusqueda = busqueda;
    const QString condicion = u' ' + Where;
    sentencia = QStringLiteral("SELECT TOP ") + limite + u' ' + columnas + QStringLiteral(" FROM ") + sql
        + (vb::Trim(condicion).isEmpty() ? QString() : QStringLiteral(" WHERE ")) + condicion + QStringLiteral(" ORDER BY ")
        + busqueda;
    return true;
}

void Lib_ClsCons3::ConsultaSearch(const QString& sql, QStringList& CmpsDevueltos_, const QString& Clave,
                                  QString& CampoBusqueda, QString& Where, const QString& SentenciaOpcional, bool TreeView,
                                  const QString& ValoresDefault)
{
    Rutina r = Rutina::Omitir();
    QString sentencia;
    bool mostrar = true;
    r.paso([&] { mostrar = ArmaSentencia(sql, CampoBusqueda, Where, SentenciaOpcional, sentencia); });
    if (mostrar && !TreeView) {
        Lib_FrmCons3 f;
        r.paso([&] {
            f.StkNivel1 = StkNivel1;
            f.StkNivel2 = StkNivel2;
            f.StkNivel3 = StkNivel3;
            f.StkNivel4 = StkNivel4;
            f.MuestraStock = MuestraStock;
            f.CfgUsaConsultaLIKE = usaLike_;
            f.OrdenarPorLwv = !vb::Contiene(sentencia, u"ORDER BY");
            f.FiltroInicial = Clave;
            f.CampoBusqueda = CampoBusqueda;
            f.sql = sentencia;
            f.gConnString = gConnString.isEmpty() ? DB().gConnString : gConnString;
            f.CampoDevuelto = CampoDevuelto;
            f.CheckBoxes = Checks;
            f.UsaCantidades = UsaCantidades;
            f.ValoresDefault = ValoresDefault;
            f.CmpsDevueltos = CmpsDevueltos_;
            f.Valores = Valores;
            f.Cantidades = Cantidades;
        });
        // Rows the dialog shows before it loads its own carry no ticks; the
        // ones ValoresDefault asks for are ticked by the load itself.
        r.paso([&] {
            if (Checks)
                f.Modelo().MarcaTodas(false);
        });
        r.paso([&] { f.Form_Load(); });
        r.paso([&] { Muestra<VentanaCons3>(f, alMostrar); });
        Checks = false;
        r.paso([&] {
            Valores = f.Valores;
            Cantidades = f.Cantidades;
            ValorDevuelto = f.ValorDevuelto;
            f.CampoDevuelto.clear();
        });
        r.paso([&] { f.Form_Unload(); });
    } else if (mostrar) {
        Lib_FrmCons3Tree t;
        r.paso([&] {
            t.sql = sentencia;
            t.CampoDevuelto = CampoDevuelto;
            t.CheckBoxes = Checks;
            Valores.clear();
        });
        r.paso([&] { t.Form_Load(); });
        r.paso([&] { Muestra<VentanaCons3Tree>(t, alMostrar); });
        r.paso([&] {
            ValorDevuelto = t.ValorDevuelto;
            Valores = t.Valores;
        });
        Checks = false;
    }
    CampoDevuelto.clear();
    CmpsDevueltos_.clear();
}

namespace {

// Width of a plain picker: 120 twips a character of the longest text, at most the screen.
int AnchoPicker(const QString& titulo, const QStringList& textos)
{
    qsizetype largo = titulo.size();
    for (const QString& t : textos)
        largo = std::max(largo, t.size());
    return std::min(int(largo) * 120, twips::Twips(medidas::AnchoPantalla()));
}

struct Eleccion {
    QList<Variant> valores;
    QString elegida;
};

} // namespace

// The list dialog as a plain picker of the texts; with marcas, a check list
// whose rows start ticked where marcas says so.
static Eleccion Elige(const QString& Titulo, const QStringList& textos, const QList<bool>* marcas,
                      const std::function<void(FormularioConsulta&)>& alMostrar)
{
    Rutina r = Rutina::Omitir();
    Lib_FrmCons3 f;
    Eleccion e;
    const bool conMarcas = marcas != nullptr;
    r.paso([&] {
        f.Caption = Titulo;
        f.CmdNueva.Visible = false;
        f.OrdenarPorLwv = true;
        f.sql.clear();
        f.gConnString.clear();
        f.CampoDevuelto = Titulo;
        f.CheckBoxes = conMarcas;
        f.Form_Load();
        f.Modelo().checkBoxes = conMarcas;
    });
    r.paso([&] {
        f.PreparaLista(Titulo, AnchoPicker(Titulo, textos));
        for (qsizetype i = 0; i < textos.size(); ++i)
            f.AgregaFila(textos[i], conMarcas && marcas->value(i));
    });
    r.paso([&] { Muestra<VentanaCons3>(f, alMostrar); });
    r.paso([&] {
        e.valores = f.Valores;
        e.elegida = f.ValorDevuelto.toString();
    });
    return e;
}

void Lib_ClsCons3::CheckOpciones(const QString& Titulo, const QStringList&, const QStringList& Opc)
{
    QStringList textos;
    QList<bool> marcas;
    for (const QString& o : Opc) {
        textos << o.mid(1);
        marcas << o.startsWith(u'1');
    }
    Valores = Elige(Titulo, textos, &marcas, alMostrar).valores;
}

QString Lib_ClsCons3::MenuOpciones(const QString& Titulo, const QStringList& Opc)
{
    return Elige(Titulo, Opc, nullptr, alMostrar).elegida;
}

QString Lib_ClsCons3::ConsultaDesdeArchivo(const QString& Titulo, const QString& QueArchivo, const QString&)
{
    const QString ruta = QString(QueArchivo).remove(u'"');
    if (!rutas::ExisteArchivo(ruta)) {
        operador().MsgBox(QStringLiteral("No existe el archivo ") + QueArchivo + QStringLiteral(" que desea consultar consulta "),
                          estilo::OKOnly, {});
        return {};
    }
    QStringList lineas;
    Rutina r = Rutina::Omitir();
    r.paso([&] { lineas = archivos::LeeLineas(ruta); });
    return Elige(Titulo, lineas, nullptr, alMostrar).elegida;
}
