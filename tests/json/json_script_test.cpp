#include "comun/ayudas.h"
#include "json/cJSONScript.h"
#include "platform/errores.h"
#include "platform/operador.h"
#include "platform/vb.h"

#include <gtest/gtest.h>

namespace {
class JSONScript : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto o = std::make_unique<OperadorGuion>();
        guion = o.get();
        previo_ = instalaOperador(std::move(o));
        separador_ = vb::SeparadorDecimal();
    }
    void TearDown() override
    {
        instalaOperador(std::move(previo_));
        vb::FijaSeparadorDecimal(separador_);
    }
    QString eval(const QString& s) { return script.Eval(s); }

    cJSONScript script;
    OperadorGuion* guion = nullptr;

private:
    std::unique_ptr<Operador> previo_;
    QChar separador_;
};

using prueba::NumeroDeError;

// count lists one inside another around the text.
QString anidado(int count, const QString& centro) { return QString(count, u'[') + centro + QString(count, u']'); }
} // namespace

TEST_F(JSONScript, JoinsLiteralsAndCommandOutput)
{
    EXPECT_EQ(eval(uR"(["Hello ", {"return": "World"}])"_qs), u"Hello World");
    EXPECT_EQ(eval(uR"([null, "-", [true, false, null, 7], {}, {"RETURN": "x"}, {"return": 12}])"_qs), u"null-truefalsenull7x12");
    EXPECT_EQ(eval(uR"([])"_qs), u"");
    EXPECT_TRUE(guion->mostrados.empty());
}

TEST_F(JSONScript, VariablesLiveAsLongAsTheObject)
{
    EXPECT_EQ(eval(uR"([{"set": {"name": "x", "value": 5}}, {"get": {"name": "x", "default": 0}}])"_qs), u"5");
    EXPECT_EQ(eval(uR"([{"get": {"name": "X", "default": 0}}])"_qs), u"5");
    EXPECT_EQ(eval(uR"([{"set": {"name": "x", "value": ["a", "b"]}}, {"get": {"name": "x"}}])"_qs), u"ab");
    EXPECT_EQ(eval(uR"([{"get": {"name": "never"}}, "|"])"_qs), u"|");

    cJSONScript otro;
    EXPECT_EQ(otro.Eval(uR"([{"get": {"name": "x", "default": 0}}])"_qs), u"0");
}

TEST_F(JSONScript, ComparesInIf)
{
    const QString plantilla = uR"([{"if": {"value1": "A", "value2": "a", "type": "%1", "true": "T", "false": "F"}}])"_qs;
    EXPECT_EQ(eval(plantilla.arg(u"eq")), u"T");
    EXPECT_EQ(eval(plantilla.arg(u"EQ")), u"T");
    EXPECT_EQ(eval(plantilla.arg(u"gt")), u"F");
    EXPECT_EQ(eval(plantilla.arg(u"lt")), u"T");
    EXPECT_EQ(eval(plantilla.arg(u"gte")), u"F");
    EXPECT_EQ(eval(plantilla.arg(u"lte")), u"T");
    EXPECT_EQ(eval(plantilla.arg(u"ne")), u"F");
    EXPECT_EQ(eval(uR"([{"if": {"value1": "b", "value2": "b", "type": "gte", "true": {"return": "ok"}}}])"_qs), u"ok");
    EXPECT_EQ(eval(uR"([{"if": {"value1": "b", "value2": "c", "type": "gt", "true": "T"}}])"_qs), u"");
}

TEST_F(JSONScript, SwitchTakesTheFirstMatchingCaseOrTheDefault)
{
    const QString plantilla =
        uR"([{"switch": {"default": "none", "case": "%1", "items": [{"case": "a", "return": "first"}, {"case": "B", "return": "second"}, {"case": "b", "return": "third"}]}}])"_qs;
    EXPECT_EQ(eval(plantilla.arg(u"A")), u"first");
    EXPECT_EQ(eval(plantilla.arg(u"b")), u"second");
    EXPECT_EQ(eval(plantilla.arg(u"z")), u"none");
    EXPECT_EQ(NumeroDeError([&] { eval(uR"([{"switch": {"case": "a"}}])"_qs); }), 424);
    EXPECT_EQ(NumeroDeError([&] { eval(uR"([{"switch": {"case": "a", "items": ["a"]}}])"_qs); }), 424);
}

