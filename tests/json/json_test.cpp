#include "json/diccionario.h"
#include "json/json.h"
#include "json/lista.h"
#include "platform/errores.h"
#include "platform/vb.h"

#include <gtest/gtest.h>

inline void PrintTo(const Variant& v, std::ostream* os)
{
    *os << int(v.type()) << ":" << (v.isObject() || v.isNull() ? std::string("-") : v.toString().toStdString());
}

namespace {
const QString CRLF = QStringLiteral("\r\n");

std::shared_ptr<Diccionario> objeto(const QString& texto)
{
    return std::dynamic_pointer_cast<Diccionario>(JSON::LeerJSON(texto));
}
std::shared_ptr<Lista> lista(const QString& texto) { return std::dynamic_pointer_cast<Lista>(JSON::LeerJSON(texto)); }
const Diccionario& comoObjeto(const Variant& v) { return dynamic_cast<const Diccionario&>(*v.toObject()); }
const Lista& comoLista(const Variant& v) { return dynamic_cast<const Lista&>(*v.toObject()); }
Decimal numero(const char16_t* t) { return *Decimal::parse(QString::fromUtf16(t), u'.'); }

// Puts the regional decimal separator back whatever the test does.
class Separador {
public:
    explicit Separador(QChar s) : previo_(vb::SeparadorDecimal()) { vb::FijaSeparadorDecimal(s); }
    ~Separador() { vb::FijaSeparadorDecimal(previo_); }

private:
    QChar previo_;
};
} // namespace

TEST(LeerJSON, ReadsObjectsListsAndEveryScalar)
{
    auto d = objeto(u"{\"a\":1,\"b\":[true,null,\"x\"], \"c\": false, \"d\": -2.5e1, \"e\": {}, \"f\": []}"_qs);
    ASSERT_TRUE(d);
    EXPECT_EQ(JSON::ErroresJSON(), u"");
    EXPECT_EQ(d->Item(u"a"_qs), Variant(numero(u"1")));
    EXPECT_EQ(d->Item(u"a"_qs).type(), VarType::Decimal);
    const Lista& b = comoLista(d->Item(u"b"_qs));
    ASSERT_EQ(b.Count(), 3);
    EXPECT_EQ(b.Item(1), Variant(true));
    EXPECT_TRUE(b.Item(2).isNull());
    EXPECT_EQ(b.Item(3), Variant(u"x"));
    EXPECT_THROW(b.Item(0), VbError);
    EXPECT_THROW(b.Item(4), VbError);
    EXPECT_EQ(d->Item(u"c"_qs), Variant(false));
    EXPECT_EQ(d->Item(u"d"_qs), Variant(numero(u"-25")));
    EXPECT_EQ(comoObjeto(d->Item(u"e"_qs)).Count(), 0);
    EXPECT_EQ(comoLista(d->Item(u"f"_qs)).Count(), 0);
    EXPECT_TRUE(d->Item(u"absent"_qs).isEmpty());
}

TEST(LeerJSON, KeepsKeysInInsertionOrderAndComparesThemIgnoringCase)
{
    auto d = objeto(u"{\"zeta\":1,\"alfa\":2,\"Media\":3}"_qs);
    ASSERT_TRUE(d);
    QStringList claves;
    for (const auto& [k, v] : *d)
        claves << k;
    EXPECT_EQ(claves, QStringList({u"zeta"_qs, u"alfa"_qs, u"Media"_qs}));
    EXPECT_TRUE(d->Exists(u"MEDIA"_qs));

    // Large objects switch to an index: order and lookups must not change.
    QString texto = u"{"_qs;
    for (int i = 0; i < 40; ++i)
        texto += QStringLiteral("\"k%1\":%1,").arg(39 - i);
    texto += u"\"K5\":0}"_qs;
    auto g = objeto(texto);
    ASSERT_TRUE(g);
    EXPECT_EQ(g->Count(), 40);
    EXPECT_EQ(g->begin()->first, u"k39");
    EXPECT_EQ(g->Item(u"K7"_qs), Variant(numero(u"7")));
    EXPECT_TRUE(JSON::ErroresJSON().startsWith(u"This key is already associated with an element of this collection: K5"));
}

