#include "startup/iniciar_aplicacion.h"

#include "config/configuracion.h"
#include "db/db_dll.h"
#include "db/globales.h"
#include "db/registro_errores.h"
#include "platform/aplicacion.h"
#include "platform/errores.h"
#include "platform/operador.h"
#include "platform/vb.h"
#include "startup/carga_configuracion.h"
#include "startup/parametros.h"
#include "suitelib/carpeta_base.h"
#include "suitelib/funciones_generales.h"

namespace {

// The main connection, as the suite's programs open it.
void Conecta(const ParametrosInicio& p, QString& cadena, std::int32_t cursor)
{
    DB_Dll& db = DB();
    db.gUsuario = db.gDBName = db.gUserPassWord = p.DbName;
    db.gServidor = NormalizaServidor(p.Server);
    const bool pide = vb::Trim(p.Server).isEmpty() || vb::Trim(p.Usuario).isEmpty();
    db.OpenServerADODB(pide, cursor, cadena, true, true);
    if (!db.gOpenFlag) {
        if (pide)
            TerminaInicio(QStringLiteral("Faltan los datos de conexion: indique @Server, @DbName y @Usuario."));
        TerminaInicio(QStringLiteral("No se pudo conectar con la base de datos ") + db.gDBName + QStringLiteral(" del servidor ")
                      + db.gServidor + u'.');
    }
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
        r.paso([&] {
            const double t = vb::Val(CfgSV(QStringLiteral("TimeOut")));
            glb::TiempoEsperaComandos = t >= 0 && t <= 32767 ? std::int16_t(t) : std::int16_t(0);
        });
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

} // namespace

void TerminaInicio(const QString& motivo)
{
    AgregaLineaRegistro(DB().RutaArchivoErrores(),
                        LineaRegistroErrores(QStringLiteral("IniciarAplicacion"), motivo, 0));
    operador().MsgBox(motivo, estilo::Critical, QStringLiteral("Atencion!"));
    aplicacion::Terminar(EXIT_FAILURE);
}

void IniciarAplicacion(QString& parametros, QString& cadenaConexion, std::int32_t& ubicacionCursor)
{
    FuncionesGenerales fg;
    // Any error but number 5 ends the program; the database layer has already
    // told the operator what it knew.
    Rutina r([](const VbError& e) -> Accion {
        if (e.Number == vberr::InvalidCall)
            return Accion::Siguiente;
        TerminaInicio(MensajeError(e));
    });
    r.paso([&] { glb::RutaPrograma = fg.BarraFinal(aplicacion::Carpeta()); });
    QString cadena;
    r.paso([&] { cadena = CadenaParametros(parametros); });
    DB_Dll& db = DB();
    if (!db.gOpenFlag) {
        ParametrosInicio p;
        r.paso([&] { p = LeeParametros(cadena, cadenaConexion); });
        r.paso([&] { Conecta(p, cadenaConexion, ubicacionCursor); });
        ConectaEstadisticas();
    }
    if (!db.gDBName.isEmpty()) {
        r.paso([&] { CarpetaBase().Asigna(glb::RutaPrograma); });
        r.paso([&] { db.gCnn->setDefaultDatabase(db.gDBName); });
        r.paso([&] { CargaConfiguracion(glb::RutaPrograma); });
    }
}
