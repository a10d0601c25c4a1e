#include "lookup/definiciones_consultas.h"

#include "platform/archivos.h"
#include "platform/vb.h"
#include "suitelib/funciones_generales.h"

namespace consultas {

namespace {
QString campo(const QString& texto, int largo) { return texto.left(largo).leftJustified(largo, u' '); }
} // namespace

QString ArmaRegistro(const Definicion& d)
{
    return campo(d.titulo, LargoTitulo) + campo(d.tabla, LargoTabla) + campo(d.columnas, LargoColumnas)
        + campo(d.condicion, LargoCondicion) + QStringLiteral("\r\n");
}

Definicion LeeRegistro(const QString& registro)
{
    Definicion d;
    d.titulo = registro.mid(0, LargoTitulo);
    d.tabla = registro.mid(LargoTitulo, LargoTabla);
    d.columnas = registro.mid(LargoTitulo + LargoTabla, LargoColumnas);
    d.condicion = registro.mid(LargoTitulo + LargoTabla + LargoColumnas, LargoCondicion);
    return d;
}

void AgregaDefinicion(const QString& ruta, const Definicion& d)
{
    archivos::ArchivoRegistros f(ruta, LargoRegistro);
    f.Escribe(f.Largo() / LargoRegistro + 1, ArmaRegistro(d));
    f.Cierra();
}

std::optional<Definicion> BuscaDefinicion(const QString& ruta, const QString& tabla)
{
    FuncionesGenerales fg;
    archivos::ArchivoRegistros f(ruta, LargoRegistro);
    const QString buscada = vb::Trim(tabla);
    // A last record cut short (an interrupted copy, a full disk) is no record:
    // its missing bytes would come back as character 0 into the statement.
    const std::int64_t registros = f.Largo() / LargoRegistro;
    for (std::int64_t n = 1; n <= registros; ++n) {
        Definicion d = LeeRegistro(f.Lee(n));
        const QString t = vb::Trim(fg.ExtraeValor(d.tabla, QString(QChar(0)), QString(QChar(255))));
        if (vb::Iguales(t, buscada)) {
            f.Cierra();
            return d;
        }
    }
    f.Cierra();
    return std::nullopt;
}

} // namespace consultas
