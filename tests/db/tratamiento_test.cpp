#include "comun/base_prueba.h"
#include "db/registro_errores.h"

#include <QRegularExpression>

namespace {

class Tratamiento : public prueba::BasePrueba {};

TEST_F(Tratamiento, MuestraRegistraYDevuelveLaRespuesta)
{
    DB_Dll db;
    op->respuestas = {4};
    const VbError e(3021, QStringLiteral("  Either BOF or EOF is True  "), QStringLiteral("ADODB.Recordset"));
    EXPECT_EQ(db.TratamientoErrores(e, std::nullopt, QStringLiteral("AbrirRecordset")), 4);
    ASSERT_EQ(op->mostrados.size(), 1u);
    EXPECT_EQ(op->mostrados[0].texto, u"Ha ocurrido el Siguiente Error (3021) Either BOF or EOF is True");
    EXPECT_EQ(op->mostrados[0].titulo, u"ADODB.Recordset - AbrirRecordset Aviso al operador!!! - 5 ");
    EXPECT_EQ(op->mostrados[0].estilo, 18);
    const QString linea = leeArchivo(dir.path() + QStringLiteral("/SVERR.LOG"));
    const QRegularExpression forma(QStringLiteral(
        "^\\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d Rutina: - AbrirRecordset Mensaje Ha ocurrido el Siguiente Error \\(3021\\) "
        "Either BOF or EOF is True Respondi\u00f3 : Reintentar\r\n$"));
    EXPECT_TRUE(forma.match(linea).hasMatch()) << linea.toStdString();
}

TEST_F(Tratamiento, SinRutinaYConBotonesPropios)
{
    DB_Dll db;
    op->respuestas = {1};
    db.TratamientoErrores(VbError(5, QStringLiteral("x"), QStringLiteral("Fuente")), 0);
    EXPECT_EQ(op->mostrados[0].titulo, u"Fuente Aviso al operador!!! - 5 ");
    EXPECT_EQ(op->mostrados[0].estilo, 0);
    EXPECT_TRUE(leeArchivo(dir.path() + QStringLiteral("/SVERR.LOG")).contains(QStringLiteral(" Rutina:  Mensaje Ha ocurrido")));
    EXPECT_TRUE(leeArchivo(dir.path() + QStringLiteral("/SVERR.LOG")).endsWith(QStringLiteral("Respondi\u00f3 : \r\n")));
}

TEST_F(Tratamiento, ErrorCeroNoMuestraNiEscribe)
{
    DB_Dll db;
    EXPECT_EQ(db.TratamientoErrores(VbError(0, QStringLiteral("nada"))), 0);
    EXPECT_TRUE(op->mostrados.empty());
    EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/SVERR.LOG")));
}

TEST_F(Tratamiento, ArchivoErroresElegidoYVueltaAlDeOmision)
{
    DB_Dll db;
    const QString otro = dir.path() + QStringLiteral("/otro.log");
    db.setArchivoErrores(Variant(otro));
    EXPECT_EQ(db.ArchivoErrores(), otro);
    db.TratamientoErrores(VbError(7, QStringLiteral("uno")));
    EXPECT_TRUE(QFile::exists(otro));
    EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/SVERR.LOG")));
    db.setArchivoErrores(Variant(QString()));
    db.TratamientoErrores(VbError(7, QStringLiteral("dos")));
    EXPECT_TRUE(QFile::exists(dir.path() + QStringLiteral("/SVERR.LOG")));
}

// The log a Windows installation left in the program folder, in its own
// spelling, goes on growing: no second log beside it.
TEST_F(Tratamiento, RegistroDeWindowsEnOtraGrafiaSigueCreciendo)
{
    const QString propio = dir.path() + QStringLiteral("/SvErr.log");
    QFile f(propio);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("linea de antes\r\n");
    f.close();
    DB_Dll db;
    db.TratamientoErrores(VbError(7, QStringLiteral("uno")));
    EXPECT_EQ(db.RutaArchivoErrores(), propio);
    const QString log = leeArchivo(propio);
    EXPECT_TRUE(log.startsWith(QStringLiteral("linea de antes\r\n")));
    EXPECT_TRUE(log.contains(QStringLiteral("Mensaje Ha ocurrido el Siguiente Error (7) uno"))) << log.toStdString();
    EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/SVERR.LOG")));
}

TEST_F(Tratamiento, CarpetaNoEscribibleSoloPierdeLaLinea)
{
    DB_Dll db;
    db.setArchivoErrores(Variant(dir.path() + QStringLiteral("/no/existe/SVERR.LOG")));
    op->respuestas = {5};
    EXPECT_EQ(db.TratamientoErrores(VbError(9, QStringLiteral("x"))), 5);
}

TEST(RegistroErrores, PalabrasDeRespuesta)
{
    EXPECT_EQ(PalabraRespuesta(4), u"Reintentar");
    EXPECT_EQ(PalabraRespuesta(5), u"Ignorar");
    EXPECT_EQ(PalabraRespuesta(3), u"Abortar");
    EXPECT_EQ(PalabraRespuesta(2), u"Cancelar");
    EXPECT_EQ(PalabraRespuesta(6), u"S\u00ed");
    EXPECT_EQ(PalabraRespuesta(7), u"No");
    EXPECT_EQ(PalabraRespuesta(1), u"");
    const QDateTime t(QDate(2025, 3, 7), QTime(18, 5, 9));
    EXPECT_EQ(LineaRegistroErrores(QStringLiteral(" Cfg "), QStringLiteral(" m "), 5, t),
              u"03-07-2025 18:05:09 Rutina: - Cfg Mensaje m Respondi\u00f3 : Ignorar");
}

} // namespace
