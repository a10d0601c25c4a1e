#include "comun/base_prueba.h"

#include <QElapsedTimer>

namespace {

const QString kUsuarios = QStringLiteral(
    "CREATE TABLE TA_USUARIOS (Nombre TEXT COLLATE NOCASE, Password TEXT, Administrador TEXT);"
    "INSERT INTO TA_USUARIOS VALUES ('ADMIN','x','1'),('BLANCO','x',' 1'),('DECIMAL','x','1.0'),"
    "('CERO','x','0'),('VACIO','x',''),('LETRA','x','S'),('O''HARA','x','1');");

// A parameter dialog that answers as the operator would.
struct DialogoFijo : DialogoParametros {
    bool acepta = true;
    QString base = QStringLiteral("EMPRESA");
    QString servidor = QStringLiteral("LOCAL");
    bool oracle = false;
    int pedidos = 0;
    bool Pedir(DB_Dll& db) override
    {
        ++pedidos;
        if (!acepta)
            return false;
        db.gDBName = db.gUsuario = db.gUserPassWord = base;
        db.gServidor = servidor;
        db.gProveedor = oracle ? QStringLiteral("OraOLEDB.Oracle.1") : DB_Dll::pSQLOLEDB();
        if (oracle && !db.gServidor.contains(u'#'))
            db.gServidor += u'#';
        return true;
    }
};

class Conexion : public prueba::BasePrueba {
protected:
    DialogoFijo dialogo;
    void SetUp() override
    {
        BasePrueba::SetUp();
        CreaBase(QStringLiteral("EMPRESA"), kUsuarios);
        InstalaDialogoParametros(&dialogo);
    }
    void TearDown() override
    {
        InstalaDialogoParametros(nullptr);
        BasePrueba::TearDown();
    }
};

TEST_F(Conexion, AbreElServidorEmbebidoConLaCadenaDelServidor)
{
    DB_Dll& db = DB();
    EXPECT_TRUE(db.gProveedor.isEmpty());
    Abre(db, QStringLiteral("EMPRESA"));
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gProveedor, u"SQLOLEDB");
    EXPECT_EQ(db.gConnString, u"PROVIDER=SQLOLEDB;Server=LOCAL;Database =EMPRESA;UId=EMPRESA;Pwd=EMPRESA;");
    EXPECT_EQ(db.gCnn->State(), ado::adStateOpen);
    EXPECT_EQ(db.gCnn->CursorLocation, ado::adUseClient);
    EXPECT_TRUE(db.gEsAdmin); // no administrator check asked
}

TEST_F(Conexion, CadenaDadaSeUsaTalCual)
{
    DB_Dll& db = DB();
    const QString cadena = QStringLiteral("PROVIDER=SQLOLEDB;Server=LOCAL;Database =EMPRESA;UId=A;Pwd=B;");
    db.OpenServerADODB(false, 3, cadena, false, true);
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gConnString, cadena);
}

TEST_F(Conexion, BaseInexistenteSinMensajesTerminaCallada)
{
    DB_Dll& db = DB();
    db.gServidor = QStringLiteral("LOCAL");
    db.gDBName = QStringLiteral("NOHAY");
    db.OpenServerADODB(false, 3, {}, true, false);
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_TRUE(op->mostrados.empty());
    ASSERT_GT(db.gCnn->errors().Count(), 0);
    EXPECT_EQ(db.gCnn->errors().Item(0).NativeError, 4060);
}

