#include "platform/traducciones.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

namespace aplicacion {

QString CargaTraduccionesQt(const QLocale& idioma)
{
    static std::unique_ptr<QTranslator> instalada;
    if (instalada) {
        QCoreApplication::removeTranslator(instalada.get());
        instalada.reset();
    }
    const QString carpeta = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto traduccion = std::make_unique<QTranslator>();
    const bool cargada = traduccion->load(idioma, QStringLiteral("qtbase"), QStringLiteral("_"), carpeta)
        || traduccion->load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"), carpeta);
    if (!cargada)
        return {};
    QCoreApplication::installTranslator(traduccion.get());
    instalada = std::move(traduccion);
    return instalada->filePath();
}

} // namespace aplicacion
