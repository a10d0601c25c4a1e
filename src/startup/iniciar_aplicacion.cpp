#include "startup/iniciar_aplicacion.h"

#include "config/configuracion.h"
#include "db/db_dll.h"
#include "db/globales.h"
#include "db/registro_errores.h"
#include "diag/dll_display.h"
#include "lookup/lib_clscons3.h"
#include "platform/aplicacion.h"
#include "platform/errores.h"
#include "platform/operador.h"
#include "platform/rutas.h"
#include "platform/vb.h"
#include "startup/carga_configuracion.h"
#include "startup/consultas_base.h"
#include "startup/parametros.h"
#include "startup/registra_acceso.h"
#include "startup/usuario.h"
#include "suitelib/carpeta_base.h"
#include "suitelib/funciones_generales.h"

#include <QLocale>
#include <QStringList>
#include <cmath>
#include <cstdio>

namespace {

// Why the main connection did not open, as its provider said it: the database
// layer has already shown it, and the log line must keep it.
QString MotivoConexion(const DB_Dll& db)
{
    QStringList motivos;
    const ado::Errors& errores = db.gCnn->errors();
    for (int i = 0; i < errores.Count(); ++i) {
        const QString d = vb::Trim(errores.Item(i).Description);
        if (!d.isEmpty() && !motivos.contains(d))
            motivos << d;
    }
    return motivos.join(QStringLiteral(" / "));
}

void Conecta(const ParametrosInicio& p, QString& cadena, std::int32_t cursor)
{
    const QString motivo = inicio::ConectaPrincipal(p, cadena, cursor, true);
    if (!motivo.isEmpty())
        TerminaInicio(motivo);
}

// The "TimeOut" key as a 16-bit time-out: a missing key (one blank) is 0; a
// text that is not a number, or one that does not fit 0 to 32767, raises, so
// the step is passed over and the stored value is left alone.
std::int16_t TiempoEsperaConfigurado(const QString& valor)
{
    const QString t = vb::Trim(valor);
    if (t.isEmpty())
        return 0;
    bool ok = false;
    double d = QLocale::c().toDouble(t, &ok);
    if (!ok && !vb::ANumero(t, d))
        Raise(vberr::TypeMismatch, QStringLiteral("Type mismatch"));
    d = std::nearbyint(d);
    if (!(d >= 0 && d <= 32767))
        Raise(vberr::Overflow, QStringLiteral("Overflow"));
    return std::int16_t(d);
}

// The statistics database gives the command time-out; without it the
// start-up goes on with 90 seconds.
void ConectaEstadisticas()
{
    DB_Dll& db = DB();
    DB_Dll& es = DBEstadisticas();
    Rutina r = Rutina::Omitir();
    r.paso([&] { glb::TiempoEsperaComandos = 90; });
    r.paso([&] {
        if (es.gOpenFlag)
            es.gCnn->Close();
    });
    r.paso([&] {
        es.gProveedor = db.pSQLOLEDB();
        es.gServidor = db.gServidor;
        es.gDBName = es.gUsuario = es.gUserPassWord = QStringLiteral("SV_ESTADISTICAS");
    });
    r.paso([&] { es.OpenServerADODB(false, 3, {}, true, false); });
    if (es.gOpenFlag) {
        r.paso([&] { es.gCnn->setDefaultDatabase(QStringLiteral("SV_ESTADISTICAS")); });
        r.paso([&] { glb::TiempoEsperaComandos = TiempoEsperaConfigurado(CfgSV(QStringLiteral("TimeOut"))); });
        r.paso([&] {
            if (glb::TiempoEsperaComandos == 0)
                GrabaCfgSV(QStringLiteral("TimeOut"), Variant(std::int16_t(0)), {}, false, QStringLiteral("BaseDeDatos"), true);
        });
    }
    r.paso([&] {
        if (glb::TiempoEsperaComandos == 0)
            glb::TiempoEsperaComandos = 90;
    });
    r.paso([&] { db.gCnn->CommandTimeout = glb::TiempoEsperaComandos; });
    r.paso([&] { db.gCnn->IsolationLevel = ado::adXactReadUncommitted; });
}

// Step 9: the marker "* *" stands for the operator's password as stored.
void ClaveGuardada()
{
    if (glb::ClaveActual != u"* *")
        return;
    DB_Dll& db = DB();
    ado::Recordset rs;
    QString sql = QStringLiteral("Select * from ta_usuarios  with(nolock)  where Nombre = '") + TextoSQL(glb::UsuarioActual)
        + u'\'';
    db.AbrirRecordset(sql, rs, nullptr, 0, 1, -1, true);
    if (rs.State() != ado::adStateClosed && !rs.EOF_()) {
        FuncionesGenerales fg;
        glb::ClaveActual = fg.DecodificaClave(fg.ValorCampo(rs.Fields(QStringLiteral("Password")).Value()).toString());
    }
    db.CierraRecordset(rs);
}

enum class Ingreso { Rechazado, Valido, Reconectar };

// Steps 11 and 12: up to three further tries in the access dialog. A try
// that names another database or server asks for a new connection (p).
Ingreso OtrosIntentos(ParametrosInicio& p)
{
    DB_Dll& db = DB();
    const QString CRLF = QStringLiteral("\r\n");
    const QString usuarioInicial = glb::UsuarioActual;
    operador().MsgBox(QStringLiteral("El usuario o clave en la base de datos es incorrecto!") + CRLF
                          + QStringLiteral("Intentelo nuevamente"),
                      estilo::Critical, QStringLiteral("Atencion!"));
    for (int intento = 1; intento <= 3; ++intento) {
        inicio::DatosAcceso datos{glb::UsuarioActual, glb::ClaveActual, db.gServidor, db.gDBName};
        const bool aceptado = inicio::PideAccesoOtraVez && inicio::PideAccesoOtraVez(datos);
        if (!aceptado)
            TerminaInicio(QStringLiteral("El usuario o clave en la base de datos es incorrecto (usuario ")
                          + vb::Acota(usuarioInicial) + QStringLiteral("); no se ingreso otro."));
        glb::UsuarioActual = datos.usuario;
        glb::ClaveActual = datos.clave;
        if (ValidaUsuario(glb::UsuarioActual, glb::ClaveActual)) {
            if (vb::Iguales(datos.base, db.gDBName) && vb::Iguales(datos.servidor, db.gServidor))
                return Ingreso::Valido;
            p.DbName = datos.base;
            p.Server = datos.servidor;
            return Ingreso::Reconectar;
        }
        operador().MsgBox(QStringLiteral("Usuario o Clave incorrecta"), estilo::Information, QStringLiteral("Atencion"));
        QString complemento = QStringLiteral("0");
        RegistraAccion({}, {}, complemento, true, false, QStringLiteral("Intento de inicio de sesion fallido"), {}, false);
    }
    operador().MsgBox(QStringLiteral("Demasiados intentos para iniciar sesi\u00f3n!") + CRLF
                          + QStringLiteral("Comuniquese con el administrador de sistemas"),
                      estilo::Critical, QStringLiteral("Atencion!"));
    TerminaInicio(QStringLiteral("Demasiados intentos para iniciar sesion (usuario ") + vb::Acota(glb::UsuarioActual)
                  + QStringLiteral(")."));
}

} // namespace

