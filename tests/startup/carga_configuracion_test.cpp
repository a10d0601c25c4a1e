#include "comun/base_prueba.h"
#include "config/configuracion.h"
#include "db/globales.h"
#include "startup/carga_configuracion.h"

#include <gtest/gtest.h>

namespace {

class CargaConfig : public prueba::BasePrueba {
protected:
    void SetUp() override
    {
        BasePrueba::SetUp();
        glb::TablaConfiguracion.clear();
        glb::ConfidencialidadActiva = glb::UsarFechaDia = true;
        CreaBase(QStringLiteral("EMPRESA1"),
                 QStringLiteral("CREATE TABLE TA_CONFIGURACION (Grupo TEXT COLLATE NOCASE, Clave TEXT COLLATE NOCASE, "
                                "Valor TEXT COLLATE NOCASE, PoliticaNegocio BIT, ValorAux TEXT COLLATE NOCASE);"));
        Abre(DB(), QStringLiteral("EMPRESA1"));
        ASSERT_TRUE(DB().gOpenFlag);
    }
    void TearDown() override
    {
        BasePrueba::TearDown();
        glb::TablaConfiguracion.clear();
    }

    void Guarda(const char* clave, const char* valor)
    {
        DB().gCnn->Execute(QStringLiteral("INSERT INTO TA_CONFIGURACION (Clave, Valor) VALUES ('%1', '%2')")
                               .arg(QLatin1String(clave), QLatin1String(valor)));
    }

    QString ruta = QStringLiteral("C:\\Programa\\");
};

TEST_F(CargaConfig, SoloSiExactoSinImportarMayusculas)
{
    Guarda("SS_CONFIDENCIALIDAD", "si");
    Guarda("UTILIZARFECHADIA", " SI");
    CargaConfiguracion(ruta);
    EXPECT_TRUE(glb::ConfidencialidadActiva);
    EXPECT_FALSE(glb::UsarFechaDia);
    EXPECT_EQ(glb::TablaConfiguracion, u"ta_configuracion");
    EXPECT_EQ(ruta, u"C:\\Programa\\");
}

TEST_F(CargaConfig, ClavesAusentesApagan)
{
    CargaConfiguracion(ruta);
    EXPECT_FALSE(glb::ConfidencialidadActiva);
    EXPECT_FALSE(glb::UsarFechaDia);
    EXPECT_TRUE(op->mostrados.empty());
}

TEST_F(CargaConfig, ConexionCerradaApagaYNoPregunta)
{
    Guarda("UTILIZARFECHADIA", "SI");
    DB().gOpenFlag = false;
    CargaConfiguracion(ruta);
    EXPECT_FALSE(glb::ConfidencialidadActiva);
    EXPECT_FALSE(glb::UsarFechaDia);
    EXPECT_TRUE(op->mostrados.empty());
}

TEST_F(CargaConfig, LaTablaEnMinusculasEsLaMisma)
{
    // Before the load the reads name the table in upper case, afterwards in
    // lower case: the server ignores the case of names, so the keys stay found.
    Guarda("UTILIZARFECHADIA", "Si");
    EXPECT_EQ(Cfg(QStringLiteral("UTILIZARFECHADIA")), u"Si");
    EXPECT_EQ(glb::TablaConfiguracion, u"TA_CONFIGURACION");
    CargaConfiguracion(ruta);
    EXPECT_TRUE(glb::UsarFechaDia);
}

} // namespace
