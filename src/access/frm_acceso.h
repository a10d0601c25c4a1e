#pragma once
// The database access dialog: server, database, user, password and platform,
// with the list of connections registered in BASES.TXT.
#include <QDialog>
#include <array>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class frmAcceso : public QDialog {
    Q_OBJECT
public:
    explicit frmAcceso(QWidget* parent = nullptr);

    std::array<QLabel*, 3> Label1; // title, "AUTENTICACION", "Conexiones registradas"
    QFrame* framAcceso;
    QLineEdit* TxtUserId;
    QLineEdit* TxtUserPassword;
    QLineEdit* TxtDbName;
    QLineEdit* TxtServidor;
    QLineEdit* TxtPuerto;
    QComboBox* CboPlataformaDB;
    QListWidget* lstBases;
    QPushButton* bcAceptar;
    QPushButton* bcCancelar;
    QPushButton* CmdRegistrar;
    QPushButton* CmdLineaComando;
    QLabel* Label7;
    QLabel* Label8;

    // True after "Conectar", False after "Cancelar" or closing.
    bool Aceptar = false;
    static QString DireccionWeb();

    void Form_Load();
    // The modal show: the window, or on the terminal when there are no windows.
    void Mostrar();
    // Whether the dialog can be loaded: a console run with nobody to answer
    // has no Qt application for widgets, and the dialog then counts as
    // cancelled without being loaded, as it would be at once on the terminal.
    static bool Disponible();
    // Loads the form, fills it with these values on the first platform, shows
    // it; true when the operator accepted.
    bool Pide(const QString& base, const QString& servidor, const QString& usuario, const QString& clave);

    void llenarlist();
    // True when a record with the key was found; its fields are then kept.
    bool DatosBase(const QString& nombre);
    void AsignarDatosBase();
    bool ExisteBaseDeDatos(const QString& Servidor, const QString& Dbname, const QString& Usuario,
                           const QString& Password, const QString& Proveedor);
    void RegistrarBases();
    void MensajeInicial(QLineEdit* ObjTxt);
    void EjecutarCmdRegDB(const QString& Archivo, QString& ErrDevuelto);

    void bcAceptar_Click();
    void bcCancelar_Click();
    void CmdRegistrar_Click();
    void CmdLineaComando_Click();
    void Label8_Click();

    // The desktop launcher "Crear Acceso Directo" writes.
    static QString ArchivoAccesoDirecto();
    // The record last found by DatosBase, and the remembered port.
    QString servidorBase, nombreBase, usuarioBase, passwordBase;
    QString puertoRecordado;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void MostrarConsola();
    bool enHint_ = false;
};

// Fills the database layer's parameter dialog with this one, for the run.
void InstalaDialogoAcceso();
