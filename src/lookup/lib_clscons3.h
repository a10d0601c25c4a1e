#pragma once
// The suite's lookup engine: from a table or view name (or a whole SELECT)
// it works out the columns to show and the column to search by, builds a
// bounded SELECT and lets the operator pick in the list or the tree dialog.
// Results travel back through the public variables.
#include "platform/variant.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

class FormularioConsulta;

// What "N&uevo" of the list dialog starts: the program launcher of the shell
// (program, parameter in/out, task out). Until one is installed the option
// answers as a program that could not be started.
using Lanzador = std::function<void(const QString& programa, QString& parametro, std::int32_t& tarea)>;
void InstalaLanzador(Lanzador lanzador);
void Lanza(const QString& programa, QString& parametro, std::int32_t& tarea);

class Lib_ClsCons3 {
public:
    // Reads the stock levels, MuestraStock and the use-LIKE key.
    Lib_ClsCons3();

    QString gConnString;
    QString gRutaMascaraConsultas;
    bool gUsarMascarasConsultas = false;
    Variant StkNivel1, StkNivel2, StkNivel3, StkNivel4;
    QString MuestraStock;
    QStringList CmpsDevueltos;
    QList<Variant> Valores;
    QList<Variant> Cantidades;
    bool Checks = false;
    bool UsaCantidades = false;
    QString CampoDevuelto;
    Variant ValorDevuelto;

    void ConsultaSearch(const QString& sql, QStringList& CmpsDevueltos, const QString& Clave, QString& CampoBusqueda,
                        QString& Where, const QString& SentenciaOpcional = {}, bool TreeView = false,
                        const QString& ValoresDefault = {});
    // Opc: each option's first character is its flag ("1" ticks it). The
    // ticked texts are all it hands back: CmpsDevueltos names no column there.
    void CheckOpciones(const QString& Titulo, const QStringList& CmpsDevueltos, const QStringList& Opc);
    QString MenuOpciones(const QString& Titulo, const QStringList& Opc);
    QString ConsultaDesdeArchivo(const QString& Titulo, const QString& QueArchivo, const QString& Separador = {});
    void GrabaConsultaDefault() {}

    // The statement ConsultaSearch shows (steps 1 to 3); false when the lookup
    // ends without a dialog. CampoBusqueda and Where change as in the lookup.
    bool ArmaSentencia(const QString& sql, QString& CampoBusqueda, QString& Where, const QString& SentenciaOpcional,
                       QString& sentencia);

    bool UsaConsultaLike() const { return usaLike_; }

    // Runs with each form after it is filled and before its window shows; the
    // command-line lookup drives the form on the terminal from here. A form
    // still open afterwards shows in its window when the run has windows, and
    // is cancelled otherwise: nobody could choose.
    std::function<void(FormularioConsulta&)> alMostrar;

private:
    bool usaLike_ = false;
};

// The one engine of the run, created on first use.
Lib_ClsCons3& Consultas();
// Tests start from a fresh engine (the configuration is read again).
void ReiniciaConsultas();
