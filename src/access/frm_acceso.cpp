#include "access/frm_acceso.h"

#include "access/bases.h"
#include "access/ventana_acceso.h"
#include "db/db_dll.h"
#include "db/globales.h"
#include "db/registro_errores.h"
#include "diag/registra_error.h"
#include "platform/aplicacion.h"
#include "platform/archivos.h"
#include "platform/errores.h"
#include "platform/operador.h"
#include "platform/rutas.h"
#include "platform/vb.h"
#include "shell/mod_global.h"
#include "suitelib/funciones_generales.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <optional>

namespace {

// Errors passed over by "Registrar": closing a closed connection, and what a
// server that is starting or already started answers.
bool PasaPorAltoAlRegistrar(std::int32_t n)
{
    return n == 3704 || n == -2147023840 || n == 1056 || n == 440 || n == 20480;
}

void AvisoInicioServidor(const VbError& e)
{
    const QString numero = e.Number < 0 ? QString::number(e.Number) : u' ' + QString::number(e.Number);
    operador().MsgBox(QStringLiteral("SQL Server start failed.  ") + u'\r' + QStringLiteral("SQL-DMO error:  ") + numero
                          + u' ' + OcultaClaves(e.Description),
                      estilo::OKOnly, {});
}

} // namespace

frmAcceso::frmAcceso()
    : TxtUserId(std::make_unique<CajaTexto>()), TxtUserPassword(std::make_unique<CajaTexto>()),
      TxtDbName(std::make_unique<CajaTexto>()), TxtServidor(std::make_unique<CajaTexto>()),
      TxtPuerto(std::make_unique<CajaTexto>(QStringLiteral("1433"))), CboPlataformaDB(std::make_unique<ListaTexto>()),
      lstBases(std::make_unique<ListaTexto>())
{
    CboPlataformaDB->addItem(QStringLiteral("SQL Server"));
    CboPlataformaDB->addItem(QStringLiteral("ORACLE"));
    CboPlataformaDB->setCurrentIndex(0);
    for (CajaTexto* t : {TxtDbName.get(), TxtServidor.get(), TxtUserPassword.get()})
        connect(t, &CajaTexto::textChanged, this, [this, t] { MensajeInicial(t); });
    connect(lstBases.get(), &ListaTexto::currentChanged, this, [this](int fila) {
        if (fila >= 0)
            AsignarDatosBase();
    });
}

frmAcceso::~frmAcceso() = default;

QString frmAcceso::DireccionWeb() { return QStringLiteral("https://www.torvonet.com"); }

// The window centres itself when it is built for the modal show.
void frmAcceso::Form_Load()
{
    llenarlist();
    for (CajaTexto* t : {TxtUserId.get(), TxtUserPassword.get(), TxtDbName.get(), TxtDbName.get(), TxtServidor.get()})
        MensajeInicial(t);
}

QList<frmAcceso*>& frmAcceso::Mostrados()
{
    static QList<frmAcceso*> formularios;
    return formularios;
}

void frmAcceso::Mostrar()
{
    Mostrados().append(this);
    if (operador().TieneVentanas()) {
        VentanaAcceso ventana(*this);
        while (ventana.exec() == VentanaAcceso::Reaparece)
            ;
    } else {
        MostrarConsola();
    }
    Mostrados().removeOne(this);
}

bool frmAcceso::Pide(const QString& base, const QString& servidor, const QString& usuario, const QString& clave)
{
    Form_Load();
    TxtDbName->setText(base);
    TxtServidor->setText(servidor);
    TxtUserId->setText(usuario);
    TxtUserPassword->setText(clave);
    CboPlataformaDB->setCurrentIndex(0);
    Mostrar();
    return Aceptar;
}

void frmAcceso::llenarlist()
{
    Rutina r([](const VbError& e) {
        return Rutina::SegunRespuesta(RegistraError(e, std::nullopt, QStringLiteral("FormLoad")));
    });
    QString ruta;
    std::unique_ptr<archivos::LectorTexto> f;
    r.paso([&] { ruta = ArchivoBases(); });
    if (!ExisteCarpeta(ruta)) {
        lstBases->clear();
        return;
    }
    r.paso([&] { lstBases->clear(); });
    r.paso([&] { f = std::make_unique<archivos::LectorTexto>(ruta); });
    r.paso([&] {
        while (f && !f->FinArchivo()) {
            QString campos[5];
            for (QString& c : campos)
                c = f->LeeCampo();
            if (!vb::Trim(campos[0]).isEmpty())
                lstBases->addItem(campos[0]);
        }
    });
    r.paso([&] { f.reset(); });
    r.paso([&] {
        if (lstBases->count() > 0)
            lstBases->setCurrentRow(0);
    });
}