TEST_F(Conexion, CajaDeErrorDeConexionNoTermina)
{
    DB_Dll& db = DB();
    db.gServidor = QStringLiteral("LOCAL");
    db.gDBName = db.gUsuario = QStringLiteral("NOHAY");
    op->respuestas = {respuesta::No};
    db.OpenServerADODB(false, 3, {}, true, true);
    EXPECT_FALSE(db.gOpenFlag);
    ASSERT_EQ(op->mostrados.size(), 1u);
    const auto& caja = op->mostrados[0];
    EXPECT_EQ(caja.titulo, u" Error de Conexion a Base de Datos");
    EXPECT_EQ(caja.estilo, estilo::YesNo + estilo::Critical);
    EXPECT_TRUE(caja.texto.startsWith(QStringLiteral(" Estado de Sql: ")));
    EXPECT_TRUE(caja.texto.contains(QStringLiteral("\rCodigo Nativo: 4060\r\r\nNombre de Proceso: ")));
    EXPECT_TRUE(caja.texto.contains(QStringLiteral("por ejemplo : LOCAL\\TORVONET\r\n3. Verifique si el inicio de sesion para el usuario NOHAY existe")));
    EXPECT_TRUE(caja.texto.endsWith(QStringLiteral("\r\n\r\n\r\n - Desea Intentarlo Nuevamente??? ")));
    EXPECT_EQ(dialogo.pedidos, 0);
}

TEST_F(Conexion, SiPideLosParametrosOtraVezYReintenta)
{
    DB_Dll& db = DB();
    db.gServidor = QStringLiteral("LOCAL");
    db.gDBName = QStringLiteral("NOHAY");
    op->respuestas = {respuesta::Yes};
    db.OpenServerADODB(false, 3, {}, false, true);
    EXPECT_EQ(dialogo.pedidos, 1);
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gDBName, u"EMPRESA");
    EXPECT_EQ(db.gCnn->State(), ado::adStateOpen);
    EXPECT_EQ(db.gCnn->errors().Count(), 0);
}

TEST_F(Conexion, DialogoRechazadoNoIntentaConectar)
{
    DB_Dll& db = DB();
    dialogo.acepta = false;
    db.OpenServerADODB(true, 3, {}, true, true);
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_EQ(db.gCnn->fallas().aperturas, 0);
    EXPECT_TRUE(op->mostrados.empty());

    InstalaDialogoParametros(nullptr); // no dialog at all counts as refused
    db.OpenServerADODB(true, 3, {}, true, true);
    EXPECT_FALSE(db.gOpenFlag);
}

TEST_F(Conexion, DialogoReemplazaUnaCadenaDada)
{
    DB_Dll& db = DB();
    db.OpenServerADODB(true, 3, QStringLiteral("PROVIDER=SQLOLEDB;Server=OTRO;Database =X;"), false, true);
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gConnString, u"PROVIDER=SQLOLEDB;Server=LOCAL;Database =EMPRESA;UId=EMPRESA;Pwd=EMPRESA;");
}

TEST_F(Conexion, PlataformaOracleUsaSuCadena)
{
    DB_Dll& db = DB();
    dialogo.oracle = true;
    dialogo.base = QStringLiteral("ORCL");
    db.OpenServerADODB(true, 3, {}, false, false);
    EXPECT_EQ(db.gServidor, u"LOCAL#");
    EXPECT_EQ(db.gConnString, u"Provider=OraOLEDB.Oracle.1;Data Source=ORCL;User Id=ORCL;Password=ORCL;");
    EXPECT_FALSE(db.gOpenFlag); // no such data source here
    dialogo.servidor = QStringLiteral("SRV#");
    db.OpenServerADODB(true, 3, {}, false, false);
    EXPECT_EQ(db.gServidor, u"SRV#");
}

TEST_F(Conexion, AbrirDosVecesCierraUnaVezYRepite)
{
    DB_Dll& db = DB();
    Abre(db, QStringLiteral("EMPRESA"));
    Abre(db, QStringLiteral("EMPRESA"));
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_TRUE(op->mostrados.empty());
    EXPECT_EQ(db.gCnn->fallas().aperturas, 2);
}

TEST_F(Conexion, ComprobacionDeAdministrador)
{
    const std::pair<const char16_t*, bool> casos[] = {{u"ADMIN", true},  {u"BLANCO", true}, {u"DECIMAL", true}, {u"CERO", false},
                                                       {u"VACIO", false}, {u"LETRA", false}, {u"NADIE", false},  {u"O'HARA", true}};
    for (const auto& [nombre, admin] : casos) {
        ReiniciaInstancias();
        glb::UsuarioActual = QString::fromUtf16(nombre);
        DB_Dll& db = DB();
        Abre(db, QStringLiteral("EMPRESA"), true);
        EXPECT_TRUE(db.gOpenFlag);
        EXPECT_EQ(db.gEsAdmin, admin) << glb::UsuarioActual.toStdString();
    }
    EXPECT_TRUE(op->mostrados.empty());
}

