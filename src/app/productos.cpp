#include "app/productos.h"

#include "suitelib/funciones_generales.h"

namespace {

// Blanks only, as the suite trims.
QStringView Recorta(QStringView s)
{
    qsizetype i = 0, n = s.size();
    while (i < n && s[i] == u' ')
        ++i;
    while (n > i && s[n - 1] == u' ')
        --n;
    return s.mid(i, n - i);
}

QStringView Texto(const Variant& v, QString& espacio)
{
    if (const QString* s = v.get<QString>())
        return *s;
    espacio = v.isNull() ? QString() : v.toString();
    return espacio;
}

// A ";" or a line break inside a field would break the checker's four-field
// line: they become "," and a blank, before the field is trimmed.
QStringView Limpia(QStringView campo, QString& espacio)
{
    bool limpio = true;
    for (QChar c : campo)
        if (c == u';' || c == u'\r' || c == u'\n' || c == u'\t') {
            limpio = false;
            break;
        }
    if (limpio)
        return campo;
    espacio = campo.toString();
    for (QChar& c : espacio) {
        if (c == u';')
            c = u',';
        else if (c == u'\r' || c == u'\n' || c == u'\t')
            c = u' ';
    }
    return espacio;
}

// The field's text as the file takes it.
QStringView Campo(const Variant& v, QString& espacio) { return Recorta(Limpia(Texto(v, espacio), espacio)); }

} // namespace

QString ConsultaProductos()
{
    return QStringLiteral("SELECT idarticulo , ISNULL(CODIGOBARRA  , '') as CODIGOBARRA, DESCRIPCION, 0 as Stock FROM V_MA_Articulos   ")
        + QStringLiteral(" where SUSPENDIDO = 0  ") + QStringLiteral(" ");
}

std::int64_t EscribeProductos(ado::Recordset& rs, archivos::EscritorTexto& salida)
{
    if (rs.BOF())
        return 0;
    rs.MoveFirst();
    FuncionesGenerales fg;
    ado::Field& codigoBarra = rs.Fields(QStringLiteral("CodigoBarra"));
    ado::Field& idArticulo = rs.Fields(QStringLiteral("IdArticulo"));
    ado::Field& descripcion = rs.Fields(QStringLiteral("Descripcion"));
    QString e1, e2, e3;
    std::int64_t lineas = 0;
    for (; !rs.EOF_(); rs.MoveNext()) {
        const QStringView codigo = Campo(idArticulo.Value(), e1);
        QStringView barra = Campo(codigoBarra.Value(), e2);
        if (barra.isEmpty())
            barra = codigo;
        const Variant textoDescripcion = fg.ValorCampo(descripcion.Value());
        const QStringView desc = Campo(textoDescripcion, e3);
        salida.Escribe(barra);
        salida.Escribe(u";");
        salida.Escribe(codigo);
        salida.Escribe(u";");
        salida.Escribe(desc);
        salida.Escribe(u";0");
        salida.FinLinea();
        ++lineas;
    }
    return lineas;
}
