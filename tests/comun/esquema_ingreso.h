#pragma once
// The tables the start-up signs on and writes its access row with: the
// operator ADMIN without a password, no menu rights.
#include <QString>

namespace prueba {

inline const QString kEsquemaIngreso = QStringLiteral(
    "CREATE TABLE TA_USUARIOS (NOMBRE TEXT COLLATE CI_AS, SISTEMA TEXT COLLATE CI_AS, Password TEXT,"
    " Administrador INTEGER NOT NULL DEFAULT 0);"
    "INSERT INTO TA_USUARIOS (NOMBRE, SISTEMA, Password) VALUES ('ADMIN', 'cn000pr', NULL);"
    "CREATE TABLE TA_MENU (Clave TEXT COLLATE CI_AS, Proceso TEXT COLLATE CI_AS, Nombre TEXT COLLATE CI_AS);"
    "CREATE TABLE TA_TAREAS (USUARIO TEXT COLLATE CI_AS, TAREA TEXT COLLATE CI_AS);"
    "CREATE TABLE Control_Acceso (Id INTEGER PRIMARY KEY AUTOINCREMENT, Maquina TEXT, Usuario TEXT, Formulario TEXT,"
    " Tarea TEXT, Ingreso TEXT, NombreUsuario TEXT);"
    "CREATE TABLE V_MV_CPTEACCIONES (TC TEXT, IdComprobante TEXT, IdComplemento INTEGER, Tipo_accion TEXT, FECHAHORA TEXT,"
    " Usuario TEXT, PC TEXT, SYSTEMUSER TEXT, Proceso TEXT, ProcesoLote TEXT, Cuenta TEXT);"
    "CREATE TABLE AUX_ERR (Id INTEGER PRIMARY KEY AUTOINCREMENT, Proceso TEXT, FECHA TEXT, Error INTEGER,"
    " Descripcion TEXT, sql TEXT, PC TEXT, Usuario TEXT);");

} // namespace prueba
