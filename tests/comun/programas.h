#pragma once
// Small programs the tests start: shell scripts that write the arguments
// they received, one a line, to a file, which appears whole (written aside,
// then renamed).
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

namespace prueba {

inline void CreaProgramaPrueba(const QString& ruta, const QString& salida, bool ejecutable = true)
{
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const QByteArray s = salida.toLocal8Bit();
    f.write("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + s + ".tmp'\nmv '" + s + ".tmp' '" + s + "'\n");
    f.close();
    if (ejecutable)
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
}

// The file's content once it exists; empty after a few seconds without it.
inline QByteArray EsperaArchivo(const QString& ruta, int milisegundos = 10000)
{
    QElapsedTimer t;
    t.start();
    while (!QFile::exists(ruta) && t.elapsed() < milisegundos)
        QThread::msleep(10);
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace prueba
