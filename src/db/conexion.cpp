#include "db/db_privado.h"
#include "db/globales.h"
#include "db/registro_errores.h"

#include "platform/aplicacion.h"
#include "platform/operador.h"
#include "platform/vb.h"

namespace {

// The connection string of the server layouts.
void ArmaCadena(DB_Dll& db)
{
    if (db.gServidor.contains(u'#')) {
        db.gConnString = QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=") + db.gDBName + QStringLiteral(";User Id=")
            + db.gUsuario + QStringLiteral(";Password=") + db.gUserPassWord + u';';
        return;
    }
    db.gConnString.clear();
    db.gConnString = QStringLiteral("PROVIDER=") + DB_Dll::pSQLOLEDB() + QStringLiteral(";Server=") + db.gServidor
        + QStringLiteral(";Database =") + db.gDBName + QStringLiteral(";UId=") + db.gUsuario + QStringLiteral(";Pwd=")
        + db.gUserPassWord + u';' + db.gExtended;
}

// The parameter dialog: true when accepted. A refusal leaves gOpenFlag False.
bool PideParametros(DB_Dll& db)
{
    DialogoParametros* d = DialogoParametrosInstalado();
    db.gOpenFlag = d && d->Pedir(db);
    return db.gOpenFlag;
}

int CajaErrorConexion(const DB_Dll& db)
{
    const ado::Error& e = db.gCnn->errors().Item(0);
    const QString CR = QStringLiteral("\r"), CRLF = QStringLiteral("\r\n");
    const QString texto = QStringLiteral(" Estado de Sql: ") + e.SQLState + CR + QStringLiteral("Numero de Error: ")
        + QString::number(e.Number) + CR + QStringLiteral("Descripcion: ") + OcultaClaves(e.Description) + CR
        + QStringLiteral("Codigo Nativo: ") + QString::number(e.NativeError) + CR + CRLF
        + QStringLiteral("Nombre de Proceso: ") + aplicacion::NombreEjecutable() + CR + CRLF + CRLF
        + QStringLiteral("1. Verifique el Usuario, contraseña y base de datos") + CRLF
        + QStringLiteral("2. Verifique el nombre del servidor, quizas necesite agregarle el nombre de la instancia, por ejemplo : ")
        + DB().gServidor + QStringLiteral("\\TORVONET") + CRLF + QStringLiteral("3. Verifique si el inicio de sesion para el usuario ")
        + DB().gUsuario + QStringLiteral(" existe") + CRLF + CRLF + CRLF + QStringLiteral(" - Desea Intentarlo Nuevamente??? ");
    return operador().MsgBox(texto, estilo::YesNo + estilo::Critical, QStringLiteral(" Error de Conexion a Base de Datos"));
}

// Decides whether the operator counts as administrator.
void ValidaAdministrador(DB_Dll& db, bool MuestraError)
{
    if (vb::Trim(db.gDBName).isEmpty())
        return;
    db.gCnn->setDefaultDatabase(db.gDBName);
    if (!db.ExisteTablaDB(QStringLiteral("TA_USUARIOS")))
        return;
    if (!MuestraError) {
        db.gEsAdmin = true;
        return;
    }
    // The operator name may have been typed: its apostrophes are doubled.
    QString nombre = glb::UsuarioActual;
    nombre.replace(u'\'', QStringLiteral("''"));
    const Variant v = db.DatosTabla(QStringLiteral("ta_usuarios"), nombre, QStringLiteral("Administrador"),
                                    QStringLiteral("nombre"), Variant(std::int32_t(8)), {}, true, false);
    db.gEsAdmin = vb::Val(v.isNull() || v.isObject() ? QString() : v.toString()) == 1;
}

// A fragment added to a connection string, separated by exactly one ";".
QString UneFragmento(const QString& cadena, const QString& fragmento)
{
    if (fragmento.isEmpty() || vb::Trim(cadena).isEmpty() || vb::RTrim(cadena).endsWith(u';'))
        return cadena + fragmento;
    return cadena + u';' + fragmento;
}

} // namespace

