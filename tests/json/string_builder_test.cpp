#include "comun/ayudas.h"
#include "json/cStringBuilder.h"
#include "platform/errores.h"

#include <gtest/gtest.h>

namespace {
using prueba::NumeroDeError;
} // namespace

TEST(StringBuilder, GrowsInWholeChunks)
{
    cStringBuilder sb;
    EXPECT_EQ(sb.Length(), 0);
    EXPECT_EQ(sb.Capacity(), 0);
    EXPECT_EQ(sb.ChunkSize(), 8192);
    EXPECT_TRUE(sb.toString().isEmpty());

    sb.Append(u"x");
    EXPECT_EQ(sb.Capacity(), 8192);
    cStringBuilder grande;
    grande.Append(QString(8193, u'a'));
    EXPECT_EQ(grande.Capacity(), 16384);
    EXPECT_EQ(grande.Length(), 8193);

    cStringBuilder pequeno;
    pequeno.ChunkSize(4);
    for (int i = 0; i < 9; ++i)
        pequeno.Append(QChar(u'0' + i));
    EXPECT_EQ(pequeno.toString(), u"012345678");
    EXPECT_EQ(pequeno.Capacity(), 12);
}

TEST(StringBuilder, AssignsAppendsLinesAndClears)
{
    cStringBuilder sb;
    sb.ChunkSize(4);
    sb.TheString(u"hola mundo");
    EXPECT_EQ(sb.toString(), u"hola mundo");
    EXPECT_EQ(sb.Capacity(), 12);
    sb.AppendNL(u"!");
    sb.AppendByVal(QStringLiteral("fin"));
    EXPECT_EQ(sb.toString(), u"hola mundo!\r\nfin");
    sb.TheString(u"");
    EXPECT_EQ(sb.Length(), 0);
    EXPECT_EQ(sb.Capacity(), 0);

    sb.TheString(u"abc");
    sb.Clear();
    EXPECT_EQ(sb.Capacity(), 0);
    EXPECT_EQ(sb.ChunkSize(), 4);
    sb.Append(u"z");
    EXPECT_EQ(sb.toString(), u"z");
    EXPECT_EQ(sb.Capacity(), 4);
}

TEST(StringBuilder, InsertsAndRemovesInsideTheTextOnly)
{
    cStringBuilder sb;
    sb.Append(u"mundo");
    sb.Insert(0, u"hola ");
    EXPECT_EQ(sb.toString(), u"hola mundo");
    sb.InsertByVal(sb.Length(), QStringLiteral("!"));
    EXPECT_EQ(sb.toString(), u"hola mundo!");
    sb.Insert(4, u",");
    EXPECT_EQ(sb.toString(), u"hola, mundo!");

    EXPECT_EQ(NumeroDeError([&] { sb.Insert(sb.Length() + 1, u"x"); }), 9);
    EXPECT_EQ(NumeroDeError([&] { sb.Insert(-1, u"x"); }), 9);
    EXPECT_EQ(NumeroDeError([&] { sb.Remove(10, 3); }), 9);
    EXPECT_EQ(NumeroDeError([&] { sb.Remove(-1, 1); }), 9);
    EXPECT_EQ(NumeroDeError([&] { sb.Remove(2, -1); }), 9);
    EXPECT_EQ(NumeroDeError([&] { sb.Remove(1, 0x7fffffff); }), 9);
    EXPECT_EQ(sb.toString(), u"hola, mundo!");

    sb.Remove(4, 1);
    EXPECT_EQ(sb.toString(), u"hola mundo!");
    const int capacidad = sb.Capacity();
    sb.Remove(0, sb.Length());
    EXPECT_EQ(sb.Length(), 0);
    EXPECT_TRUE(sb.toString().isEmpty());
    EXPECT_EQ(sb.Capacity(), capacidad);
}

TEST(StringBuilder, FindsMatchesThatStartWithinTheText)
{
    cStringBuilder sb;
    sb.Append(u"abcABCab");
    EXPECT_EQ(sb.Find(u"b"), 8 - 6);
    EXPECT_EQ(sb.Find(u"b", 3), 8);
    EXPECT_EQ(sb.Find(u"b", sb.Length()), 8);
    EXPECT_EQ(sb.Find(u"B"), 5);
    EXPECT_EQ(sb.Find(u"B", 0, 1), 2);
    EXPECT_EQ(sb.Find(u"ab", 2, 0), 7);
    EXPECT_EQ(sb.Find(u"zz"), 0);
    // The spare area is blanks: a match starting there is none, but one that
    // starts in the text may run into it.
    EXPECT_EQ(sb.Find(u" "), 0);
    EXPECT_EQ(sb.Find(u"b "), 8);
    EXPECT_EQ(sb.Find(u"B  ", 0, 1), 8);
    EXPECT_EQ(sb.Find(u"a", 99), 0);
    sb.Remove(5, 3);
    EXPECT_EQ(sb.Find(u"ab", 2), 0);
    // the blanks that Remove left behind are spare area again
    EXPECT_EQ(sb.Find(u"B "), 5);
    EXPECT_EQ(sb.Find(u" ", 5), 0);
    EXPECT_EQ(NumeroDeError([&] { sb.Find(u"a", 1, 2); }), 5);

    cStringBuilder ab;
    ab.Append(u"ab");
    EXPECT_EQ(ab.Find(u"b "), 2);
    // no spare area at all: nothing to run into
    cStringBuilder lleno;
    lleno.ChunkSize(2);
    lleno.Append(u"ab");
    ASSERT_EQ(lleno.Capacity(), lleno.Length());
    EXPECT_EQ(lleno.Find(u"b "), 0);
    EXPECT_EQ(lleno.Find(u"b"), 2);
    EXPECT_EQ(cStringBuilder().Find(u" "), 0);
}

