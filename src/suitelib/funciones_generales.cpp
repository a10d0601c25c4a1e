#include "suitelib/funciones_generales.h"

#include "platform/errores.h"
#include "platform/rutas.h"
#include "platform/vb.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

Variant FuncionesGenerales::ValorCampo(const Variant& valor) const
{
    switch (valor.type()) {
    case VarType::Empty:
    case VarType::Null: return QString();
    case VarType::Boolean:
    case VarType::String: return valor;
    case VarType::Object: Raise(vberr::TypeMismatch, QStringLiteral("Type mismatch: an object is no field value"));
    default: return valor.toString();
    }
}

namespace {

// A plain decimal text ("-12.34567") scaled by 10,000, rounded half to even
// on its digits, as the platform's Currency conversion does.
std::optional<std::int64_t> escalaCurrency(const QString& plano)
{
    const bool negativo = plano.startsWith(u'-');
    const QString cuerpo = negativo ? plano.mid(1) : plano;
    const qsizetype punto = cuerpo.indexOf(u'.');
    const QString entera = punto < 0 ? cuerpo : cuerpo.left(punto);
    const QString fraccion = punto < 0 ? QString() : cuerpo.mid(punto + 1);
    __int128 v = 0;
    for (const QChar c : entera) {
        v = v * 10 + (c.unicode() - u'0');
        if (v > (__int128(1) << 64))
            return std::nullopt;
    }
    for (int i = 0; i < 4; ++i)
        v = v * 10 + (i < fraccion.size() ? fraccion[i].unicode() - u'0' : 0);
    if (fraccion.size() > 4) {
        const int siguiente = fraccion[4].unicode() - u'0';
        bool resto = false;
        for (qsizetype i = 5; i < fraccion.size(); ++i)
            resto = resto || fraccion[i] != u'0';
        if (siguiente > 5 || (siguiente == 5 && (resto || (v & 1))))
            ++v;
    }
    if (negativo)
        v = -v;
    if (v > std::numeric_limits<std::int64_t>::max() || v < std::numeric_limits<std::int64_t>::min())
        return std::nullopt;
    return static_cast<std::int64_t>(v);
}

} // namespace

Variant FuncionesGenerales::ValorNumerico(const Variant& valor) const
{
    std::optional<Decimal> d;
    switch (valor.type()) {
    case VarType::Empty:
    case VarType::Null:
    case VarType::Object: return Currency{0};
    case VarType::Currency: return valor;
    case VarType::Decimal: d = *valor.get<Decimal>(); break;
    case VarType::String: {
        double x;
        if (!vb::ANumero(*valor.get<QString>(), x))
            return Currency{0};
        d = Decimal::parse(*valor.get<QString>(), vb::SeparadorDecimal());
        if (!d)
            Raise(vberr::Overflow, QStringLiteral("Overflow"));
        break;
    }
    default: d = Decimal::fromDouble(valor.toDouble()); break;
    }
    const auto escalado = d ? escalaCurrency(d->toString(u'.')) : std::nullopt;
    if (!escalado)
        Raise(vberr::Overflow, QStringLiteral("Overflow"));
    return Currency{*escalado};
}

QString FuncionesGenerales::ExtraeValor(const QString& texto, const QString& separador, const QString& fin, int ocurrencia) const
{
    QString r = texto;
    if (!separador.isEmpty()) {
        for (int i = 0; i < std::max(ocurrencia, 1); ++i) {
            const qsizetype p = r.indexOf(separador);
            if (p < 0)
                break;
            r = r.mid(p + separador.size());
        }
    }
    if (!fin.isEmpty()) {
        const qsizetype p = r.indexOf(fin);
        if (p >= 0)
            r.truncate(p);
    }
    return r;
}

QString FuncionesGenerales::CambiaCaracter(const QString& texto, QChar caracter, const QString& reemplazo) const
{
    return QString(texto).replace(caracter, reemplazo);
}