bool frmAcceso::DatosBase(const QString& nombre)
{
    servidorBase.clear();
    nombreBase.clear();
    usuarioBase.clear();
    passwordBase.clear();
    const QString ruta = ArchivoBases();
    if (!ExisteCarpeta(ruta))
        return false;
    try {
        archivos::LectorTexto f(ruta);
        while (!f.FinArchivo()) {
            QString campos[5];
            for (QString& c : campos)
                c = f.LeeCampo();
            if (archivos::LectorTexto::Recorta(campos[0]) == archivos::LectorTexto::Recorta(nombre)) {
                servidorBase = campos[4];
                nombreBase = campos[1];
                usuarioBase = campos[2];
                passwordBase = FuncionesGenerales().DecodificaClave(campos[3]);
                return true;
            }
        }
    } catch (const VbError& e) {
        RegistraError(e, std::nullopt, QStringLiteral("DatosBase"));
    }
    return false;
}

void frmAcceso::AsignarDatosBase()
{
    DatosBase(vb::Trim(lstBases->itemText(lstBases->currentRow())));
    QString servidor = servidorBase;
    const int dosPuntos = servidor.indexOf(u':');
    if (dosPuntos >= 0) {
        puertoRecordado = servidor.mid(dosPuntos + 1);
        servidor = vb::Trim(servidor.left(dosPuntos)).toUpper();
    }
    TxtServidor->setText(servidor);
    TxtUserId->setText({});
    TxtUserPassword->setText({});
    TxtDbName->setText(nombreBase);
    TxtPuerto->setText(puertoRecordado);
}

bool frmAcceso::ExisteBaseDeDatos(const QString& Servidor, const QString& Dbname, const QString& Usuario,
                                  const QString& Password, const QString& Proveedor)
{
    bool resultado = true;
    DB_Dll& db = DB();
    QString cadena;
    Rutina r([&](const VbError&) {
        resultado = false;
        return Accion::Siguiente;
    });
    // A shared connection closed already is no failure of the test.
    r.paso([&] {
        if (db.gOpenFlag && db.gCnn->State() != ado::adStateClosed)
            db.gCnn->Close();
    });
    r.paso([&] {
        cadena = QStringLiteral("PROVIDER=") + Proveedor + QStringLiteral(";Server=") + Servidor + QStringLiteral(";Database =")
            + Dbname + QStringLiteral(";UId=") + Usuario + QStringLiteral(";Pwd=") + Password + u';';
    });
    r.paso([&] { db.gCnn->Open(cadena, {}, {}, -1); });
    r.paso([&] {
        if (resultado)
            db.gCnn->Close();
    });
    return resultado;
}

void frmAcceso::RegistrarBases()
{
    if (!ExisteCarpeta(ArchivoBases()))
        CmdRegistrar_Click();
}

QString frmAcceso::TextoAyuda(const CajaTexto* caja) const
{
    if (caja == TxtUserId.get())
        return QStringLiteral("Ingrese el usuario");
    if (caja == TxtDbName.get())
        return QStringLiteral("ingrese el nombre de la base de datos");
    if (caja == TxtServidor.get())
        return QStringLiteral("ingrese el nombre del servidor e instancia");
    return {};
}

void frmAcceso::MensajeInicial(CajaTexto* ObjTxt)
{
    if (enHint_ || !ObjTxt)
        return;
    const QString hint = TextoAyuda(ObjTxt);
    if (!vb::Trim(ObjTxt->text()).isEmpty() && ObjTxt->text() != hint)
        return;
    enHint_ = true;
    ObjTxt->setText(hint);
    conAyuda_.insert(ObjTxt);
    emit ayudaPuesta(ObjTxt);
    enHint_ = false;
}

