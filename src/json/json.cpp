#include "json/json.h"

#include "json/cStringBuilder.h"
#include "json/diccionario.h"
#include "json/lista.h"
#include "platform/errores.h"

#include <string_view>
#include <unordered_map>

namespace JSON {
namespace {

QString& errores()
{
    static QString e;
    return e;
}

// A malformed text can yield one error line per character; past this size
// the reading stops, and quoted remainders are cut, so the error text stays
// small whatever the input.
constexpr qsizetype kMaxErrores = 1 << 20;
constexpr qsizetype kMaxCita = 200;
constexpr std::size_t kMaxCompartidas = 8192;
constexpr std::size_t kMaxLargoCompartida = 64;
constexpr qsizetype kMaxLargoTextoCompartido = 16;

class Lector {
public:
    explicit Lector(QStringView t) : s_(t.utf16()), n_(t.size()) {}

    std::shared_ptr<VbObject> LeerRaiz()
    {
        SaltarEspacios();
        if (pos_ < n_ && s_[pos_] == u'{')
            return LeerObjeto();
        if (pos_ < n_ && s_[pos_] == u'[')
            return LeerLista();
        errores() = QStringLiteral("Invalid JSON");
        return nullptr;
    }

private:
    // Lines end in CR LF; positions in them are 1-based.
    void error(const QString& linea)
    {
        errores() += linea;
        errores() += u"\r\n";
        if (errores().size() > kMaxErrores)
            detenido_ = true;
    }
    QString posicion() const { return QString::number(pos_ + 1); }
    QString cita(qsizetype desde, qsizetype largo) const
    {
        desde = std::min(desde, n_);
        return QString(reinterpret_cast<const QChar*>(s_ + desde), std::min({largo, n_ - desde, kMaxCita}));
    }
    QString resto() const { return cita(pos_, n_ - pos_); }
    QString ultimos20() const { return cita(std::max<qsizetype>(0, n_ - 20), 20); }
    QStringView vista(qsizetype desde, qsizetype largo) const { return {s_ + desde, largo}; }
    bool es(qsizetype p, std::u16string_view palabra) const
    {
        return n_ - p >= qsizetype(palabra.size()) && std::u16string_view(s_ + p, palabra.size()) == palabra;
    }

    // Blanks, line ends, parentheses, "//" line comments, "/* */" block
    // comments and a lone "/" or "*" are all insignificant between tokens.
    void SaltarEspacios()
    {
        while (pos_ < n_) {
            switch (s_[pos_]) {
            case u' ':
            case u'\t':
            case u'\r':
            case u'\n':
            case u'(':
            case u')':
            case u'*': ++pos_; break;
            case u'/':
                if (es(pos_, u"//")) {
                    pos_ += 2;
                    while (pos_ < n_ && s_[pos_] != u'\r' && s_[pos_] != u'\n')
                        ++pos_;
                } else if (es(pos_, u"/*")) {
                    pos_ += 2;
                    while (pos_ < n_ && !es(pos_, u"*/"))
                        ++pos_;
                    pos_ = std::min(pos_ + 2, n_);
                } else {
                    ++pos_;
                }
                break;
            default: return;
            }
        }
    }

    Variant LeerValor()
    {
        SaltarEspacios();
        if (pos_ >= n_)
            return LeerNumero();
        switch (s_[pos_]) {
        case u'{':
        case u'[':
            if (niveles_ >= kMaxNiveles) {
                error(QStringLiteral("Nesting too deep at position ") + posicion() + QStringLiteral(" : ") + cita(pos_, 20));
                detenido_ = true;
                return {};
            }
            if (s_[pos_] == u'{')
                return std::shared_ptr<VbObject>(LeerObjeto());
            return std::shared_ptr<VbObject>(LeerLista());
        case u'"':
        case u'\'': return LeerTexto();
        case u't':
        case u'f': return LeerLogico();
        case u'n': return LeerNulo();
        default: return LeerNumero();
        }
    }

