#pragma once
// The database access dialog: server, database, user, password and platform,
// with the list of connections registered in BASES.TXT. The handlers work on
// the form's values alone, so the terminal asks them without any window;
// VentanaAcceso shows them.
#include "platform/controles.h"

#include <QObject>
#include <QList>
#include <QSet>
#include <memory>

class frmAcceso : public QObject {
    Q_OBJECT
public:
    frmAcceso();
    ~frmAcceso() override;

    const std::unique_ptr<CajaTexto> TxtUserId;
    const std::unique_ptr<CajaTexto> TxtUserPassword;
    const std::unique_ptr<CajaTexto> TxtDbName;
    const std::unique_ptr<CajaTexto> TxtServidor;
    const std::unique_ptr<CajaTexto> TxtPuerto;
    const std::unique_ptr<ListaTexto> CboPlataformaDB; // "SQL Server", "ORACLE"
    const std::unique_ptr<ListaTexto> lstBases;

    // True after "Conectar", False after "Cancelar" or closing.
    bool Aceptar = false;
    static QString DireccionWeb();

    void Form_Load();
    // The modal show: the window, or on the terminal when there are no windows.
    void Mostrar();
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
    void MensajeInicial(CajaTexto* ObjTxt);
    void EjecutarCmdRegDB(const QString& Archivo, QString& ErrDevuelto);

    void bcAceptar_Click();
    void bcCancelar_Click();
    void CmdRegistrar_Click();
    void CmdLineaComando_Click();
    void Label8_Click();

    // The hint MensajeInicial puts in the box, and whether it ever did: the
    // box's text then keeps the hint's colour.
    QString TextoAyuda(const CajaTexto* caja) const;
    bool ConAyuda(const CajaTexto* caja) const { return conAyuda_.contains(caja); }

    // The desktop launcher "Crear Acceso Directo" writes, and its content.
    static QString ArchivoAccesoDirecto();
    static QString TextoAccesoDirecto(const QString& programa);
    // Hides the window while another dialog is asked for (a "Yes" to the
    // connection error box); it shows again once the handler that asked is over.
    void Ocultar() { emit ocultar(); }
    // The forms being shown, the innermost last.
    static QList<frmAcceso*>& Mostrados();
    // The record last found by DatosBase, and the remembered port.
    QString servidorBase, nombreBase, usuarioBase, passwordBase;
    QString puertoRecordado;

signals:
    // The hint was put in the box: the window selects it, so that typing replaces it.
    void ayudaPuesta(CajaTexto* caja);
    // "Conectar" or "Cancelar" hid the form: the modal show returns.
    void ocultado();
    void ocultar();

private:
    void MostrarConsola();
    bool enHint_ = false;
    QSet<const CajaTexto*> conAyuda_;
};

// Fills the database layer's parameter dialog with this one, for the run.
void InstalaDialogoAcceso();
