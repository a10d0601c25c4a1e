#include "lookup/formulario_consulta.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>

void FormularioConsulta::Termina(bool aceptada)
{
    terminada_ = true;
    aceptada_ = aceptada;
    emit terminada(aceptada);
}

void FormularioConsulta::Selecciona(const QModelIndex& i)
{
    if (QModelIndex(seleccion_) == i)
        return;
    seleccion_ = i;
    emit seleccionCambiada();
}

namespace medidas {

namespace {
bool ConPantalla() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }
} // namespace

QFont FuenteLista()
{
    QFont f = QGuiApplication::font();
    f.setBold(true);
    f.setPointSize(10);
    return f;
}

int AnchoCaracteres(int caracteres)
{
    if (!ConPantalla())
        return caracteres * 8;
    return QFontMetrics(FuenteLista()).horizontalAdvance(QString(caracteres, u'X'));
}

int AnchoPantalla()
{
    const QScreen* pantalla = ConPantalla() ? QGuiApplication::primaryScreen() : nullptr;
    return pantalla ? pantalla->availableGeometry().width() : 1024;
}

} // namespace medidas
