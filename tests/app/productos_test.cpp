// The export reads a streamed row's texts as the bytes the database keeps, and
// the values of any other row. Both readings must put the same bytes in the
// file, whatever the database holds: accents, marks, broken UTF-8.
#include "app/productos.h"
#include "comun/base_prueba.h"
#include "platform/ado/ado.h"
#include "platform/archivos.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

namespace {

QByteArray Exporta(const std::shared_ptr<ado::Connection>& cn, const QString& sql, int cursor, int bloqueo,
                   const QString& archivo, std::int64_t& filas)
{
    ado::Recordset rs;
    rs.Open(sql, cn, cursor, bloqueo);
    {
        archivos::EscritorTexto salida(archivo);
        filas = EscribeProductos(rs, salida, {});
        salida.Cierra();
    }
    QFile f(archivo);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no hay archivo>");
}

// A text of the database from its bytes as they are, valid UTF-8 or not.
QString Bytes(const QByteArray& b) { return QStringLiteral("CAST(X'%1' AS TEXT)").arg(QString::fromLatin1(b.toHex())); }

void ExportaDeAmbasManeras(const std::shared_ptr<ado::Connection>& cn, const QString& carpeta, std::int64_t total)
{
    // The barcode as an expression, as the export reads it: its type comes
    // from the first row, a date or a text.
    for (const char* orden : {"n", "n DESC", "CASE WHEN n = 4 THEN 0 ELSE n END"}) {
        const QString consulta =
            QStringLiteral("SELECT idarticulo, ISNULL(CODIGOBARRA, '') AS CODIGOBARRA, DESCRIPCION FROM T ORDER BY ")
            + QLatin1String(orden);
        std::int64_t filasStream = 0, filasEnteras = 0;
        const QByteArray porBytes = Exporta(cn, consulta, ado::adOpenForwardOnly, ado::adLockReadOnly,
                                            carpeta + QStringLiteral("/bytes.txt"), filasStream);
        const QByteArray porValores = Exporta(cn, consulta, ado::adOpenStatic, ado::adLockReadOnly,
                                              carpeta + QStringLiteral("/valores.txt"), filasEnteras);
        EXPECT_EQ(filasStream, total) << orden;
        EXPECT_EQ(filasEnteras, filasStream) << orden;
        ASSERT_EQ(porBytes.size(), porValores.size()) << orden;
        const QList<QByteArray> a = porBytes.split('\n'), b = porValores.split('\n');
        for (qsizetype i = 0; i < a.size(); ++i)
            ASSERT_EQ(a[i].toHex().toStdString(), b[i].toHex().toStdString()) << orden << ", linea " << i;
    }
    // Both ways are right, not only alike.
    std::int64_t filas = 0;
    const QByteArray archivo = Exporta(cn, QStringLiteral("SELECT idarticulo, ISNULL(CODIGOBARRA, '') AS CODIGOBARRA, "
                                                          "DESCRIPCION FROM T WHERE n IN (2, 5, 100, 102) ORDER BY n"),
                                       ado::adOpenForwardOnly, ado::adLockReadOnly, carpeta + QStringLiteral("/p.txt"), filas);
    EXPECT_EQ(archivo.toStdString(), QByteArray("B2,x;A2;\xD1" "and\xFA" " a\xF1o \x80;0\r\n"
                                  "7.5;A5;tab here  ,;0\r\n"
                                  "?;?;?;0\r\n"
                                  "con marca;con marca;con marca;0\r\n").toStdString());
}

TEST(Productos, LosBytesDeLaBaseYLosValoresDeLaFilaEscribenLoMismo)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString base = dir.path() + QStringLiteral("/art.sqlite");
    QString sql = QStringLiteral(
        "CREATE TABLE T (n INTEGER, idarticulo TEXT, CODIGOBARRA INTEGER, DESCRIPCION TEXT);"
        "INSERT INTO T VALUES (1,'A1',NULL,'PAN'),(2,' A2 ','B2;x','  \u00d1and\u00fa a\u00f1o \u20ac '),"
        "(3,'A3',12345,'emoji \U0001F600 fin'),(4,'A4','2024-01-02','fecha'),(5,'A5',7.5,'tab\there\r\n;'),"
        "(6,NULL,'B6',NULL),(7,'A7','',");
    sql += QStringLiteral("'") + QString(QStringLiteral("\u00c1\u00c9\u00cd\u00d3\u00da")).repeated(40) + QStringLiteral("');");
    // Broken and unusual UTF-8: a lone lead byte, a bad continuation, a mark
    // at the start, surrogates written out, overlong forms, code points past
    // the last one, and the characters the code page keeps above 0x7F.
    const QByteArray raras[] = {QByteArray("\xC3"), QByteArray("A\xC3(\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\n"),
                                QByteArray("\xEF\xBB\xBF" "con marca"), QByteArray("x\xEF\xBB\xBFy"),
                                QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF" "dos"), QByteArray("\xEF\xBB\xBF\xC3"),
                                QByteArray("x\xEF\xBB\xBF\xC3"), QByteArray("\xED\xA0\x80\xED\xB0\x80"),
                                QByteArray("\xC0\x80\xE0\x80\xAF"), QByteArray("\xF4\x90\x80\x80\xF8\x88"),
                                QByteArray("\xE2\x80\x9C" "comillas" "\xE2\x80\x9D \xC5\x93 \xE2\x84\xA2 \xC2\xA0 x\xC2\xA0"),
                                QByteArray("\xEF\xBF\xBE\xEF\xBF\xBF\xEF\xBF\xBD")};
    int n = 100;
    for (const QByteArray& r : raras)
        sql += QStringLiteral("INSERT INTO T VALUES (%1,%2,%2,%2);").arg(n++).arg(Bytes(r));
    // And many texts of random bytes, mostly above 0x7F.
    std::mt19937 azar(20261209);
    for (int i = 0; i < 400; ++i) {
        QByteArray r;
        const int largo = int(azar() % 90);
        for (int k = 0; k < largo; ++k)
            r += char(azar() % 3 == 0 ? 0x20 + azar() % 0x60 : 0x80 + azar() % 0x80);
        sql += QStringLiteral("INSERT INTO T VALUES (%1,'R%1',NULL,%2);").arg(n++).arg(Bytes(r));
    }
    prueba::EjecutaSqlite(base, sql);

    // The embedded provider, and the same file behind unixODBC.
    for (const char* cadena : {"PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =%1;",
                               "PROVIDER=MSDASQL;Driver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so;Database=%1;"}) {
        SCOPED_TRACE(cadena);
        auto cn = ado::Connection::Create();
        cn->Open(QString::fromLatin1(cadena).arg(base));
        ExportaDeAmbasManeras(cn, dir.path(), n - 100 + 7);
    }
}

} // namespace