void frmAcceso::EjecutarCmdRegDB(const QString& Archivo, QString& ErrDevuelto)
{
    QStringList partes = QProcess::splitCommand(Archivo);
    QProcess p;
    const bool hayComando = !partes.isEmpty();
    if (hayComando) {
        QString programa = partes.takeFirst();
        try {
            programa = rutas::Resolver(programa);
        } catch (const VbError&) {
        }
        p.start(programa, partes);
    }
    if (!hayComando || !p.waitForStarted()) {
        ErrDevuelto = QStringLiteral("Error al ejecutar el comando");
        operador().MsgBox(ErrDevuelto, estilo::Critical, {});
        return;
    }
    while (!p.waitForFinished(50))
        operador().DoEvents();
    ErrDevuelto = QString::number(p.exitCode());
}

void frmAcceso::bcAceptar_Click()
{
    glb::UsuarioActual = TxtUserId->text();
    glb::ClaveActual = TxtUserPassword->text();
    Aceptar = true;
    // Registering the first connection refills the list, which puts its first
    // entry in the boxes; the caller reads what was typed.
    CajaTexto* const cajas[] = {TxtUserId.get(), TxtUserPassword.get(), TxtDbName.get(), TxtServidor.get(), TxtPuerto.get()};
    QString tecleado[std::size(cajas)];
    for (std::size_t i = 0; i < std::size(cajas); ++i)
        tecleado[i] = cajas[i]->text();
    RegistrarBases();
    for (std::size_t i = 0; i < std::size(cajas); ++i)
        cajas[i]->setText(tecleado[i]);
    emit ocultado();
}

void frmAcceso::bcCancelar_Click()
{
    Aceptar = false;
    emit ocultado();
}

void frmAcceso::CmdRegistrar_Click()
{
    DB_Dll& db = DB();
    Rutina r([&](const VbError& e) {
        if (PasaPorAltoAlRegistrar(e.Number))
            return Accion::Siguiente;
        AvisoInicioServidor(e);
        return Accion::Salir;
    });
    QString clave, servidor;
    bool abierta = false;
    r.paso([&] { clave = ClaveBase(TxtServidor->text(), TxtDbName->text()); });
    for (const CajaTexto* t : {TxtServidor.get(), TxtDbName.get()}) {
        if (const QString motivo = NoRegistrable(archivos::LectorTexto::Recorta(t->text())); !motivo.isEmpty()) {
            operador().MsgBox(QStringLiteral("La conexion no se puede registrar: ") + motivo + u'.', estilo::Information,
                              QStringLiteral("Atencion"));
            return;
        }
    }
    bool existe = false;
    r.paso([&] { existe = DatosBase(clave); });
    if (existe) {
        operador().MsgBox(QStringLiteral("La conexion que intenta registrar ya existe "), estilo::Information,
                          QStringLiteral("Atencion"));
        return;
    }
    r.paso([&] {
        const double puerto = FuncionesGenerales().ValorNumerico(Variant(TxtPuerto->text())).toDouble();
        puertoRecordado = puerto == 0 ? QStringLiteral("1433") : QString::number(puerto, 'g', 15);
    });
    r.paso([&] {
        for (CajaTexto* t : {TxtServidor.get(), TxtUserId.get(), TxtUserPassword.get(), TxtDbName.get()})
            t->setText(vb::Trim(t->text()));
        servidor = TxtServidor->text();
    });
    r.paso([&] {
        const QString base = TxtDbName->text().toUpper();
        abierta = ExisteBaseDeDatos(servidor, base, base, base, QStringLiteral("SQLOLEDB"));
    });
    if (abierta) {
        r.paso([&] { RegistraBase(clave, TxtDbName->text(), TxtDbName->text(), TxtDbName->text(), servidor); });
    } else if (!r.salio()) {
        r.paso([&] {
            if (db.gOpenFlag)
                db.gCnn->Close();
        });
        r.paso([&] {
            db.gServidor = TxtServidor->text();
            db.gUsuario = TxtUserId->text();
            db.gUserPassWord = TxtUserPassword->text();
            db.gDBName = TxtDbName->text();
        });
        r.paso([&] { db.OpenServerADODB(false, 3, {}, true, true); });
        if (!r.salio()) {
            if (!db.gOpenFlag) {
                operador().MsgBox(QStringLiteral("NO SE PUDO CONECTAR AL SERVIDOR ") + servidor
                                      + QStringLiteral(" VERIFIQUE EL NOMBRE DE USUARIO Y PASSWORD INGRESADO"),
                                  estilo::Information, QStringLiteral("AVISO AL OPERADOR"));
                return;
            }
            // A "Yes" to the connection error box asked for other values: what
            // is registered is what opened, once.
            r.paso([&] {
                const QString abierta = ClaveBase(db.gServidor, db.gDBName);
                if (abierta == clave || !DatosBase(abierta))
                    RegistraBase(abierta, db.gDBName, db.gDBName, db.gDBName, db.gServidor);
            });
        }
    }
    // An unexpected error above was shown and the routine goes on here too:
    // the helper program, the shared connection left closed, the list refilled.
    Rutina fin([](const VbError& e) {
        if (!PasaPorAltoAlRegistrar(e.Number))
            AvisoInicioServidor(e);
        return Accion::Siguiente;
    });
    fin.paso([&] {
        const QString odbc = rutas::ArchivoEnCarpeta(aplicacion::Carpeta(), QStringLiteral("ODBC.exe"));
        if (ExisteArchivo(odbc))
            IniciaPrograma(odbc, {QStringLiteral("Server=") + servidor + QStringLiteral(";DB=") + db.gDBName + u';'});
    });
    fin.paso([&] { db.gCnn->Close(); });
    fin.paso([&] { llenarlist(); });
}

