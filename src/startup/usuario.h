#pragma once
// The operator's sign-on check against the suite's users table, the action
// log row, and the database server's clock.
#include <QDateTime>
#include <QString>

// True when the name is the database's own account, or a user of an
// accepted system whose stored password, decoded, is the given one (case
// ignored). Sets UsuarioActual to the name when it is found.
bool ValidaUsuario(QString& usuario, QString& clave);

// One row of V_MV_CPTEACCIONES. An empty complemento becomes "0" in the
// caller's variable too. Failures are passed over.
void RegistraAccion(const QString& tipoComprobante, const QString& idComprobante, QString& complemento, bool alta,
                    bool modifica, const QString& descripcion, const QString& cuenta, bool error);

// The server's date and time; the operative date or the workstation's clock
// when the server does not answer.
QDateTime FechaServidor();