TEST_F(Conexion, SinMensajesYConTablaDeUsuariosEsAdministrador)
{
    glb::UsuarioActual = QStringLiteral("CERO");
    DB_Dll& db = DB();
    db.gServidor = QStringLiteral("LOCAL");
    db.gDBName = QStringLiteral("EMPRESA");
    db.OpenServerADODB(false, 3, {}, true, false);
    EXPECT_TRUE(db.gEsAdmin);
}

TEST_F(Conexion, ReintentaConectarSobreConexionCerrada)
{
    DB_Dll& db = DB();
    Abre(db, QStringLiteral("EMPRESA"));
    db.gCnn->Close();
    db.ReintentaConectar();
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gCnn->State(), ado::adStateOpen);
    EXPECT_EQ(db.gCnn->CommandTimeout, 90);
    EXPECT_TRUE(op->mostrados.empty());
}

TEST_F(Conexion, ReintentaConectarFallidoCallaOPregunta)
{
    DB_Dll& db = DB();
    Abre(db, QStringLiteral("EMPRESA"));
    // The database is gone: an unspecified provider failure ends quietly.
    ASSERT_TRUE(QFile::rename(archivoBase(QStringLiteral("EMPRESA")), archivoBase(QStringLiteral("OTRA"))));
    db.ReintentaConectar();
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_TRUE(op->mostrados.empty());
    ASSERT_TRUE(QFile::rename(archivoBase(QStringLiteral("OTRA")), archivoBase(QStringLiteral("EMPRESA"))));

    // Any other failure asks; Retry opens again, Abort leaves it closed.
    db.gCnn->fallas().veces = 1;
    db.gCnn->fallas().error = ado::Error{ado::DB_E_NOTABLE, QStringLiteral("rechazada"), QStringLiteral("Proveedor"), {}, 0};
    op->respuestas = {respuesta::Retry};
    db.ReintentaConectar();
    EXPECT_TRUE(db.gOpenFlag);
    db.gCnn->fallas().veces = 1;
    op->respuestas = {respuesta::Abort};
    db.ReintentaConectar();
    EXPECT_FALSE(db.gOpenFlag);
    ASSERT_EQ(op->mostrados.size(), 2u);
    EXPECT_EQ(op->mostrados[0].titulo, u"Proveedor - AbrirRecordset Aviso al operador!!! - 5 ");
    // Ignore goes on, but a connection that did not open is not reported open.
    db.gCnn->fallas().veces = 1;
    op->respuestas = {respuesta::Ignore};
    db.ReintentaConectar();
    EXPECT_FALSE(db.gOpenFlag);
}

TEST_F(Conexion, ServidorInalcanzableTerminaCallado)
{
    // A closed port on this machine: the server driver refuses at once.
    DB_Dll& db = DB();
    db.gServidor = QStringLiteral("127.0.0.1,1");
    db.gDBName = QStringLiteral("EMPRESA");
    QElapsedTimer t;
    t.start();
    db.OpenServerADODB(false, 3, {}, true, false);
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_TRUE(op->mostrados.empty());
    ASSERT_GT(db.gCnn->errors().Count(), 0);
    EXPECT_FALSE(db.gCnn->errors().Item(0).SQLState.isEmpty());
    db.ReintentaConectar();
    EXPECT_FALSE(db.gOpenFlag);
}

