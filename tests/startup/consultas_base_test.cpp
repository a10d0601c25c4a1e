// The default lookup definitions: the file a fresh program folder gets, byte
// for byte, as the lookup engine reads it.
#include "comun/ayudas.h"
#include "comun/base_prueba.h"
#include "lookup/definiciones_consultas.h"
#include "lookup/lib_clscons3.h"
#include "startup/consultas_base.h"

#include <QDir>

namespace {

class ConsultasBase : public prueba::BasePrueba {
protected:
    void SetUp() override
    {
        BasePrueba::SetUp();
        ReiniciaConsultas();
        ruta = dir.path() + QStringLiteral("/consultas.slv");
    }
    void TearDown() override
    {
        ReiniciaConsultas();
        BasePrueba::TearDown();
    }

    QByteArray Bytes() const
    {
        QFile f(ruta);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QString ruta;
};

// One record as the suite's files hold it, written out by hand.
QByteArray Registro(const char* titulo, const char* tabla, const char* columnas)
{
    auto campo = [](const char* t, int ancho) { return QByteArray(t).leftJustified(ancho, ' '); };
    return campo(titulo, 100) + campo(tabla, 100) + campo(columnas, 500) + QByteArray(500, ' ') + "\r\n";
}

TEST_F(ConsultasBase, CarpetaNuevaRecibeLasOnceDefiniciones)
{
    Consultas().gRutaMascaraConsultas = ruta;
    CreaConsultasBase();
    const QByteArray esperado = Registro("ARTICULOS", "V_MA_ARTICULOS", "|DESCRIPCION|IDARTICULO|")
        + Registro("CLIENTES", "VT_CLIENTES", "|RAZON_SOCIAL|CODIGO|CONTACTO|")
        + Registro("PROVEEDORES", "VT_PROVEEDORES", "|RAZON_SOCIAL|CODIGO|")
        + Registro("CONTACTOS", "MA_CONTACTOS", "|Nombre_y_Apellido|Domicilio|Localidad|Telefono|")
        + Registro("VENDEDORES", "V_TA_VENDEDORES", "|NOMBRE|IDVENDEDOR|")
        + Registro("TECNICOS", "V_TA_TECNICOS", "|NOMBRE|IDTECNICO|")
        + Registro("MANTENIMIENTOS", "V_MA_MANTENIMIENTOS", "|DESCRIPCION|CODIGO|")
        + Registro("CUENTAS", "MA_CUENTAS", "|DESCRIPCION|CODIGO|")
        + Registro("TAREAS", "V_TA_Tareas", "|Descripcion|IdTarea|")
        + Registro("UnidadNegocio", "V_TA_UnidadNegocio", "|Descripcion|Codigo|")
        + Registro("DEPOSITO", "V_TA_DEPOSITO", "|Descripcion|IdDeposito|");
    const QByteArray escrito = Bytes();
    EXPECT_EQ(escrito.size(), 13222);
    EXPECT_EQ(escrito, esperado);

    // The engine finds the articles' record whatever the case of the name.
    for (const QString& nombre : {u"v_ma_articulos"_qs, u"V_MA_ARTICULOS"_qs, u" V_Ma_Articulos "_qs}) {
        const auto d = consultas::BuscaDefinicion(ruta, nombre);
        ASSERT_TRUE(d.has_value()) << nombre.toStdString();
        EXPECT_EQ(d->titulo.trimmed(), u"ARTICULOS"_qs);
        EXPECT_EQ(d->columnas.trimmed(), u"|DESCRIPCION|IDARTICULO|"_qs);
    }
    EXPECT_EQ(consultas::BuscaDefinicion(ruta, u"v_ta_tareas"_qs)->titulo.trimmed(), u"TAREAS"_qs);
    EXPECT_FALSE(consultas::BuscaDefinicion(ruta, u"V_MA_ART"_qs).has_value());

    // A second run appends after the last record.
    CreaConsultasBase();
    EXPECT_EQ(Bytes().size(), 2 * 13222);
}

TEST_F(ConsultasBase, SinCarpetaFalla)
{
    Consultas().gRutaMascaraConsultas = dir.path() + u"/falta/consultas.slv"_qs;
    EXPECT_EQ(prueba::NumeroDeError([] { CreaConsultasBase(); }), vberr::PathNotFound);
}

} // namespace