TEST(LeerJSON, SkipsCommentsParenthesesAndLoneSlashes)
{
    auto d = objeto(u" /* head * note **/ // line\r\n ( { /a: 1, // first\n b : /*x*/ (2) * } )"_qs);
    ASSERT_TRUE(d);
    EXPECT_EQ(JSON::ErroresJSON(), u"");
    EXPECT_EQ(d->Count(), 2);
    EXPECT_EQ(d->Item(u"a"_qs), Variant(numero(u"1")));
    EXPECT_EQ(d->Item(u"b"_qs), Variant(numero(u"2")));
    // An unterminated block comment swallows the rest.
    EXPECT_FALSE(objeto(u"/* {\"a\":1}"_qs));
    EXPECT_EQ(JSON::ErroresJSON(), u"Invalid JSON");
}

TEST(LeerJSON, AcceptsSingleQuotesUnquotedKeysAndMissingCommas)
{
    auto d = objeto(u"{'a':'b', c : 1 \"d\":2, \"e f\" :3, 'it\"s':4, \"l'x\":5, \"h:m\":6}"_qs);
    ASSERT_TRUE(d);
    EXPECT_EQ(JSON::ErroresJSON(), u"");
    QStringList claves;
    for (const auto& [k, v] : *d)
        claves << k;
    EXPECT_EQ(claves, QStringList({u"a"_qs, u"c"_qs, u"d"_qs, u"ef"_qs, u"it\"s"_qs, u"l'x"_qs, u"h:m"_qs}));
    EXPECT_EQ(d->Item(u"a"_qs), Variant(u"b"));
    EXPECT_EQ(d->Item(u"l'x"_qs), Variant(numero(u"5")));

    auto l = lista(u"[1 2,,3,]"_qs);
    ASSERT_TRUE(l);
    EXPECT_EQ(l->Count(), 3);
    EXPECT_EQ(JSON::ErroresJSON(), u"");
}

TEST(LeerJSON, InterpretsEscapesInTextsButNotInKeys)
{
    auto l = lista(uR"(["\u0041\q\"\\\/\'\b\f\n\r\t", 'a\'b"c', "\ud800", "\u00zz|", "\uAbCd", "a)"_qs + u"\\"_qs);
    ASSERT_TRUE(l);
    EXPECT_EQ(l->Item(1), Variant(QStringLiteral("Aq\"\\/'\b\f\n\r\t")));
    EXPECT_EQ(l->Item(2), Variant(u"a'b\"c"));
    const QString sustituto = l->Item(3).toString();
    ASSERT_EQ(sustituto.size(), 1);
    EXPECT_EQ(sustituto.at(0).unicode(), 0xD800);
    EXPECT_EQ(l->Item(4), Variant(QString(QChar(0)) + u"|"_qs));
    EXPECT_EQ(l->Item(5).toString().at(0).unicode(), 0xABCD);
    // Unterminated texts end with the text; a final backslash is dropped.
    EXPECT_EQ(l->Item(6), Variant(u"a"));
    EXPECT_TRUE(JSON::ErroresJSON().startsWith(u"Missing ']': "));

    auto d = objeto(uR"({"a\n":1})"_qs);
    ASSERT_TRUE(d);
    EXPECT_TRUE(d->Exists(uR"(a\n)"_qs));
}

TEST(LeerJSON, ReadsNumbersWithThePointWhateverTheRegionalSettings)
{
    for (QChar sep : {QChar(u'.'), QChar(u',')}) {
        Separador s(sep);
        auto l = lista(u"[1.5, -0.25, 1e5, 2E-2, +3, 12345678901234567890123456789]"_qs);
        ASSERT_TRUE(l);
        EXPECT_EQ(JSON::ErroresJSON(), u"");
        EXPECT_EQ(l->Item(1), Variant(numero(u"1.5")));
        EXPECT_EQ(l->Item(2), Variant(numero(u"-0.25")));
        EXPECT_EQ(l->Item(3), Variant(numero(u"100000")));
        EXPECT_EQ(l->Item(4), Variant(numero(u"0.02")));
        EXPECT_EQ(l->Item(5), Variant(numero(u"3")));
        EXPECT_EQ(l->Item(6), Variant(numero(u"12345678901234567890123456789")));
    }
}

