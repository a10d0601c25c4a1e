#pragma once
// The generated demo database in a test's program folder: its embedded
// server LOCAL is written into the folder's servidores.ini.
#include "tools/demo_db.h"

namespace prueba {

inline void GeneraDemo(const QString& carpeta, int articulos)
{
    demo::Opciones o;
    o.carpeta = carpeta;
    o.articulos = articulos;
    o.servidores = carpeta + QStringLiteral("/servidores.ini");
    demo::Genera(o);
}

} // namespace prueba
