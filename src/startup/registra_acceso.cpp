#include "startup/registra_acceso.h"

#include "db/db_dll.h"
#include "db/globales.h"
#include "platform/aplicacion.h"
#include "platform/errores.h"
#include "platform/vb.h"
#include "startup/actualiza_script.h"
#include "startup/sentencias.h"
#include "suitelib/equipo.h"
#include "suitelib/funciones_generales.h"

#include <QDateTime>

QString TextoSQL(const QString& valor) { return QString(valor).replace(u'\'', QStringLiteral("''")); }

QString ProcesoDeAcceso(const QString& nombre, bool& sinFila)
{
    struct Regla {
        std::initializer_list<const char16_t*> nombres;
        const char16_t* proceso;
    };
    static const Regla reglas[] = {
        {{u"FS_V_MV_VENTAS", u"FS_V_MV_VENTASh", u"V_MV_VENTASPDVG", u"V_MV_VENTASPDV"}, u"V_MV_VENTAS"},
        {{u"V_MV_VENTASPDVGEP"}, u"V_MV_VENTASPDVG"},
        {{u"FS_V_MV_COMANDAH"}, u"FS_V_MV_COMANDA"},
        {{u"EM_PLANILLAARTICULOS2"}, u"EM_PLANILLAARTICULOS"},
        {{u"EM_PLANILLAEDITDATOS2"}, u"EM_PLANILLAEDITDATOS"},
        {{u"V_MA_PRECIOS2"}, u"V_MA_PRECIOS"},
        {{u"V_MA_ARTICULOS2"}, u"V_MA_ARTICULOS"},
        {{u"UTLFISCALH"}, u"UTLFISCAL"},
        {{u"EM_DBACUM"}, u"Controlbaseap"},
        {{u"UtlFiscal", u"UtlFiscalh", u"Utl_CtrlFiscal", u"Utl_CtrlFiscalh", u"TIMERLIQUIDACION", u"Interface_Art",
          u"MA_AFdesANEW", u"CONS_MV_ASIENTOS", u"EM_DMD_InformeStock", u"SVMAPA", u"INTERFACERECEPMAESTROS"},
         u""},
        {{u"EM_Backup"}, u""},
    };
    sinFila = vb::Iguales(nombre, u"EM_Backup");
    for (const Regla& r : reglas)
        for (const char16_t* n : r.nombres)
            if (vb::Iguales(nombre, n))
                return QString::fromUtf16(r.proceso);
    return nombre;
}

void RegistraAcceso(const QString& nombre)
{
    DB_Dll& db = DB();
    FuncionesGenerales fg;
    Rutina r = Rutina::Omitir();
    const QString ejecutable = aplicacion::NombreEjecutable();
    QString formulario, proceso, tarea;
    bool sinFila = false;

    r.paso([&] { formulario = nombre.isEmpty() ? ejecutable : nombre; });
    r.paso([&] {
        if (glb::UsuarioActual.isEmpty())
            glb::UsuarioActual = db.gUsuario;
    });
    r.paso([&] { proceso = ProcesoDeAcceso(formulario, sinFila); });
    if (sinFila)
        return;
    if (!proceso.isEmpty()) {
        ado::Recordset rs;
        r.paso([&] {
            QString sql = QStringLiteral("SELECT TA_TAREAS.USUARIO, TA_MENU.Proceso, TA_MENU.Clave , TA_MENU.Nombre ")
                + QStringLiteral(" FROM TA_TAREAS  with(nolock) INNER JOIN TA_MENU ON TA_TAREAS.TAREA = TA_MENU.Clave ")
                + QStringLiteral(" WHERE (TA_TAREAS.USUARIO = '") + TextoSQL(glb::UsuarioActual)
                + QStringLiteral(" ') AND (TA_MENU.Proceso LIKE '%") + TextoSQL(proceso) + QStringLiteral("%')");
            db.AbrirRecordset(sql, rs, nullptr, 0, 1);
        });
        r.paso([&] {
            if (rs.State() == ado::adStateClosed)
                return; // a failing lookup leaves the task empty
            if (!rs.EOF_())
                tarea = fg.ValorCampo(rs.Fields(QStringLiteral("nombre")).Value()).toString();
            else if (vb::Iguales(ejecutable, u"CN000PR"))
                tarea = QStringLiteral("Menu Principal");
            else if (vb::Iguales(db.gUsuario, db.gDBName) || vb::Iguales(db.gUsuario, u"SUPERVISOR SOLVANE MC"))
                tarea = ejecutable;
        });
        r.paso([&] { db.CierraRecordset(rs); });
    }
    if (vb::Iguales(ejecutable, u"CN000PR"))
        return;

    QStringList sentencias{QString()};
    const QString ingreso = FormateaFecha(QDateTime::currentDateTime(), FormatoFecha()) + u' '
        + FormateaFecha(QDateTime::currentDateTime(), FormatoHora());
    const QString comilla = QStringLiteral("'");
    QString maquina, usuario, form, tareaFila, ingresoFila, nombreUsuario;
    r.paso([&] {
        maquina = vb::Trim(Equipo().NombreEquipo()).toUpper();
        AgregaCampo(QStringLiteral("Maquina"), maquina, comilla, true);
    });
    r.paso([&] {
        usuario = vb::Trim(glb::UsuarioActual).toUpper();
        AgregaCampo(QStringLiteral("Usuario"), usuario, comilla, false);
    });
    r.paso([&] {
        form = vb::Trim(formulario).toUpper();
        AgregaCampo(QStringLiteral("Formulario"), form, comilla, false);
    });
    r.paso([&] {
        tareaFila = vb::Trim(tarea).toUpper();
        AgregaCampo(QStringLiteral("Tarea"), tareaFila, comilla, false);
    });
    r.paso([&] {
        ingresoFila = ingreso;
        AgregaCampo(QStringLiteral("Ingreso"), ingresoFila, comilla, false);
    });
    r.paso([&] {
        nombreUsuario = glb::UsuarioActual;
        AgregaCampo(QStringLiteral("NombreUsuario"), nombreUsuario, comilla, false);
    });
    r.paso([&] {
        QString where;
        ArmaSentencia(CamposSentencia(), sentencias, QStringLiteral("Control_Acceso"), false, where, false);
    });
    r.paso([&] {
        bool hubo = false;
        std::int32_t nro = 0;
        QString script, msg;
        GActualizarDatoScript(sentencias, hubo, nro, false, false, script, msg, true);
    });
}
