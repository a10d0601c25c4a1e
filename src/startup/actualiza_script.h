#pragma once
// The statement runner: a list of statements sent as one transaction,
// committed or rolled back, its database errors told to the operator, to
// AUX_ERR and to the caller.
#include <QString>
#include <QStringList>
#include <cstdint>

void GActualizarDatoScript(const QStringList& sentencias, bool& HuboError, std::int32_t& NroError, bool IgnoraDuplicados,
                           bool IgnoraRestriccion, QString& Script, QString& MsgError, bool MuestraMensaje);
