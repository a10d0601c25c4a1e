#pragma once
// Qt's own texts (standard buttons, file dialogs, context menus) in the
// language of the system, so that they do not appear in English inside a
// Spanish program. Only a run with windows needs them.
#include <QLocale>
#include <QString>

namespace aplicacion {

// Installs Qt's translation for idioma (the system's language by default)
// from Qt's translations folder; Spanish, the program's own language, when
// there is none for it (also for the "C" locale and unknown languages).
// A second call replaces the first one's translation. Returns the file
// loaded, empty when none could be (Qt's translations not installed).
QString CargaTraduccionesQt(const QLocale& idioma = QLocale::system());

} // namespace aplicacion