QString frmAcceso::ArchivoAccesoDirecto()
{
    QString escritorio;
    QProcess p;
    p.start(QStringLiteral("xdg-user-dir"), {QStringLiteral("DESKTOP")});
    if (p.waitForFinished(3000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
        escritorio = QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    if (escritorio.isEmpty() || !QDir(escritorio).exists())
        escritorio = QDir::homePath() + QStringLiteral("/Desktop");
    return escritorio + u'/' + vb::Trim(aplicacion::NombreEjecutable()) + QStringLiteral(".desktop");
}

namespace {

// A value of a desktop entry: the characters the file format escapes.
QString ValorEntrada(const QString& valor)
{
    QString r;
    for (QChar c : valor) {
        switch (c.unicode()) {
        case u'\\': r += QStringLiteral("\\\\"); break;
        case u'\n': r += QStringLiteral("\\n"); break;
        case u'\t': r += QStringLiteral("\\t"); break;
        case u'\r': r += QStringLiteral("\\r"); break;
        default: r += c;
        }
    }
    return r;
}

// The program as one quoted argument of Exec: inside the quotes a backslash
// goes before each character the launcher reads specially, and "%" is doubled
// so that no file name becomes a field code.
QString ArgumentoExec(const QString& ruta)
{
    QString r = QStringLiteral("\"");
    for (QChar c : ruta) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            r += u'\\';
        r += c == u'%' ? QStringLiteral("%%") : QString(c);
    }
    return ValorEntrada(r + u'"');
}

} // namespace

QString frmAcceso::TextoAccesoDirecto(const QString& programa)
{
    const QString lineas[] = {QStringLiteral("[Desktop Entry]"), QStringLiteral("Type=Application"),
                              QStringLiteral("Name=") + ValorEntrada(vb::Trim(aplicacion::NombreEjecutable())),
                              QStringLiteral("Exec=") + ArgumentoExec(programa), QStringLiteral("Icon=verificador"),
                              QStringLiteral("Terminal=false")};
    QString texto;
    for (const QString& l : lineas)
        texto += l + u'\n';
    return texto;
}

void frmAcceso::CmdLineaComando_Click()
{
    Rutina r([](const VbError& e) {
        return Rutina::SegunRespuesta(RegistraError(e, std::nullopt, QStringLiteral("CmdLineaComando_Click")));
    });
    QString archivo;
    r.paso([&] { archivo = ArchivoAccesoDirecto(); });
    r.paso([&] { QDir().mkpath(QFileInfo(archivo).absolutePath()); });
    r.paso([&] {
        // Desktop entries are UTF-8, whatever the code page of the suite's files.
        archivos::EscritorTexto f(archivo);
        f.EscribeAnsi(TextoAccesoDirecto(aplicacion::Ejecutable()).toUtf8());
        f.Cierra();
    });
    r.paso([&] {
        QFile(rutas::Resolver(archivo)).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                                       | QFileDevice::ReadGroup | QFileDevice::ExeGroup
                                                       | QFileDevice::ReadOther | QFileDevice::ExeOther);
    });
}

void frmAcceso::Label8_Click() { AbrirDocumento(DireccionWeb(), true); }

namespace {

// Asks until the answer is one of the choices (in upper case); nothing when
// the input ends.
std::optional<QString> EligeEnConsola(const QString& etiqueta, const QString& actual, const QStringList& opciones)
{
    for (;;) {
        const auto v = operador().PideValor(etiqueta, actual, false);
        if (!v)
            return std::nullopt;
        const QString t = v->trimmed().toUpper();
        if (opciones.contains(t))
            return t;
    }
}

} // namespace

