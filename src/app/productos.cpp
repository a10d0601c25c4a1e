#include "app/productos.h"

#include "config/configuracion.h"
#include "platform/ascii.h"
#include "platform/vb.h"
#include "suitelib/funciones_generales.h"

#include <string>

namespace {

QStringView Texto(const Variant& v, QString& espacio)
{
    if (const QString* s = v.get<QString>())
        return *s;
    espacio = v.isNull() ? QString() : v.toString();
    return espacio;
}

// A field as the file takes it: in the code page, a ";" or a line break
// (which would break the checker's four-field line) written as "," and a
// blank, then trimmed of blanks. The code page keeps one byte per character,
// so trimming the bytes trims the text.
struct TablaAscii {
    char a[128];
    constexpr TablaAscii() : a()
    {
        for (int c = 0; c < 128; ++c)
            a[c] = char(c);
        a[int(';')] = ',';
        a[int('\r')] = a[int('\n')] = a[int('\t')] = ' ';
    }
};
constexpr TablaAscii kAscii;

QByteArrayView Campo(QStringView texto, std::string& bytes)
{
    if (bytes.size() < size_t(texto.size()))
        bytes.resize(size_t(texto.size()));
    const qsizetype n = texto.size();
    char* b = bytes.data();
    char* d = b;
    for (qsizetype i = 0; i < n;) {
        const qsizetype k = ascii::Estrecha(texto.sliced(i), d, [](char16_t c) { return c == u';' || c < 0x20; });
        d += k;
        i += k;
        if (i == n)
            break;
        if (texto[i].unicode() < 0x80) {
            *d++ = kAscii.a[texto[i++].unicode()];
            continue;
        }
        qsizetype j = i + 1;
        while (j < n && texto[j].unicode() >= 0x80)
            ++j;
        d = archivos::CopiaAnsi(texto.sliced(i, j - i), d);
        i = j;
    }
    while (b != d && *b == ' ')
        ++b;
    while (d != b && d[-1] == ' ')
        --d;
    return QByteArrayView(b, d - b);
}

} // namespace

QString ConsultaProductos()
{
    return QStringLiteral("SELECT idarticulo , ISNULL(CODIGOBARRA  , '') as CODIGOBARRA, DESCRIPCION, 0 as Stock FROM V_MA_Articulos   ")
        + QStringLiteral(" where SUSPENDIDO = 0  ") + QStringLiteral(" ");
}

QString CarpetaProductos(bool* configurada)
{
    const QString guardada = Cfg(kClaveCarpetaProductos);
    const bool hay = !vb::Trim(guardada).isEmpty();
    if (configurada)
        *configurada = hay;
    return hay ? guardada : QStringLiteral("C:\\Productos");
}

std::int64_t EscribeProductos(ado::Recordset& rs, archivos::EscritorTexto& salida, const AvanceEscritura& avance)
{
    if (rs.BOF())
        return 0;
    rs.MoveFirst();
    FuncionesGenerales fg;
    ado::Field& codigoBarra = rs.Fields(QStringLiteral("CodigoBarra"));
    ado::Field& idArticulo = rs.Fields(QStringLiteral("IdArticulo"));
    ado::Field& descripcion = rs.Fields(QStringLiteral("Descripcion"));
    QString e1, e2, e3;
    std::string b1, b2, b3;
    std::int64_t lineas = 0;
    for (; !rs.EOF_(); rs.MoveNext()) {
        const QByteArrayView codigo = Campo(Texto(idArticulo.Value(), e1), b1);
        QByteArrayView barra = Campo(Texto(codigoBarra.Value(), e2), b2);
        if (barra.isEmpty())
            barra = codigo;
        const Variant textoDescripcion = fg.ValorCampo(descripcion.Value());
        salida.EscribeAnsi(barra);
        salida.EscribeAnsi(";");
        salida.EscribeAnsi(codigo);
        salida.EscribeAnsi(";");
        salida.EscribeAnsi(Campo(Texto(textoDescripcion, e3), b3));
        salida.EscribeAnsi(";0");
        salida.FinLinea();
        if (++lineas % kFilasPorAvance == 0 && avance)
            avance(lineas);
    }
    return lineas;
}