void DB_Dll::OpenServerADODB(bool PideParametrosSQL, std::int32_t lCursor, const QString& ConnString, bool ValidaAdmin,
                             bool MuestraError)
{
    bool regla3705Usada = false;
    bool rechazado = false;
    auto regla3705 = [&](const VbError& e) {
        if (e.Number != ado::adErrObjectOpen || regla3705Usada)
            return false;
        regla3705Usada = true;
        try {
            gCnn->Close();
        } catch (const VbError&) {
        }
        return true;
    };
    Rutina r([&](const VbError& e) {
        if (!MuestraError) {
            if (regla3705(e))
                return Accion::Reintentar;
            gOpenFlag = false;
            return Accion::Salir;
        }
        if (gCnn->errors().Count() > 0) {
            if (CajaErrorConexion(*this) != respuesta::Yes) {
                gOpenFlag = false;
                return Accion::Salir;
            }
            gCnn->errors().Clear();
            if (auto d = DialogoParametrosInstalado())
                d->Ocultar();
            if (!PideParametros(*this))
                return Accion::Salir;
            ArmaCadena(*this);
            return Accion::Reintentar;
        }
        if (regla3705(e))
            return Accion::Reintentar;
        operador().MsgBox(OcultaClaves(e.Description), estilo::OKOnly, {});
        // A connection that did not open is not reported as open.
        if (gCnn->State() != ado::adStateOpen)
            gOpenFlag = false;
        return Accion::Salir;
    });

    r.paso([&] {
        gOpenFlag = true;
        if (gProveedor.isEmpty())
            gProveedor = pSQLOLEDB();
    });
    r.paso([&] {
        if (vb::Trim(ConnString).isEmpty())
            ArmaCadena(*this);
        else
            gConnString = ConnString;
    });
    if (PideParametrosSQL) {
        r.paso([&] { rechazado = !PideParametros(*this); });
        if (rechazado || r.salio())
            return;
        r.paso([&] { ArmaCadena(*this); });
    }
    r.paso([&] {
        gCnn->CursorLocation = lCursor;
        gCnn->Open(gConnString, {}, {}, -1);
    });
    if (ValidaAdmin)
        r.paso([&] { ValidaAdministrador(*this, MuestraError); });
    else
        r.paso([&] { gEsAdmin = true; });
}

void DB_Dll::ReintentaConectar()
{
    Rutina r([&](const VbError& e) {
        if (e.Number == ado::adErrObjectClosed)
            return Accion::Siguiente;
        gOpenFlag = false;
        if (e.Number == ado::E_FAIL)
            return Accion::Salir;
        return Rutina::SegunRespuesta(TratamientoErrores(e, std::nullopt, QStringLiteral("AbrirRecordset")));
    });
    r.paso([&] { gOpenFlag = false; });
    r.paso([&] { gCnn->CommandTimeout = 90; });
    r.paso([&] { gCnn->Close(); });
    r.paso([&] { gCnn->Open(gCnn->ConnectionString, DB().gUsuario, DB().gUserPassWord, -1); });
    // An ignored failure of the open must not read as a re-opened connection.
    r.paso([&] { gOpenFlag = gCnn->State() == ado::adStateOpen; });
}

void DB_Dll::OpenLocalADODB(const QString& ConnString, const QString& CadenaID, const QString& CadenaPWD)
{
    auto eligeArchivo = [&] {
        DialogoArchivo& dlg = CmdDlg();
        dlg.DialogTitle = QStringLiteral("Buscar Base de Datos");
        dlg.Filter = QStringLiteral("Base de Datos de Microsoft Access |*.MDB");
        dlg.ShowOpen();
        if (dlg.Cancelado)
            return false;
        gDBName = dlg.FileName;
        return true;
    };
    QString claveBase;         // "Jet OLEDB:Database Password=...;" of the next attempt
    bool claveGuardadaProbada = false;
    // Every way out without an open connection says so.
    gOpenFlag = false;
    for (;;) {
        if (vb::Trim(gDBName).isEmpty() && !eligeArchivo())
            return;
        const QString cadena = UneFragmento(!ConnString.isEmpty()
                                                ? ConnString
                                                : QStringLiteral("PROVIDER=") + gProveedor + QStringLiteral(";Data Source =")
                                                    + gDBName + u';' + CadenaID + u'=' + gUsuario + u';' + CadenaPWD + u'='
                                                    + gUserPassWord + u';' + gExtended,
                                            claveBase);
        try {
            gCnn->Open(cadena, {}, {}, -1);
            gConnString = cadena;
            gOpenFlag = true;
            return;
        } catch (const VbError& e) {
            const QString estado = gCnn->errors().Count() > 0 ? gCnn->errors().Item(0).SQLState : QString();
            if (estado == u"3024" || estado == u"3051" || estado == u"3044") {
                // A cancelled choice ends here instead of failing on the same file again.
                if (!eligeArchivo())
                    return;
                continue;
            }
            if (estado == u"3031") {
                // The stored password is tried once; after that, and without it,
                // the operator is asked once per failed attempt. No answer ends.
                QString clave;
                const bool ignora = !gIgnoraPassWord.isEmpty() && !gIgnoraPassWord.isNull() && gIgnoraPassWord.toBool();
                if (ignora && !claveGuardadaProbada) {
                    clave = gUserPassWord;
                    claveGuardadaProbada = true;
                } else {
                    clave = operador().InputBox(QStringLiteral("ingrese el password:"), QStringLiteral("Password Access"), {});
                    if (clave.isEmpty())
                        return;
                }
                claveBase = QStringLiteral("Jet OLEDB:Database Password=") + clave + u';';
                continue;
            }
            operador().MsgBox(QString::number(e.Number) + QStringLiteral("  ") + e.Description, estilo::Critical, {});
            return;
        }
    }
}