QString FuncionesGenerales::ReemplazaTexto(const QString& texto, const QString& buscado, const QString& reemplazo) const
{
    if (buscado.isEmpty())
        return texto;
    return QString(texto).replace(buscado, reemplazo);
}

QString FuncionesGenerales::LimitaTexto(const QString& texto, int largo) const
{
    return largo <= 0 ? QString() : texto.left(largo);
}

int FuncionesGenerales::CuentaPartes(const QString& texto) const
{
    int n = 0;
    bool enPalabra = false;
    for (const QChar c : texto) {
        const bool blanco = c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
        if (!blanco && !enPalabra)
            ++n;
        enPalabra = !blanco;
    }
    return n;
}

QString FuncionesGenerales::FormateaValor(const Variant& valor, int largo) const
{
    QString t;
    if (!valor.isNull() && !valor.isEmpty())
        t = valor.isObject() ? QString() : valor.toString();
    return largo > 0 ? t.left(largo) : t;
}

void FuncionesGenerales::PreparaFormulario(QWidget*, bool) const {}

namespace {
// Each position gets its own mask, so equal characters do not look equal.
char16_t mascara(qsizetype i) { return char16_t(0x5A3C + 0x1F7 * i); }

int digitoHex(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}
} // namespace

namespace {
// The check group of an encoding: a hash of the password and its length,
// so that a plain password that happens to be made of hexadecimal digits is
// not taken for an encoding.
unsigned grupoControl(const QString& clave)
{
    std::uint32_t h = 0x811C9DC5u ^ std::uint32_t(clave.size());
    for (QChar c : clave)
        h = (h ^ c.unicode()) * 0x01000193u;
    return (h ^ (h >> 16)) & 0xFFFFu;
}

QString hex4(unsigned v) { return QStringLiteral("%1").arg(v & 0xFFFFu, 4, 16, QLatin1Char('0')).toUpper(); }

const QChar kMarcaClave = u'~';
} // namespace

QString FuncionesGenerales::CodificaClave(const QString& clave) const
{
    QString r;
    r.reserve(clave.size() * 4 + 5);
    r += kMarcaClave;
    for (qsizetype i = 0; i < clave.size(); ++i)
        r += hex4(char16_t(clave[i].unicode() ^ mascara(i)));
    r += hex4(grupoControl(clave));
    return r;
}

QString FuncionesGenerales::DecodificaClave(const QString& codificada) const
{
    // Blanks a fixed-width column pads with are not part of the form.
    qsizetype a = 0, b = codificada.size();
    while (a < b && codificada[a] == u' ')
        ++a;
    while (b > a && codificada[b - 1] == u' ')
        --b;
    const QStringView forma = QStringView(codificada).mid(a, b - a);
    // The marker, four digits per character, four check digits: anything else is a plain password.
    if (forma.size() < 5 || forma[0] != kMarcaClave || (forma.size() - 1) % 4 != 0)
        return codificada;
    std::vector<unsigned> grupos;
    for (qsizetype i = 1; i < forma.size(); i += 4) {
        unsigned v = 0;
        for (qsizetype k = i; k < i + 4; ++k) {
            const int d = digitoHex(forma[k]);
            if (d < 0)
                return codificada;
            v = v * 16 + unsigned(d);
        }
        grupos.push_back(v);
    }
    QString r;
    r.reserve(qsizetype(grupos.size()) - 1);
    for (std::size_t i = 0; i + 1 < grupos.size(); ++i)
        r += QChar(char16_t(grupos[i] ^ mascara(qsizetype(i))));
    if (grupoControl(r) != grupos.back())
        return codificada;
    return r;
}

QString FuncionesGenerales::BarraFinal(const QString& carpeta) const
{
    qsizetype n = carpeta.size();
    while (n > 0 && (carpeta[n - 1] == u'\\' || carpeta[n - 1] == u'/'))
        --n;
    return carpeta.left(n) + rutas::Separador(carpeta);
}