TEST_F(Conexion, CadenaMalFormadaOProveedorDesconocidoEsUnError)
{
    DB_Dll& db = DB();
    // Opened first, so that a stale True would show.
    Abre(db, QStringLiteral("EMPRESA"));
    ASSERT_TRUE(db.gOpenFlag);
    db.gCnn->Close();
    op->respuestas = {respuesta::No};
    db.OpenServerADODB(false, 3, QStringLiteral("PROVIDER=NoExiste.1;Data Source=x;"), false, true);
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_EQ(db.gCnn->State(), ado::adStateClosed);
    ASSERT_EQ(op->mostrados.size(), 1u);
    // The failure is in the connection's errors: the connection error box,
    // with the reason, answered No.
    const auto& caja = op->mostrados[0];
    EXPECT_EQ(caja.titulo, u" Error de Conexion a Base de Datos");
    EXPECT_EQ(caja.estilo, estilo::YesNo + estilo::Critical);
    EXPECT_TRUE(caja.texto.contains(QStringLiteral("\rDescripcion: Provider cannot be found.")));
    EXPECT_TRUE(caja.texto.contains(QStringLiteral("(NoExiste.1)")));
    EXPECT_EQ(dialogo.pedidos, 0);

    Abre(db, QStringLiteral("EMPRESA"));
    ASSERT_TRUE(db.gOpenFlag);
    db.gCnn->Close();
    op->mostrados.clear();
    db.OpenServerADODB(false, 3, QStringLiteral("esto no es una cadena"), false, false);
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_EQ(db.gCnn->State(), ado::adStateClosed);
    EXPECT_TRUE(op->mostrados.empty());
}

class Jet : public prueba::BasePrueba {};

TEST_F(Jet, ArchivoFaltanteLlevaAElegirOtro)
{
    CreaBase(QStringLiteral("local"), QStringLiteral("CREATE TABLE T (A INTEGER);"));
    DB_Dll& db = DB();
    db.gProveedor = DB_Dll::pJETOLEDB40();
    db.gDBName = dir.path() + QStringLiteral("/falta.mdb");
    op->elecciones = {archivoBase(QStringLiteral("local"))};
    db.OpenLocalADODB({}, QStringLiteral("User ID"), QStringLiteral("Password"));
    EXPECT_EQ(db.gCnn->State(), ado::adStateOpen);
    EXPECT_EQ(db.gDBName, archivoBase(QStringLiteral("local")));
    EXPECT_EQ(db.gConnString, QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =") + archivoBase(QStringLiteral("local"))
                                  + QStringLiteral(";User ID=;Password=;"));
    ASSERT_EQ(op->cuenta(QStringLiteral("Archivo")), 1);
    EXPECT_EQ(op->mostrados[0].titulo, u"Buscar Base de Datos");
    EXPECT_EQ(op->mostrados[0].texto, u"Base de Datos de Microsoft Access |*.MDB");
}

TEST_F(Jet, LaAperturaDejaGOpenFlagSegunElResultado)
{
    CreaBase(QStringLiteral("local"), QStringLiteral("CREATE TABLE T (A INTEGER, B TEXT); INSERT INTO T VALUES (1, 'uno');"));
    DB_Dll& db = DB();
    db.gProveedor = DB_Dll::pJETOLEDB40();
    db.gDBName = archivoBase(QStringLiteral("local"));
    db.OpenLocalADODB({}, QStringLiteral("User ID"), QStringLiteral("Password"));
    EXPECT_TRUE(db.gOpenFlag);
    // The lookups see the connection open.
    EXPECT_EQ(db.DatosTabla(QStringLiteral("T"), QStringLiteral("1"), QStringLiteral("B"), QStringLiteral("A"),
                            Variant(std::int32_t(3))).toString(),
              u"uno");

    // A failed open does not leave the earlier True.
    db.gCnn->Close();
    db.gDBName = dir.path() + QStringLiteral("/falta.mdb");
    op->elecciones = {std::nullopt};
    db.OpenLocalADODB({}, QStringLiteral("User ID"), QStringLiteral("Password"));
    EXPECT_FALSE(db.gOpenFlag);
    // Nor does an open refused with a message.
    db.gDBName = archivoBase(QStringLiteral("local"));
    db.gCnn->fallas().veces = 1;
    db.gCnn->fallas().error = ado::Error{ado::E_FAIL, QStringLiteral("Unrecognized database format."),
                                         DB_Dll::pJETOLEDB40(), QStringLiteral("3343"), 3343};
    db.gOpenFlag = true;
    db.OpenLocalADODB({}, QStringLiteral("User ID"), QStringLiteral("Password"));
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_EQ(op->cuenta(QStringLiteral("MsgBox")), 1);
}

