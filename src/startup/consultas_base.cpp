#include "startup/consultas_base.h"

#include "lookup/definiciones_consultas.h"
#include "lookup/lib_clscons3.h"

namespace {

struct Base {
    const char16_t* titulo;
    const char16_t* tabla;
    const char16_t* columnas;
};

const Base Definiciones[] = {
    {u"ARTICULOS", u"V_MA_ARTICULOS", u"|DESCRIPCION|IDARTICULO|"},
    {u"CLIENTES", u"VT_CLIENTES", u"|RAZON_SOCIAL|CODIGO|CONTACTO|"},
    {u"PROVEEDORES", u"VT_PROVEEDORES", u"|RAZON_SOCIAL|CODIGO|"},
    {u"CONTACTOS", u"MA_CONTACTOS", u"|Nombre_y_Apellido|Domicilio|Localidad|Telefono|"},
    {u"VENDEDORES", u"V_TA_VENDEDORES", u"|NOMBRE|IDVENDEDOR|"},
    {u"TECNICOS", u"V_TA_TECNICOS", u"|NOMBRE|IDTECNICO|"},
    {u"MANTENIMIENTOS", u"V_MA_MANTENIMIENTOS", u"|DESCRIPCION|CODIGO|"},
    {u"CUENTAS", u"MA_CUENTAS", u"|DESCRIPCION|CODIGO|"},
    {u"TAREAS", u"V_TA_Tareas  ", u"|Descripcion|IdTarea|"},
    {u"UnidadNegocio", u"V_TA_UnidadNegocio", u"|Descripcion|Codigo|"},
    {u"DEPOSITO", u"V_TA_DEPOSITO", u"|Descripcion|IdDeposito|"},
};

} // namespace

void CreaConsultasBase()
{
    // Errors reach the caller: the start-up decides whether it can go on.
    const QString ruta = Consultas().gRutaMascaraConsultas;
    for (const Base& b : Definiciones)
        consultas::AgregaDefinicion(ruta, {QString::fromUtf16(b.titulo).trimmed(), QString::fromUtf16(b.tabla),
                                           QString::fromUtf16(b.columnas).trimmed(), QString()});
}