QString inicio::ConectaPrincipal(const ParametrosInicio& p, QString& cadena, std::int32_t cursor, bool muestraError)
{
    DB_Dll& db = DB();
    db.gUsuario = db.gDBName = db.gUserPassWord = p.DbName;
    db.gServidor = NormalizaServidor(p.Server);
    const bool pide = vb::Trim(p.Server).isEmpty() || vb::Trim(p.Usuario).isEmpty();
    db.OpenServerADODB(pide, cursor, cadena, true, muestraError);
    if (db.gOpenFlag)
        return {};
    if (pide)
        return QStringLiteral("Faltan los datos de conexion: indique @Server, @DbName y @Usuario.");
    const QString motivo = MotivoConexion(db);
    return QStringLiteral("No se pudo conectar con la base de datos ") + vb::Acota(db.gDBName) + QStringLiteral(" del servidor ")
        + vb::Acota(db.gServidor) + u'.' + (motivo.isEmpty() ? QString() : QStringLiteral(" ") + vb::Acota(motivo, 600));
}

void TerminaInicio(const QString& motivo)
{
    Cartel().CartelCerrar();
    // No box of its own: the database layer has shown what it knew, and a
    // scheduled run must not wait for a click. The log and the terminal keep it.
    AgregaLineaRegistro(DB().RutaArchivoErrores(), LineaRegistroErrores(QStringLiteral("IniciarAplicacion"), motivo, 0));
    std::fprintf(stderr, "%s\n", TextoDeTerminal(vb::Acota(OcultaClaves(motivo), 1000)).toLocal8Bit().constData());
    aplicacion::Terminar(EXIT_FAILURE);
}