    std::shared_ptr<Diccionario> LeerObjeto()
    {
        // Objects at one depth are mostly of one kind: each starts from the
        // keys of the previous one.
        if (moldes_.size() <= std::size_t(niveles_))
            moldes_.resize(std::size_t(niveles_) + 1);
        auto dic = std::make_shared<Diccionario>(moldes_[std::size_t(niveles_)]);
        SaltarEspacios();
        if (pos_ >= n_ || s_[pos_] != u'{') {
            error(QStringLiteral("Invalid Object at position ") + posicion() + QStringLiteral(" : ") + resto());
            return dic;
        }
        ++pos_;
        ++niveles_;
        while (!detenido_) {
            SaltarEspacios();
            if (pos_ >= n_) {
                error(QStringLiteral("Missing '}': ") + ultimos20());
                break;
            }
            if (s_[pos_] == u'}') {
                ++pos_;
                break;
            }
            if (s_[pos_] == u',') {
                ++pos_;
                continue;
            }
            // Members need no comma between them: anything else starts a key.
            const QString clave = LeerClave();
            try {
                Variant v = LeerValor();
                if (detenido_)
                    break;
                dic->Add(clave, std::move(v));
            } catch (const VbError& e) {
                error(e.Description + QStringLiteral(": ") + clave);
                break;
            }
        }
        --niveles_;
        dic->ajusta();
        if (dic->Count() > 0)
            moldes_[std::size_t(niveles_)] = dic->molde();
        return dic;
    }

    std::shared_ptr<Lista> LeerLista()
    {
        auto lista = std::make_shared<Lista>();
        SaltarEspacios();
        if (pos_ >= n_ || s_[pos_] != u'[') {
            error(QStringLiteral("Invalid Array at position ") + posicion() + QStringLiteral(" : ") + resto());
            return lista;
        }
        ++pos_;
        ++niveles_;
        while (!detenido_) {
            SaltarEspacios();
            if (pos_ >= n_) {
                error(QStringLiteral("Missing ']': ") + ultimos20());
                break;
            }
            if (s_[pos_] == u']') {
                ++pos_;
                break;
            }
            if (s_[pos_] == u',') {
                ++pos_;
                continue;
            }
            const qsizetype antes = pos_;
            try {
                Variant v = LeerValor();
                if (detenido_)
                    break;
                lista->Add(std::move(v));
            } catch (const VbError& e) {
                error(e.Description + QStringLiteral(": ") + cita(pos_, 20));
                break;
            }
            // A bad literal leaves the position where it was; reading on
            // from there would never end.
            if (pos_ == antes)
                break;
        }
        --niveles_;
        lista->ajusta();
        return lista;
    }

    QString LeerClave()
    {
        SaltarEspacios();
        clave_.clear();
        bool dobles = false, simples = false;
        while (pos_ < n_) {
            const char16_t c = s_[pos_];
            // Inside quotes of one kind, a quote of the other kind is text.
            if ((c == u'"' && !simples) || (c == u'\'' && !dobles)) {
                bool& comillas = c == u'"' ? dobles : simples;
                comillas = !comillas;
                ++pos_;
                if (!comillas) {
                    SaltarEspacios();
                    if (pos_ >= n_ || s_[pos_] != u':') {
                        error(QStringLiteral("Invalid Key at position ") + posicion() + QStringLiteral(" : ") +
                              QString::fromStdU16String(clave_));
                        return compartida(clave_);
                    }
                }
                continue;
            }
            ++pos_;
            if (c == u':') {
                if (!dobles && !simples)
                    break;
            } else if (c == u'\r' || c == u'\n' || c == u'\t' || c == u' ') {
                continue;
            }
            clave_ += c;
        }
        return compartida(clave_);
    }

    // Keys, and short texts such as units or families, repeat all through a
    // document: the first few thousand distinct ones are kept once and shared.
    QString compartida(std::u16string_view v)
    {
        if (auto it = compartidas_.find(v); it != compartidas_.end())
            return it->second;
        QString t = QString::fromUtf16(v.data(), qsizetype(v.size()));
        if (compartidas_.size() < kMaxCompartidas && v.size() <= kMaxLargoCompartida)
            // The view points into the stored copy, which never changes.
            compartidas_.emplace(std::u16string_view(reinterpret_cast<const char16_t*>(t.utf16()), v.size()), t);
        return t;
    }

