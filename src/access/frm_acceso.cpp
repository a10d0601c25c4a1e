#include "access/frm_acceso.h"

#include "access/bases.h"
#include "db/db_dll.h"
#include "db/globales.h"
#include "db/registro_errores.h"
#include "diag/registra_error.h"
#include "platform/aplicacion.h"
#include "platform/archivos.h"
#include "platform/errores.h"
#include "platform/operador.h"
#include "platform/rutas.h"
#include "platform/twips.h"
#include "platform/vb.h"
#include "shell/mod_global.h"
#include "suitelib/funciones_generales.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>

using twips::px;

namespace {

QLabel* Etiqueta(QWidget* padre, const QString& texto, int x, int y, int ancho, int alto)
{
    auto* l = new QLabel(texto, padre);
    l->setGeometry(px(x), px(y), px(ancho), px(alto));
    return l;
}

QLineEdit* Caja(QWidget* padre, const char* nombre, const QString& ayuda, int x, int y, int ancho)
{
    auto* t = new QLineEdit(padre);
    t->setObjectName(QString::fromLatin1(nombre));
    t->setToolTip(ayuda);
    t->setGeometry(px(x), px(y), px(ancho), px(315));
    return t;
}

QPushButton* Boton(QWidget* padre, const char* nombre, const QString& texto, int x, int y, int ancho, int alto)
{
    auto* b = new QPushButton(texto, padre);
    b->setObjectName(QString::fromLatin1(nombre));
    b->setGeometry(px(x), px(y), px(ancho), px(alto));
    // Enter walks the boxes; it must never press a button on its way.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

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

frmAcceso::frmAcceso(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAcceso"));
    setWindowTitle(QStringLiteral("Control de Acceso"));
    setFixedSize(px(7560), px(4800));

    Label1[0] = Etiqueta(this, QStringLiteral("Control de Acceso"), 240, 120, 7080, 480);
    QFont titulo = Label1[0]->font();
    titulo.setPointSize(titulo.pointSize() + 6);
    titulo.setBold(true);
    Label1[0]->setFont(titulo);

    framAcceso = new QFrame(this);
    framAcceso->setObjectName(QStringLiteral("framAcceso"));
    framAcceso->setFrameShape(QFrame::StyledPanel);
    framAcceso->setGeometry(px(240), px(720), px(4200), px(3240));
    Label1[1] = Etiqueta(framAcceso, QStringLiteral("AUTENTICACION"), 120, 90, 3000, 285);
    QFont negrita = Label1[1]->font();
    negrita.setBold(true);
    Label1[1]->setFont(negrita);

    Etiqueta(framAcceso, QStringLiteral("Usuario"), 120, 540, 1320, 285);
    TxtUserId = Caja(framAcceso, "TxtUserId", QStringLiteral("Ingrese el nombre de usuario"), 1440, 510, 2640);
    Etiqueta(framAcceso, QStringLiteral("Contraseña"), 120, 960, 1320, 285);
    TxtUserPassword = Caja(framAcceso, "TxtUserPassword", QStringLiteral("Ingrese la contraseña"), 1440, 930, 2640);
    TxtUserPassword->setEchoMode(QLineEdit::Password);
    TxtUserPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    Etiqueta(framAcceso, QStringLiteral("Base de datos"), 120, 1380, 1320, 285);
    TxtDbName = Caja(framAcceso, "TxtDbName", QStringLiteral("ingrese el nombre de la base de datos"), 1440, 1350, 2640);
    Etiqueta(framAcceso, QStringLiteral("Servidor"), 120, 1800, 1320, 285);
    TxtServidor = Caja(framAcceso, "TxtServidor", QStringLiteral("ingrese el nombre del servidor e instancia"), 1440, 1770, 1800);
    TxtPuerto = Caja(framAcceso, "TxtPuerto", QStringLiteral("Ingrese el Puerto "), 3300, 1770, 780);
    TxtPuerto->setText(QStringLiteral("1433"));
    Etiqueta(framAcceso, QStringLiteral("Plataforma"), 120, 2220, 1320, 285);
    CboPlataformaDB = new QComboBox(framAcceso);
    CboPlataformaDB->setObjectName(QStringLiteral("CboPlataformaDB"));
    CboPlataformaDB->addItems({QStringLiteral("SQL Server"), QStringLiteral("ORACLE")});
    CboPlataformaDB->setGeometry(px(1440), px(2190), px(2640), px(345));

    bcAceptar = Boton(framAcceso, "bcAceptar", QStringLiteral("Conectar"), 1440, 2700, 1275, 405);
    bcCancelar = Boton(framAcceso, "bcCancelar", QStringLiteral("Cancelar"), 2805, 2700, 1275, 405);

    Label1[2] = Etiqueta(this, QStringLiteral("Conexiones registradas"), 4680, 750, 2640, 285);
    Label1[2]->setFont(negrita);
    lstBases = new QListWidget(this);
    lstBases->setObjectName(QStringLiteral("lstBases"));
    lstBases->setGeometry(px(4680), px(1080), px(2640), px(2010));
    CmdRegistrar = Boton(this, "CmdRegistrar", QStringLiteral("Registrar"), 4680, 3150, 2640, 375);
    CmdLineaComando = Boton(this, "CmdLineaComando", QStringLiteral("Crear Acceso Directo"), 4680, 3585, 2640, 375);

    Label7 = Etiqueta(this, QStringLiteral("TORVO NET"), 240, 4140, 4200, 420);
    Label7->setObjectName(QStringLiteral("Label7"));
    QFont marca = Label7->font();
    marca.setPointSize(marca.pointSize() + 4);
    marca.setBold(true);
    Label7->setFont(marca);
    Label8 = Etiqueta(this, DireccionWeb(), 4680, 4200, 2640, 285);
    Label8->setObjectName(QStringLiteral("Label8"));
    Label8->setCursor(Qt::PointingHandCursor);
    Label8->setStyleSheet(QStringLiteral("color: #0000c0; text-decoration: underline;"));
    Label8->installEventFilter(this);

    for (QLineEdit* t : {TxtUserId, TxtUserPassword, TxtDbName, TxtServidor})
        t->installEventFilter(this);
    for (QLineEdit* t : {TxtDbName, TxtServidor, TxtUserPassword})
        connect(t, &QLineEdit::textChanged, this, [this, t] { MensajeInicial(t); });
    connect(lstBases, &QListWidget::currentRowChanged, this, [this](int fila) {
        if (fila >= 0)
            AsignarDatosBase();
    });
    connect(lstBases, &QListWidget::itemClicked, this, [this] { AsignarDatosBase(); });
    connect(lstBases, &QListWidget::itemDoubleClicked, this, [this] {
        AsignarDatosBase();
        bcAceptar_Click();
    });
    connect(bcAceptar, &QPushButton::clicked, this, [this] { bcAceptar_Click(); });
    connect(bcCancelar, &QPushButton::clicked, this, [this] { bcCancelar_Click(); });
    connect(CmdRegistrar, &QPushButton::clicked, this, [this] { CmdRegistrar_Click(); });
    connect(CmdLineaComando, &QPushButton::clicked, this, [this] { CmdLineaComando_Click(); });
    // Closing through the title bar is a refusal.
    connect(this, &QDialog::rejected, this, [this] { Aceptar = false; });
}

QString frmAcceso::DireccionWeb() { return QStringLiteral("https://www.torvonet.com"); }

void frmAcceso::Form_Load()
{
    if (const QScreen* pantalla = QGuiApplication::primaryScreen()) {
        const QRect r = pantalla->geometry();
        move(r.x() + (r.width() - width()) / 2, r.y() + (r.height() - height()) / 2);
    }
    llenarlist();
    for (QLineEdit* t : {TxtUserId, TxtUserPassword, TxtDbName, TxtDbName, TxtServidor})
        MensajeInicial(t);
}

void frmAcceso::Mostrar()
{
    if (operador().TieneVentanas())
        exec();
    else
        MostrarConsola();
}

bool frmAcceso::Disponible() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

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
            if (vb::Trim(campos[0]) == vb::Trim(nombre)) {
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
    const QListWidgetItem* item = lstBases->currentItem();
    DatosBase(item ? vb::Trim(item->text()) : QString());
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
    r.paso([&] {
        if (db.gOpenFlag)
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

void frmAcceso::MensajeInicial(QLineEdit* ObjTxt)
{
    if (enHint_ || !ObjTxt)
        return;
    QString hint;
    if (ObjTxt == TxtUserId)
        hint = QStringLiteral("Ingrese el usuario");
    else if (ObjTxt == TxtDbName)
        hint = QStringLiteral("ingrese el nombre de la base de datos");
    else if (ObjTxt == TxtServidor)
        hint = QStringLiteral("ingrese el nombre del servidor e instancia");
    if (!vb::Trim(ObjTxt->text()).isEmpty() && ObjTxt->text() != hint)
        return;
    enHint_ = true;
    ObjTxt->setText(hint);
    QPalette p = ObjTxt->palette();
    p.setColor(QPalette::Text, QColor(2, 0, 0));
    ObjTxt->setPalette(p);
    ObjTxt->setSelection(0, int(vb::Trim(ObjTxt->text()).size()));
    ObjTxt->update();
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
    RegistrarBases();
    hide();
    if (isModal())
        done(QDialog::Accepted);
}

void frmAcceso::bcCancelar_Click()
{
    Aceptar = false;
    hide();
    if (isModal())
        done(QDialog::Rejected);
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
    if (!CampoRegistrable(vb::Trim(TxtServidor->text())) || !CampoRegistrable(vb::Trim(TxtDbName->text()))) {
        operador().MsgBox(QStringLiteral("La conexion no se puede registrar: el servidor y la base de datos no pueden "
                                         "contener comas, comillas ni saltos de linea."),
                          estilo::Information, QStringLiteral("Atencion"));
        return;
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
        for (QLineEdit* t : {TxtServidor, TxtUserId, TxtUserPassword, TxtDbName})
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
            r.paso([&] { RegistraBase(clave, TxtDbName->text(), TxtDbName->text(), TxtDbName->text(), servidor); });
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
        const QString odbc = FuncionesGenerales().BarraFinal(aplicacion::Carpeta()) + QStringLiteral("ODBC.exe");
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

// A value of Exec: quoted, with the characters the launcher reads specially escaped.
QString ArgumentoExec(const QString& ruta)
{
    QString r;
    for (QChar c : ruta) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            r += u'\\';
        r += c;
    }
    QString entrecomillado = u'"' + r + u'"';
    return entrecomillado.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
}

} // namespace

void frmAcceso::CmdLineaComando_Click()
{
    Rutina r([](const VbError& e) {
        return Rutina::SegunRespuesta(RegistraError(e, std::nullopt, QStringLiteral("CmdLineaComando_Click")));
    });
    QString archivo, programa;
    r.paso([&] { archivo = ArchivoAccesoDirecto(); });
    r.paso([&] {
        programa = QDir(aplicacion::Carpeta()).absoluteFilePath(vb::Trim(aplicacion::NombreEjecutable()));
        QDir().mkpath(QFileInfo(archivo).absolutePath());
    });
    r.paso([&] {
        archivos::EscritorTexto f(archivo);
        const QString lineas[] = {QStringLiteral("[Desktop Entry]"), QStringLiteral("Type=Application"),
                                  QStringLiteral("Name=") + vb::Trim(aplicacion::NombreEjecutable()),
                                  QStringLiteral("Exec=") + ArgumentoExec(programa), QStringLiteral("Icon=") + programa,
                                  QStringLiteral("Terminal=false")};
        for (const QString& l : lineas) {
            f.Escribe(l);
            f.EscribeAnsi("\n");
        }
        f.Cierra();
    });
    r.paso([&] {
        QFile(rutas::Resolver(archivo)).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                                       | QFileDevice::ReadGroup | QFileDevice::ExeGroup
                                                       | QFileDevice::ReadOther | QFileDevice::ExeOther);
    });
}

void frmAcceso::Label8_Click() { QDesktopServices::openUrl(QUrl(DireccionWeb())); }

bool frmAcceso::eventFilter(QObject* objeto, QEvent* evento)
{
    if (evento->type() == QEvent::MouseButtonRelease && objeto == Label8) {
        Label8_Click();
        return false;
    }
    if (evento->type() == QEvent::FocusIn && objeto == TxtUserId) {
        MensajeInicial(TxtUserId);
        // A click that gave the focus places the caret after this: the hint is
        // selected again once the click is over, so that typing replaces it.
        const QString hint = TxtUserId->text();
        QTimer::singleShot(0, this, [this, hint] {
            if (TxtUserId->hasFocus() && TxtUserId->text() == hint && hint == QStringLiteral("Ingrese el usuario"))
                TxtUserId->setSelection(0, int(hint.size()));
        });
    }
    if (evento->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(evento);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            if (objeto == TxtUserId)
                TxtUserPassword->setFocus();
            else if (objeto == TxtUserPassword)
                TxtDbName->setFocus();
            else if (objeto == TxtDbName)
                TxtServidor->setFocus();
            else if (objeto == TxtServidor)
                bcAceptar->setFocus();
        }
    }
    return QDialog::eventFilter(objeto, evento);
}

void frmAcceso::MostrarConsola()
{
    Aceptar = false;
    Operador& op = operador();
    if (lstBases->count() > 0) {
        QString lista = QStringLiteral("Conexiones registradas:");
        for (int i = 0; i < lstBases->count(); ++i)
            lista += QStringLiteral("\n  %1) %2").arg(i + 1).arg(lstBases->item(i)->text());
        for (;;) {
            const auto v = op.PideValor(lista + QStringLiteral("\nConexion (0: ninguna)"),
                                        QString::number(lstBases->currentRow() + 1), false);
            if (!v)
                return;
            bool ok = false;
            const int n = v->trimmed().toInt(&ok);
            if (!ok || n < 0 || n > lstBases->count())
                continue;
            if (n > 0) {
                lstBases->setCurrentRow(n - 1);
                AsignarDatosBase();
            }
            break;
        }
    }
    struct Pregunta {
        QString etiqueta;
        QLineEdit* caja;
        bool oculto;
    };
    const Pregunta preguntas[] = {{QStringLiteral("Usuario"), TxtUserId, false},
                                  {QStringLiteral("Contraseña"), TxtUserPassword, true},
                                  {QStringLiteral("Base de datos"), TxtDbName, false},
                                  {QStringLiteral("Servidor"), TxtServidor, false},
                                  {QStringLiteral("Puerto"), TxtPuerto, false}};
    for (const Pregunta& p : preguntas) {
        const auto v = op.PideValor(p.etiqueta, p.caja->text(), p.oculto);
        if (!v)
            return;
        p.caja->setText(*v);
    }
    for (;;) {
        const auto v = op.PideValor(QStringLiteral("Plataforma (0: SQL Server, 1: ORACLE)"),
                                    QString::number(qMax(0, CboPlataformaDB->currentIndex())), false);
        if (!v)
            return;
        const QString t = v->trimmed();
        if (t == u"0" || t == u"1") {
            CboPlataformaDB->setCurrentIndex(t.toInt());
            break;
        }
    }
    bcAceptar_Click();
}

namespace {

// The parameter dialog of the database layer: the values go into the form
// before it shows, and come back from it when accepted.
class DialogoAcceso : public DialogoParametros {
public:
    bool Pedir(DB_Dll& db) override
    {
        if (!frmAcceso::Disponible())
            return false;
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
};

} // namespace

void InstalaDialogoAcceso()
{
    static DialogoAcceso dialogo;
    InstalaDialogoParametros(&dialogo);
}