// The terminal asks the boxes one by one: an empty answer keeps a box as it
// is, and the registered connection chosen by its number replaces them, as a
// click on the list does. The buttons come last; "Registrar" and the desktop
// launcher leave the dialog open, as in the window.
void frmAcceso::MostrarConsola()
{
    Aceptar = false;
    for (;;) {
        if (lstBases->count() > 0) {
            QString lista = QStringLiteral("Conexiones registradas:");
            QStringList numeros{QStringLiteral("0")};
            for (int i = 0; i < lstBases->count(); ++i) {
                lista += QStringLiteral("\n  %1) %2").arg(i + 1).arg(lstBases->itemText(i));
                numeros << QString::number(i + 1);
            }
            const auto n = EligeEnConsola(lista + QStringLiteral("\nConexion (0: ninguna)"), QStringLiteral("0"), numeros);
            if (!n)
                return;
            if (*n != u"0") {
                lstBases->setCurrentRow(n->toInt() - 1);
                AsignarDatosBase();
            }
        }
        struct Pregunta {
            QString etiqueta;
            CajaTexto* caja;
            bool oculto;
        };
        const Pregunta preguntas[] = {{QStringLiteral("Usuario"), TxtUserId.get(), false},
                                      {QStringLiteral("Contraseña"), TxtUserPassword.get(), true},
                                      {QStringLiteral("Base de datos"), TxtDbName.get(), false},
                                      {QStringLiteral("Servidor"), TxtServidor.get(), false}};
        for (const Pregunta& p : preguntas) {
            // A box holding its hint offers nothing to keep.
            const bool conAyuda = ConAyuda(p.caja) && p.caja->text() == TextoAyuda(p.caja);
            const auto v = operador().PideValor(p.etiqueta, conAyuda ? QString() : p.caja->text(), p.oculto);
            if (!v)
                return;
            if (!v->isEmpty())
                p.caja->setText(*v);
        }
        const auto plataforma = EligeEnConsola(QStringLiteral("Plataforma (0: SQL Server, 1: ORACLE)"),
                                               QString::number(qMax(0, CboPlataformaDB->currentIndex())),
                                               {QStringLiteral("0"), QStringLiteral("1")});
        if (!plataforma)
            return;
        CboPlataformaDB->setCurrentIndex(plataforma->toInt());
        for (;;) {
            const auto boton = EligeEnConsola(QStringLiteral("C: Conectar, X: Cancelar, R: Registrar, A: Crear Acceso Directo"),
                                              QStringLiteral("C"),
                                              {QStringLiteral("C"), QStringLiteral("X"), QStringLiteral("R"), QStringLiteral("A")});
            if (!boton)
                return;
            if (*boton == u"C")
                return bcAceptar_Click();
            if (*boton == u"X")
                return bcCancelar_Click();
            if (*boton == u"R")
                break; // "Registrar" fills the list again: from the top
            CmdLineaComando_Click();
        }
        CmdRegistrar_Click();
    }
}

namespace {

// The parameter dialog of the database layer: the values go into the form
// before it shows, and come back from it when accepted.
class DialogoAcceso : public DialogoParametros {
public:
    bool Pedir(DB_Dll& db) override
    {
        frmAcceso f;
        if (!f.Pide(db.gDBName, db.gServidor, glb::UsuarioActual, db.gUsuarioClave))
            return false;
        db.gDBName = f.TxtDbName->text();
        db.gServidor = f.TxtServidor->text();
        db.gUsuario = f.TxtUserId->text();
        db.gUserPassWord = f.TxtUserPassword->text();
        if (f.CboPlataformaDB->currentIndex() > 0) {
            db.gProveedor = QStringLiteral("OraOLEDB.Oracle.1");
            if (!db.gServidor.contains(u'#'))
                db.gServidor += u'#';
        } else {
            db.gProveedor = DB_Dll::pSQLOLEDB();
        }
        return true;
    }
    void Ocultar() override
    {
        if (!frmAcceso::Mostrados().isEmpty())
            frmAcceso::Mostrados().last()->Ocultar();
    }
};

} // namespace

void InstalaDialogoAcceso()
{
    static DialogoAcceso dialogo;
    InstalaDialogoParametros(&dialogo);
}
