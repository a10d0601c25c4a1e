#include "startup/usuario.h"

#include "config/configuracion.h"
#include "db/db_dll.h"
#include "db/globales.h"
#include "platform/aplicacion.h"
#include "platform/errores.h"
#include "platform/vb.h"
#include "startup/registra_acceso.h"
#include "startup/sentencias.h"
#include "suitelib/equipo.h"
#include "suitelib/funciones_generales.h"

bool ValidaUsuario(QString& usuario, QString& clave)
{
    DB_Dll& db = DB();
    if (vb::Iguales(usuario, db.gDBName)) {
        glb::UsuarioActual = usuario;
        return true;
    }
    FuncionesGenerales fg;
    Rutina r = Rutina::Omitir();
    ado::Recordset rs;
    bool valido = false;
    const QString sistemas = vb::Iguales(aplicacion::NombreEjecutable(), u"RENDAL")
        ? QStringLiteral("'RENDAL'")
        : QStringLiteral("'cn000pr','TORVO'");
    QString sql = QStringLiteral("SELECT * FROM TA_USUARIOS WHERE NOMBRE = '") + TextoSQL(vb::Trim(usuario))
        + QStringLiteral("' AND SISTEMA IN (") + sistemas + u')';
    if (!r.paso([&] { db.AbrirRecordset(sql, rs, db.gCnn, 0, 1, -1, true); }))
        return false;
    r.paso([&] {
        if (rs.State() == ado::adStateClosed || rs.EOF_())
            return;
        glb::UsuarioActual = usuario;
        const QString guardada = fg.DecodificaClave(fg.ValorCampo(rs.Fields(QStringLiteral("Password")).Value()).toString());
        valido = guardada.compare(clave, Qt::CaseInsensitive) == 0;
    });
    r.paso([&] { db.CierraRecordset(rs); });
    return valido;
}

QDateTime FechaServidor()
{
    DB_Dll& db = DB();
    Rutina r = Rutina::Omitir();
    ado::Recordset rs;
    QDateTime fecha;
    r.paso([&] {
        QString sql = QStringLiteral("select  getDate() as fecha");
        db.AbrirRecordset(sql, rs, db.gCnn, 0, 1, -1, true);
    });
    r.paso([&] {
        if (rs.State() != ado::adStateClosed && !rs.EOF_()) {
            const QString texto = rs.Fields(QStringLiteral("FECHA")).Value().toDate().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
            fecha = QDateTime::fromString(texto, QStringLiteral("dd/MM/yyyy HH:mm:ss"));
        }
    });
    r.paso([&] {
        if (fecha.isValid())
            return;
        fecha = QDateTime::currentDateTime();
        if (glb::UsarFechaDia) {
            const QString operativa = vb::Trim(Cfg(QStringLiteral("FECHAOPERHASTA")));
            for (const char* forma : {"dd/MM/yyyy HH:mm:ss", "dd/MM/yyyy", "d/M/yyyy", "dd/MM/yy"}) {
                const QDateTime f = QDateTime::fromString(operativa, QLatin1String(forma));
                if (f.isValid()) {
                    fecha = f;
                    break;
                }
            }
        }
    });
    r.paso([&] { db.CierraRecordset(rs); });
    return fecha;
}

void RegistraAccion(const QString& tipoComprobante, const QString& idComprobante, QString& complemento, bool alta,
                    bool modifica, const QString& descripcion, const QString& cuenta, bool error)
{
    FuncionesGenerales fg;
    Rutina r = Rutina::Omitir();
    ListaCampos& pares = CamposSentencia();
    // Values come from callers and operators: an apostrophe must not end the literal.
    const auto texto = [](const QString& v) { return u'\'' + TextoSQL(v) + u'\''; };
    QString sql;
    r.paso([&] { pares.clear(); });
    r.paso([&] { pares.push_back({QStringLiteral("TC"), texto(fg.FormateaValor(vb::Trim(tipoComprobante), 4))}); });
    r.paso([&] { pares.push_back({QStringLiteral("IdComprobante"), texto(idComprobante)}); });
    r.paso([&] {
        if (complemento.isEmpty())
            complemento = QStringLiteral("0");
        pares.push_back({QStringLiteral("IdComplemento"), complemento});
    });
    r.paso([&] {
        const char* tipo = error ? "ER" : alta ? "A" : modifica ? "M" : "B";
        pares.push_back({QStringLiteral("Tipo_accion"), texto(QLatin1String(tipo))});
    });
    r.paso([&] { pares.push_back({QStringLiteral("FECHAHORA"), texto(Variant(FechaServidor()).toString())}); });
    r.paso([&] { pares.push_back({QStringLiteral("Usuario"), texto(glb::UsuarioActual)}); });
    r.paso([&] { pares.push_back({QStringLiteral("PC"), texto(Equipo().NombreEquipo())}); });
    r.paso([&] { pares.push_back({QStringLiteral("SYSTEMUSER"), texto(vb::Trim(fg.LimitaTexto(descripcion, 255)))}); });
    r.paso([&] {
        const QString proceso = vb::Trim(aplicacion::NombreEjecutable()) + u' ' + glb::ParametroAdicional;
        pares.push_back({QStringLiteral("Proceso"), texto(fg.LimitaTexto(proceso, 255))});
    });
    r.paso([&] { pares.push_back({QStringLiteral("ProcesoLote"), texto({})}); });
    r.paso([&] { pares.push_back({QStringLiteral("Cuenta"), texto(vb::Trim(fg.LimitaTexto(vb::Trim(cuenta), 15)))}); });
    r.paso([&] {
        sql = QStringLiteral(" INSERT INTO V_MV_CPTEACCIONES ");
        ArmaValores(sql, pares, true);
    });
    r.paso([&] {
        std::int32_t afectadas = 0;
        DB().EjecutaConsultaSQL(sql, afectadas);
    });
}
