#pragma once
// The error file SVERR.LOG: both error dialogs of the system (the database
// layer's and the module routines') append lines of the same layout to it.
#include "platform/errores.h"

#include <QDateTime>
#include <QString>

// The text with the values of every Pwd= and Password= replaced by "****":
// a connection string quoted in a message or a log line gives no password away.
QString OcultaClaves(const QString& texto);
// "Ha ocurrido el Siguiente Error (n) description"
QString MensajeError(const VbError& e);
// The word logged for a reply of the message box; empty for OK and others.
QString PalabraRespuesta(int respuesta);
// date time " Rutina: " [" - " routine] " Mensaje " message " Respondió : " word
QString LineaRegistroErrores(const QString& rutina, const QString& mensaje, int respuesta,
                             const QDateTime& cuando = QDateTime::currentDateTime());
// The database layer's error file when none was chosen: SVERR.LOG in the program folder.
QString ArchivoErroresPorOmision();
// Appends one line (Windows-1252, CR LF); a folder that cannot be written only
// loses the line. A run that only looks (aplicacion::SoloMirar) appends nothing.
void AgregaLineaRegistro(const QString& archivo, const QString& linea);