    QString LeerTexto()
    {
        SaltarEspacios();
        const char16_t delimitador = s_[pos_++];
        const qsizetype inicio = pos_;
        while (pos_ < n_ && s_[pos_] != delimitador && s_[pos_] != u'\\')
            ++pos_;
        // Without escapes the text is a plain copy of the source.
        if (pos_ >= n_)
            return vista(inicio, n_ - inicio).toString();
        if (s_[pos_] == delimitador) {
            const qsizetype largo = pos_++ - inicio;
            if (largo <= kMaxLargoTextoCompartido)
                return compartida(std::u16string_view(s_ + inicio, std::size_t(largo)));
            return vista(inicio, largo).toString();
        }

        texto_.Remove(0, texto_.Length());
        texto_.Append(vista(inicio, pos_ - inicio));
        while (pos_ < n_) {
            const char16_t c = s_[pos_];
            if (c == delimitador) {
                ++pos_;
                break;
            }
            if (c != u'\\') {
                const qsizetype tramo = pos_;
                while (pos_ < n_ && s_[pos_] != delimitador && s_[pos_] != u'\\')
                    ++pos_;
                texto_.Append(vista(tramo, pos_ - tramo));
                continue;
            }
            if (++pos_ >= n_)
                break;
            switch (s_[pos_]) {
            case u'"':
            case u'\\':
            case u'/':
            case u'\'': texto_.Append(QChar(s_[pos_++])); break;
            case u'b': texto_.Append(QChar(8)), ++pos_; break;
            case u'f': texto_.Append(QChar(12)), ++pos_; break;
            case u'n': texto_.Append(QChar(10)), ++pos_; break;
            case u'r': texto_.Append(QChar(13)), ++pos_; break;
            case u't': texto_.Append(QChar(9)), ++pos_; break;
            case u'u': {
                ++pos_;
                texto_.Append(QChar(unidadHex()));
                pos_ = std::min(pos_ + 4, n_);
                break;
            }
            default: break; // the letter itself is read as text next
            }
        }
        return texto_.toString();
    }

    // The four characters after a backslash and u, as one UTF-16 unit; 0 unless all four are hexadecimal.
    char16_t unidadHex() const
    {
        if (n_ - pos_ < 4)
            return 0;
        char16_t u = 0;
        for (qsizetype i = pos_; i < pos_ + 4; ++i) {
            const char16_t c = s_[i];
            int d;
            if (c >= u'0' && c <= u'9')
                d = c - u'0';
            else if (c >= u'a' && c <= u'f')
                d = c - u'a' + 10;
            else if (c >= u'A' && c <= u'F')
                d = c - u'A' + 10;
            else
                return 0;
            u = char16_t(u * 16 + d);
        }
        return u;
    }

    Variant LeerNumero()
    {
        SaltarEspacios();
        const qsizetype inicio = pos_;
        while (pos_ < n_ && ((s_[pos_] >= u'0' && s_[pos_] <= u'9') || s_[pos_] == u'.' || s_[pos_] == u'-' ||
                             s_[pos_] == u'+' || s_[pos_] == u'e' || s_[pos_] == u'E'))
            ++pos_;
        if (pos_ >= n_)
            return {};
        // JSON writes the decimal point as "." whatever the regional settings;
        // read under a decimal comma, "1.5" would become 15 or fail.
        bool desborde = false;
        const auto d = Decimal::parse(vista(inicio, pos_ - inicio), u'.', &desborde);
        if (!d) {
            if (desborde)
                Raise(vberr::Overflow, QStringLiteral("Overflow"));
            Raise(vberr::TypeMismatch, QStringLiteral("Type mismatch"));
        }
        return *d;
    }

    Variant LeerLogico()
    {
        SaltarEspacios();
        if (es(pos_, u"true")) {
            pos_ += 4;
            return true;
        }
        if (es(pos_, u"false")) {
            pos_ += 5;
            return false;
        }
        error(QStringLiteral("Invalid Boolean at position ") + posicion() + QStringLiteral(" : ") + resto());
        return false;
    }

    Variant LeerNulo()
    {
        if (es(pos_, u"null")) {
            pos_ += 4;
            return Variant::Null();
        }
        error(QStringLiteral("Invalid null value at position ") + posicion() + QStringLiteral(" : ") + resto());
        return {};
    }

    const char16_t* s_;
    qsizetype n_;
    qsizetype pos_ = 0;
    int niveles_ = 0;
    bool detenido_ = false;
    cStringBuilder texto_;
    std::u16string clave_;
    std::unordered_map<std::u16string_view, QString> compartidas_;
    std::vector<std::shared_ptr<Diccionario::Claves>> moldes_;
};

} // namespace

std::shared_ptr<VbObject> LeerJSON(QStringView texto)
{
    errores().clear();
    try {
        Lector lector(texto);
        return lector.LeerRaiz();
    } catch (const VbError& e) {
        errores() += e.Description + QStringLiteral("\r\n");
    } catch (const std::bad_alloc&) {
        errores() += QStringLiteral("Out of memory\r\n");
    }
    return nullptr;
}

QString ErroresJSON() { return errores(); }

} // namespace JSON