// A view of the builder's own text handed back to it: the buffer it points to
// is replaced when the text grows, and shifted by Insert.
TEST(StringBuilder, OwnTextCanBeAppendedInsertedAndAssignedBack)
{
    cStringBuilder sb;
    sb.ChunkSize(4);
    sb.TheString(u"abc");
    ASSERT_EQ(sb.Capacity(), 4);
    sb.Append(sb.vista()); // grows from 4 to 8
    EXPECT_EQ(sb.toString(), u"abcabc");
    sb.Append(sb.vista().mid(1, 2)); // fits exactly
    EXPECT_EQ(sb.toString(), u"abcabcbc");
    EXPECT_EQ(sb.Capacity(), 8);
    sb.AppendNL(sb.vista().left(3)); // grows again
    EXPECT_EQ(sb.toString(), u"abcabcbcabc\r\n");
    for (int i = 0; i < 6; ++i)
        sb.Append(sb.vista());
    EXPECT_EQ(sb.Length(), 13 * 64);
    EXPECT_EQ(sb.toString(), QStringLiteral("abcabcbcabc\r\n").repeated(64));

    // Insert: the source lies after, across and before the insertion point,
    // with and without growth.
    cStringBuilder ins;
    ins.ChunkSize(64);
    ins.TheString(u"abcdef");
    ins.Insert(0, ins.vista().mid(2, 3));
    EXPECT_EQ(ins.toString(), u"cdeabcdef");
    ins.TheString(u"abcdef");
    ins.Insert(2, ins.vista());
    EXPECT_EQ(ins.toString(), u"ababcdefcdef");
    ins.TheString(u"abcdef");
    ins.Insert(4, ins.vista().left(2));
    EXPECT_EQ(ins.toString(), u"abcdabef");
    EXPECT_EQ(ins.Capacity(), 64);
    cStringBuilder crece;
    crece.ChunkSize(4);
    crece.TheString(u"wxyz");
    ASSERT_EQ(crece.Capacity(), 4);
    crece.Insert(1, crece.vista());
    EXPECT_EQ(crece.toString(), u"wwxyzxyz");
    crece.InsertByVal(crece.Length(), crece.toString());
    EXPECT_EQ(crece.toString(), u"wwxyzxyzwwxyzxyz");

    // Assign: a part of the text, from its start and from inside it.
    cStringBuilder asig;
    asig.TheString(u"0123456789");
    asig.TheString(asig.vista().mid(3, 4));
    EXPECT_EQ(asig.toString(), u"3456");
    asig.TheString(asig.vista());
    EXPECT_EQ(asig.toString(), u"3456");
    asig.TheString(asig.vista().left(2));
    EXPECT_EQ(asig.toString(), u"34");
    EXPECT_EQ(asig.Find(u"5"), 0); // what the shorter text left behind is spare area
}

TEST(StringBuilder, HeapMinimizeLeavesAtMostOneChunkSpare)
{
    cStringBuilder sb;
    sb.ChunkSize(10);
    sb.Append(QString(95, u'x'));
    EXPECT_EQ(sb.Capacity(), 100);
    sb.Remove(0, 90);
    sb.HeapMinimize();
    EXPECT_EQ(sb.Capacity(), 10);
    EXPECT_EQ(sb.toString(), u"xxxxx");
    sb.Append(u"yyyyy");
    sb.HeapMinimize();
    EXPECT_EQ(sb.Capacity(), 10);
    sb.Remove(0, 10);
    sb.HeapMinimize();
    EXPECT_EQ(sb.Capacity(), 10);
}

TEST(StringBuilder, SizesBeyondThirtyTwoBitsRaiseOverflowAndChangeNothing)
{
    cStringBuilder sb;
    EXPECT_EQ(NumeroDeError([&] { sb.ChunkSize(0x40000000); }), 6);
    EXPECT_EQ(NumeroDeError([&] { sb.ChunkSize(0); }), 5);
    EXPECT_EQ(sb.ChunkSize(), 8192);
    sb.Append(u"ab");
    // A view that claims a billion characters: the sizes are checked before
    // anything is read from it.
    const QStringView enorme(u"c", qsizetype(0x3fffffff));
    EXPECT_EQ(NumeroDeError([&] { sb.Append(enorme); }), 6);
    EXPECT_EQ(NumeroDeError([&] { sb.Insert(1, enorme); }), 6);
    EXPECT_EQ(NumeroDeError([&] { sb.TheString(QStringView(u"c", qsizetype(0x40000000))); }), 6);
    EXPECT_EQ(sb.toString(), u"ab");
}