TEST_F(Jet, ClaveDeLaBaseSeUneConUnSoloPuntoYComa)
{
    CreaBase(QStringLiteral("local"), QStringLiteral("CREATE TABLE T (A INTEGER);"));
    const ado::Error claveMala{ado::E_FAIL, QStringLiteral("Not a valid password."), DB_Dll::pJETOLEDB40(), QStringLiteral("3031"),
                               3031};
    const QString archivo = archivoBase(QStringLiteral("local"));
    DB_Dll& db = DB();
    db.gProveedor = DB_Dll::pJETOLEDB40();
    db.gDBName = archivo;

    // A given string without its closing ";": the stored password goes on the next attempt.
    db.gIgnoraPassWord = Variant(true);
    db.gUserPassWord = QStringLiteral("secreto");
    db.gCnn->fallas().veces = 1;
    db.gCnn->fallas().error = claveMala;
    const QString dada = QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =") + archivo;
    db.OpenLocalADODB(dada, QStringLiteral("User ID"), QStringLiteral("Password"));
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gCnn->State(), ado::adStateOpen);
    EXPECT_EQ(db.gConnString, dada + QStringLiteral(";Jet OLEDB:Database Password=secreto;"));
    EXPECT_EQ(op->cuenta(QStringLiteral("Archivo")), 0);

    // The built string whose extra text lacks it: the password asked of the operator.
    db.gCnn->Close();
    db.gIgnoraPassWord = Variant(false);
    db.gUserPassWord.clear();
    db.gExtended = QStringLiteral("Mode=Share Deny None");
    db.gCnn->fallas().veces = 1;
    op->entradas = {QStringLiteral("tecleada")};
    db.OpenLocalADODB({}, QStringLiteral("User ID"), QStringLiteral("Password"));
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gConnString, QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =") + archivo
                                  + QStringLiteral(";User ID=;Password=;Mode=Share Deny None;Jet OLEDB:Database Password=tecleada;"));
    EXPECT_EQ(op->cuenta(QStringLiteral("InputBox")), 1);

    // With the ";" already there, none is added.
    db.gCnn->Close();
    db.gExtended = QStringLiteral("Mode=Share Deny None;");
    db.gCnn->fallas().veces = 1;
    op->entradas = {QStringLiteral("otra")};
    db.OpenLocalADODB({}, QStringLiteral("User ID"), QStringLiteral("Password"));
    EXPECT_TRUE(db.gConnString.endsWith(QStringLiteral(";Mode=Share Deny None;Jet OLEDB:Database Password=otra;")));
    EXPECT_TRUE(db.gOpenFlag);
}

TEST_F(Jet, EleccionCanceladaTerminaSinConexion)
{
    DB_Dll& db = DB();
    db.gProveedor = DB_Dll::pJETOLEDB40();
    db.gDBName = dir.path() + QStringLiteral("/falta.mdb");
    op->elecciones = {std::nullopt};
    db.OpenLocalADODB({}, QStringLiteral("User ID"), QStringLiteral("Password"));
    EXPECT_EQ(db.gCnn->State(), ado::adStateClosed);
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_EQ(op->cuenta(QStringLiteral("Archivo")), 1);
}

TEST_F(Jet, ArchivoQueNoEsBaseTambienLlevaAElegir)
{
    const QString basura = dir.path() + QStringLiteral("/basura.mdb");
    QFile f(basura);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    DB_Dll& db = DB();
    db.gProveedor = DB_Dll::pJETOLEDB35();
    db.gDBName = basura;
    op->elecciones = {std::nullopt};
    db.OpenLocalADODB({}, QStringLiteral("User ID"), QStringLiteral("Password"));
    EXPECT_EQ(db.gCnn->State(), ado::adStateClosed);
    EXPECT_EQ(op->cuenta(QStringLiteral("Archivo")), 1);
}

} // namespace