void IniciarAplicacion(QString& parametros, QString& cadenaConexion, std::int32_t& ubicacionCursor)
{
    FuncionesGenerales fg;
    Dll_Display& cartel = Cartel();
    // Any error but number 5 ends the program; the database layer has already
    // told the operator what it knew.
    QString omitido; // the last error passed over, told if the start-up cannot go on after it
    Rutina r([&](const VbError& e) -> Accion {
        cartel.CartelCerrar();
        if (e.Number == vberr::InvalidCall) {
            omitido = MensajeError(e);
            return Accion::Siguiente;
        }
        TerminaInicio(MensajeError(e));
    });
    r.paso([&] { cartel.CartelInicio(QStringLiteral("Conectando Base de Datos"), false); });
    r.paso([&] {
        bool cancelado = false;
        cartel.CartelMostrar(cancelado, Variant(u"Iniciando Aplicacion"), Variant(aplicacion::NombreEjecutable()),
                             Variant(u"Espere por favor"));
    });
    r.paso([&] {
        glb::RutaPrograma = fg.BarraFinal(aplicacion::Carpeta());
        aplicacion::FijaArchivoAyuda(glb::RutaPrograma + QStringLiteral("htmlhelp\\torvonetplus.chm"));
    });
    QString cadena;
    r.paso([&] { cadena = CadenaParametros(parametros); });
    DB_Dll& db = DB();
    bool conectar = !db.gOpenFlag;
    ParametrosInicio p;
    if (conectar)
        r.paso([&] { p = LeeParametros(cadena, cadenaConexion); });
    for (;;) {
        if (conectar) {
            r.paso([&] { Conecta(p, cadenaConexion, ubicacionCursor); });
            ConectaEstadisticas();
        }
        if (!db.gDBName.isEmpty()) {
            r.paso([&] { CarpetaBase().Asigna(glb::RutaPrograma); });
            r.paso([&] { db.gCnn->setDefaultDatabase(db.gDBName); });
            r.paso([&] {
                Lib_ClsCons3& c = Consultas();
                c.gConnString = db.gConnString;
                c.gUsarMascarasConsultas = true;
                c.gRutaMascaraConsultas = rutas::ArchivoEnCarpeta(glb::RutaPrograma, QStringLiteral("consultas.slv"));
            });
            r.paso([&] {
                if (!rutas::ExisteArchivo(Consultas().gRutaMascaraConsultas))
                    CreaConsultasBase();
            });
            r.paso([&] { db.gCnn->setDefaultDatabase(db.gDBName); });
            r.paso([&] { if (inicio::TrasPrepararConsultas) inicio::TrasPrepararConsultas(); });
            r.paso([&] { CargaConfiguracion(glb::RutaPrograma); });
        }
        r.paso([&] { ClaveGuardada(); });
        bool valido = false;
        r.paso([&] { valido = ValidaUsuario(glb::UsuarioActual, glb::ClaveActual); });
        if (valido)
            break;
        // Not signed on until a try passes: an error that cuts the tries short
        // must not let the run in.
        Ingreso ingreso = Ingreso::Rechazado;
        r.paso([&] { ingreso = OtrosIntentos(p); });
        if (ingreso == Ingreso::Rechazado)
            TerminaInicio(QStringLiteral("No se completo el inicio de sesion (usuario ") + vb::Acota(glb::UsuarioActual)
                          + QStringLiteral("): ") + omitido);
        if (ingreso == Ingreso::Valido)
            break;
        conectar = true;
    }
    r.paso([&] { RegistraAcceso({}); });
    r.paso([&] { cartel.CartelCerrar(); });
}