TEST_F(JSONScript, OtherKeysBecomePlaceholders)
{
    EXPECT_EQ(eval(uR"([{"precio": {"a": 1, "b": 2}}])"_qs), u"<%PRECIO(1,2)%>");
    EXPECT_EQ(eval(uR"([{"fecha": "hoy"}])"_qs), u"<%FECHA(hoy)%>");
    EXPECT_EQ(eval(uR"([{"total": [1, 2]}, {"Iva": {}}])"_qs), u"<%TOTAL()%><%IVA()%>");
    EXPECT_EQ(eval(uR"([{"p": {"a": true, "b": null, "c": 1.25}}])"_qs), u"<%P(true,null,1.25)%>");
}

TEST_F(JSONScript, NumbersAreWrittenWithAPointUnderADecimalComma)
{
    vb::FijaSeparadorDecimal(u',');
    EXPECT_EQ(eval(uR"([[1.5, "|", -0.25], {"return": 2.5}, {"precio": {"a": 1.5, "b": 2}}])"_qs), u"1.5|-0.252.5<%PRECIO(1.5,2)%>");
    EXPECT_EQ(script.ExecCommand(Variant(1.5)), u"1.5");
    EXPECT_EQ(script.ExecCommand(Variant(Currency{12500})), u"1.25");
}

TEST_F(JSONScript, AlertAndInputGoToTheOperator)
{
    guion->entradas.push_back(u"Ana"_qs);
    const QString r = eval(
        uR"([{"alert": {"message": ["Hi", " there"], "title": "T"}}, {"input": {"prompt": "Name?", "title": "Who", "default": "Bob"}}, {"alert": "bare"}])"_qs);
    EXPECT_EQ(r, u"Ana");
    ASSERT_EQ(guion->mostrados.size(), 3u);
    EXPECT_EQ(guion->mostrados[0].texto, u"Hi there");
    EXPECT_EQ(guion->mostrados[0].titulo, u"T");
    EXPECT_EQ(guion->mostrados[0].estilo, estilo::Information);
    EXPECT_EQ(guion->mostrados[1].tipo, u"InputBox");
    EXPECT_EQ(guion->mostrados[1].texto, u"Name?");
    EXPECT_EQ(guion->mostrados[1].titulo, u"Who");
    // A command given a bare text has no arguments.
    EXPECT_EQ(guion->mostrados[2].texto, u"");
}

TEST_F(JSONScript, NestingBeyondTheLimitGivesTheErrorTextInPlaceOfTheInnerLevel)
{
    // The top-level list is not a call; 40 lists in it and the text inside
    // them make the 41 calls that may run at once.
    EXPECT_EQ(eval(u"["_qs + anidado(40, u"\"deep\""_qs) + u"]"_qs), u"deep");
    EXPECT_EQ(eval(u"["_qs + anidado(41, u"\"deep\""_qs) + u"]"_qs), u"ERROR: Nesting level exceeded.");
    EXPECT_EQ(eval(u"["_qs + anidado(3, u"\"a\","_qs + anidado(40, u"\"b\""_qs) + u",\"c\""_qs) + u"]"_qs),
              u"aERROR: Nesting level exceeded.c");
    // The depth went back: a shallow script runs normally afterwards.
    EXPECT_EQ(eval(uR"([["ok"]])"_qs), u"ok");
}

TEST_F(JSONScript, MalformedScriptsShowTheParserErrorBox)
{
    EXPECT_EQ(eval(uR"(["a", tru])"_qs), u"");
    ASSERT_EQ(guion->mostrados.size(), 1u);
    EXPECT_EQ(guion->mostrados[0].titulo, u"Parser Error");
    EXPECT_EQ(guion->mostrados[0].estilo, estilo::Exclamation);
    EXPECT_TRUE(guion->mostrados[0].texto.startsWith(u"Invalid Boolean at position 7 : "));

    EXPECT_EQ(eval(u"hello"_qs), u"");
    EXPECT_EQ(guion->mostrados.back().texto, u"Invalid JSON");
}

TEST_F(JSONScript, TopLevelNumbersAndObjectsRaiseObjectRequired)
{
    EXPECT_EQ(NumeroDeError([&] { eval(uR"(["a", 1])"_qs); }), 424);
    EXPECT_EQ(NumeroDeError([&] { eval(uR"(["a", true])"_qs); }), 424);
    EXPECT_EQ(NumeroDeError([&] { eval(uR"({"return": "x"})"_qs); }), 424);
    EXPECT_EQ(NumeroDeError([&] { eval(uR"([{"return": {"a": 1}}])"_qs); }), 13);
    // The depth is restored after a raised error.
    EXPECT_EQ(eval(u"["_qs + anidado(40, u"\"deep\""_qs) + u"]"_qs), u"deep");
}
