#include "app/productos.h"

#include "config/configuracion.h"
#include "platform/archivos.h"
#include "platform/ascii.h"
#include "platform/vb.h"
#include "suitelib/funciones_generales.h"

#include <iterator>
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

// The field's bytes from b to d, without the blanks around them.
QByteArrayView SinBlancos(const char* b, const char* d)
{
    while (b != d && *b == ' ')
        ++b;
    while (d != b && d[-1] == ' ')
        --d;
    return QByteArrayView(b, d - b);
}

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
    return SinBlancos(b, d);
}

// A run of non-ASCII UTF-8 in the code page, as Campo writes it from
// QString::fromUtf8 of the whole text. Well-formed sequences are decoded
// here; anything else is left to Qt, behind a character that puts the run in
// the middle of a text as it is.
char* CopiaNoAscii(QByteArrayView run, char* d)
{
    char16_t ancho[64];
    qsizetype k = 0;
    const auto* s = reinterpret_cast<const unsigned char*>(run.data());
    const qsizetype n = run.size();
    const auto sigue = [&](qsizetype i, unsigned char bajo, unsigned char alto) {
        return i < n && s[i] >= bajo && s[i] <= alto;
    };
    for (qsizetype i = 0; i < n && k < qsizetype(std::size(ancho));) {
        const unsigned char c = s[i];
        if (c >= 0xC2 && c <= 0xDF && sigue(i + 1, 0x80, 0xBF)) {
            ancho[k++] = char16_t(((c & 0x1F) << 6) | (s[i + 1] & 0x3F));
            i += 2;
        } else if (c >= 0xE0 && c <= 0xEF && sigue(i + 1, c == 0xE0 ? 0xA0 : 0x80, c == 0xED ? 0x9F : 0xBF)
                   && sigue(i + 2, 0x80, 0xBF)) {
            ancho[k++] = char16_t(((c & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F));
            i += 3;
        } else {
            break;
        }
        if (i == n)
            return archivos::CopiaAnsi(QStringView(ancho, k), d);
    }
    const QByteArray enMedio = "x" + run.toByteArray();
    return archivos::CopiaAnsi(QStringView(QString::fromUtf8(enMedio)).sliced(1), d);
}

// Campo on the UTF-8 the database keeps, without going through UTF-16.
QByteArrayView CampoUtf8(QByteArrayView texto, std::string& bytes)
{
    // Qt drops a byte-order mark that opens the text.
    if (texto.startsWith("\xEF\xBB\xBF"))
        texto = texto.sliced(3);
    if (bytes.size() < size_t(texto.size()))
        bytes.resize(size_t(texto.size()));
    const qsizetype n = texto.size();
    const char* s = texto.data();
    char* b = bytes.data();
    char* d = b;
    for (qsizetype i = 0; i < n;) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            *d++ = kAscii.a[c];
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        while (j < n && static_cast<unsigned char>(s[j]) >= 0x80)
            ++j;
        d = CopiaNoAscii(texto.sliced(i, j - i), d);
        i = j;
    }
    return SinBlancos(b, d);
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
    QByteArrayView utf8;
    std::int64_t lineas = 0;
    for (; !rs.EOF_(); rs.MoveNext()) {
        // A text as the database keeps it skips the row's values altogether.
        const QByteArrayView codigo =
            idArticulo.TextoUtf8(utf8) ? CampoUtf8(utf8, b1) : Campo(Texto(idArticulo.Value(), e1), b1);
        QByteArrayView barra =
            codigoBarra.TextoUtf8(utf8) ? CampoUtf8(utf8, b2) : Campo(Texto(codigoBarra.Value(), e2), b2);
        if (barra.isEmpty())
            barra = codigo;
        const QByteArrayView textoDescripcion = descripcion.TextoUtf8(utf8)
            ? CampoUtf8(utf8, b3)
            : Campo(Texto(fg.ValorCampo(descripcion.Value()), e3), b3);
        salida.EscribeAnsi(barra);
        salida.EscribeAnsi(";");
        salida.EscribeAnsi(codigo);
        salida.EscribeAnsi(";");
        salida.EscribeAnsi(textoDescripcion);
        salida.EscribeAnsi(";0");
        salida.FinLinea();
        if (++lineas % kFilasPorAvance == 0 && avance)
            avance(lineas);
    }
    return lineas;
}
