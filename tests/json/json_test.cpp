#include "comun/ayudas.h"
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

using Separador = prueba::SeparadorDecimal;
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
    EXPECT_EQ((*g->begin()).first, u"k39");
    EXPECT_EQ(g->Item(u"K7"_qs), Variant(numero(u"7")));
    EXPECT_TRUE(JSON::ErroresJSON().startsWith(u"This key is already associated with an element of this collection: K5"));
}

namespace {
QStringList claves(const Diccionario& d)
{
    QStringList r;
    for (const auto& [k, v] : d)
        r << k;
    return r;
}
} // namespace

TEST(LeerJSON, ObjectsOfOneKindKeepTheirOwnKeys)
{
    auto l = lista(uR"([{"a":1,"b":2,"c":3}, {"a":4,"b":5}, {"a":6,"x":7}, {"a":8,"b":9,"c":10,"d":11}, {"A":1}, {}, {"b":1,"a":2}])"_qs);
    ASSERT_TRUE(l);
    EXPECT_EQ(JSON::ErroresJSON(), u"");
    const QList<QStringList> esperado = {{u"a"_qs, u"b"_qs, u"c"_qs}, {u"a"_qs, u"b"_qs}, {u"a"_qs, u"x"_qs},
                                         {u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs}, {u"A"_qs}, {}, {u"b"_qs, u"a"_qs}};
    for (int i = 0; i < l->Count(); ++i)
        EXPECT_EQ(claves(comoObjeto(l->Item(i + 1))), esperado[i]) << i;
    EXPECT_FALSE(comoObjeto(l->Item(2)).Exists(u"c"_qs));
    EXPECT_EQ(comoObjeto(l->Item(3)).Item(u"x"_qs), Variant(numero(u"7")));
    EXPECT_TRUE(comoObjeto(l->Item(1)).Item(u"d"_qs).isEmpty());

    // Shared long key lists are indexed: a shorter object must not see the keys past its own.
    QString largo = u"{"_qs, corto = u"{"_qs;
    for (int i = 0; i < 20; ++i)
        largo += QStringLiteral("k%1:%1,").arg(i);
    for (int i = 0; i < 17; ++i)
        corto += QStringLiteral("k%1:%1,").arg(i);
    auto m = lista(u"["_qs + largo + u"}, "_qs + corto + u"k19: 0}, "_qs + corto + u"K3: 0}]"_qs);
    ASSERT_TRUE(m);
    const Diccionario& segundo = comoObjeto(m->Item(2));
    EXPECT_EQ(segundo.Count(), 18);
    EXPECT_EQ(segundo.Item(u"K19"_qs), Variant(numero(u"0")));
    EXPECT_FALSE(segundo.Exists(u"k17"_qs));
    EXPECT_EQ(comoObjeto(m->Item(3)).Count(), 17);
    EXPECT_TRUE(JSON::ErroresJSON().startsWith(u"This key is already associated with an element of this collection: K3"));
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