TEST(LeerJSON, ReportsEachErrorInItsOwnLine)
{
    EXPECT_FALSE(JSON::LeerJSON(u"x{}"_qs));
    EXPECT_EQ(JSON::ErroresJSON(), u"Invalid JSON");
    EXPECT_FALSE(JSON::LeerJSON(u""_qs));
    EXPECT_EQ(JSON::ErroresJSON(), u"Invalid JSON");

    auto d = objeto(u"{\"a\":1,\"a\":2}"_qs);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->Item(u"a"_qs), Variant(numero(u"1")));
    EXPECT_EQ(JSON::ErroresJSON(), u"This key is already associated with an element of this collection: a"_qs + CRLF);

    auto l = lista(u"[1,2"_qs);
    ASSERT_TRUE(l);
    EXPECT_EQ(JSON::ErroresJSON(), u"Missing ']': [1,2"_qs + CRLF);
    // The text ended inside the number: that value is Empty.
    EXPECT_TRUE(l->Item(2).isEmpty());
    lista(u"[\"abcdefghijklmnopqrstuvwxyz\""_qs);
    EXPECT_EQ(JSON::ErroresJSON(), u"Missing ']': hijklmnopqrstuvwxyz\""_qs + CRLF);
    objeto(u"{\"a\":1 "_qs);
    EXPECT_EQ(JSON::ErroresJSON(), u"Missing '}': {\"a\":1 "_qs + CRLF);

    d = objeto(u"{\"a\":tru}"_qs);
    EXPECT_EQ(JSON::ErroresJSON().section(CRLF, 0, 0), u"Invalid Boolean at position 6 : tru}");
    objeto(u"{\"a\":nul}"_qs);
    EXPECT_EQ(JSON::ErroresJSON().section(CRLF, 0, 0), u"Invalid null value at position 6 : nul}");
    d = objeto(u"{\"a\" 1}"_qs);
    EXPECT_EQ(JSON::ErroresJSON(), u"Invalid Key at position 6 : a"_qs + CRLF);
    EXPECT_EQ(d->Item(u"a"_qs), Variant(numero(u"1")));

    d = objeto(u"{\"a\":x,\"b\":2}"_qs);
    EXPECT_EQ(JSON::ErroresJSON(), u"Type mismatch: a"_qs + CRLF);
    EXPECT_EQ(d->Count(), 0);
    lista(u"[1,1e40,3]"_qs);
    EXPECT_EQ(JSON::ErroresJSON(), u"Overflow: ,3]"_qs + CRLF);
    lista(u"[1,--,3]"_qs);
    EXPECT_EQ(JSON::ErroresJSON(), u"Type mismatch: ,3]"_qs + CRLF);
}

TEST(LeerJSON, StopsOnABadLiteralInAListInsteadOfLoopingForever)
{
    auto l = lista(u"[true, tru, 1]"_qs);
    ASSERT_TRUE(l);
    EXPECT_EQ(JSON::ErroresJSON(), u"Invalid Boolean at position 8 : tru, 1]"_qs + CRLF);
    EXPECT_EQ(l->Count(), 2);
    lista(u"[nil]"_qs);
    EXPECT_EQ(JSON::ErroresJSON(), u"Invalid null value at position 2 : nil]"_qs + CRLF);
}

TEST(LeerJSON, DeepNestingStopsWithAnErrorLine)
{
    const int profundo = 10000;
    auto l = lista(QString(profundo, u'[') + QString(profundo, u']'));
    ASSERT_TRUE(l);
    const QString esperado = u"Nesting too deep at position %1 : [[[[[[[[[[[[[[[[[[[["_qs.arg(JSON::kMaxNiveles + 1) + CRLF;
    EXPECT_EQ(JSON::ErroresJSON(), esperado);
    auto o = objeto(QString(profundo, u'{').replace(u"{"_qs, u"{a:"_qs));
    ASSERT_TRUE(o);
    EXPECT_TRUE(JSON::ErroresJSON().startsWith(u"Nesting too deep at position "));

    // Exactly at the limit everything is read.
    lista(QString(JSON::kMaxNiveles, u'[') + QString(JSON::kMaxNiveles, u']'));
    EXPECT_EQ(JSON::ErroresJSON(), u"");
}

TEST(LeerJSON, KeepsTheErrorTextBoundedOnHostileInput)
{
    QString texto = u"{"_qs;
    for (int i = 0; i < 100000; ++i)
        texto += u"a:t "_qs;
    auto d = objeto(texto);
    ASSERT_TRUE(d);
    EXPECT_LT(JSON::ErroresJSON().size(), 2 * 1024 * 1024);
    EXPECT_TRUE(JSON::ErroresJSON().startsWith(u"Invalid Boolean at position 4 : t a:t"));
}
