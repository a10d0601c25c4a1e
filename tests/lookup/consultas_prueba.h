#pragma once
// The demo database of the suite in a temporary program folder, the lookup
// engine pointed at a definitions file there, and a way to act on the modal
// dialog a lookup shows.
#include "comun/base_prueba.h"
#include "lookup/definiciones_consultas.h"
#include "lookup/lib_clscons3.h"
#include "comun/demo_prueba.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTimer>
#include <functional>

namespace prueba {

class ConsultasPrueba : public BasePrueba {
protected:
    void SetUp() override
    {
        BasePrueba::SetUp();
        prueba::GeneraDemo(dir.path(), 60);
        ReiniciaConsultas();
        InstalaLanzador(nullptr);
    }
    void TearDown() override
    {
        ReiniciaConsultas();
        InstalaLanzador(nullptr);
        BasePrueba::TearDown();
    }

    QString rutaDefiniciones() const { return dir.path() + QStringLiteral("/consultas.slv"); }
    QString baseDemo() const { return archivoBase(QStringLiteral("DEMO")); }

    // Connects the main instance (embedded or through ODBC) and makes the
    // engine read the definitions file of the folder.
    Lib_ClsCons3& Motor(bool odbc = false)
    {
        if (odbc)
            AbreOdbc(DB(), QStringLiteral("DEMO"));
        else
            Abre(DB(), QStringLiteral("DEMO"));
        Lib_ClsCons3& c = Consultas();
        c.gRutaMascaraConsultas = rutaDefiniciones();
        c.gUsarMascarasConsultas = true;
        return c;
    }

    void Configura(const QString& clave, const QString& valor)
    {
        EjecutaSqlite(baseDemo(), QStringLiteral("DELETE FROM TA_CONFIGURACION WHERE Clave = '%1';"
                                                 "INSERT INTO TA_CONFIGURACION (Grupo, Clave, Valor, PoliticaNegocio, ValorAux)"
                                                 " VALUES ('CONSULTAS', '%1', '%2', 0, '');")
                                      .arg(clave, valor));
    }

    void Define(const QString& titulo, const QString& tabla, const QString& columnas, const QString& condicion = {})
    {
        consultas::AgregaDefinicion(rutaDefiniciones(), {titulo, tabla, columnas, condicion});
    }
};

// Runs accion on the modal dialog as soon as it is shown (a timer looks for
// the active modal window), so a test can drive a lookup that blocks in exec.
inline void AlMostrarse(std::function<void(QDialog&)> accion)
{
    auto* t = new QTimer;
    t->setInterval(2);
    QObject::connect(t, &QTimer::timeout, [t, accion] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            t->stop();
            t->deleteLater();
            accion(*d);
        }
    });
    t->start();
}

inline void Tecla(QObject* destino, int tecla, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& texto = {})
{
    QKeyEvent p(QEvent::KeyPress, tecla, mods, texto);
    QApplication::sendEvent(destino, &p);
    QKeyEvent s(QEvent::KeyRelease, tecla, mods, texto);
    QApplication::sendEvent(destino, &s);
}

// Each character as the key that types it.
inline void Escribe(QObject* destino, const QString& texto)
{
    for (QChar c : texto)
        Tecla(destino, c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - u'A') : c.unicode(), Qt::NoModifier, QString(c));
}

} // namespace prueba
