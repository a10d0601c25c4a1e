#include "access/acceso_prueba.h"

#include <QLineEdit>
#include <QListWidget>
#include <sys/stat.h>

namespace {

using prueba::AccesoPrueba;
class Bases : public AccesoPrueba {};

TEST_F(Bases, LaClaveEsServidorSinPuertoYBaseEnMayusculas)
{
    EXPECT_EQ(ClaveBase(QStringLiteral("srv01\\sql:1500"), QStringLiteral("Gestion")), u"SRV01\\SQL / GESTION");
    EXPECT_EQ(ClaveBase(QStringLiteral("  srv\\inst :1500:9"), QStringLiteral(" db ")), u"SRV\\INST / DB");
    EXPECT_EQ(ClaveBase(QStringLiteral("local"), QStringLiteral("empresa")), u"LOCAL / EMPRESA");
    EXPECT_EQ(ArchivoBases(), dir.path() + QStringLiteral("/BASES.TXT"));
}

TEST_F(Bases, RegistrosSeAgreganByteAByte)
{
    // Created by the first record; the password is the encoded database name.
    RegistraBase(QStringLiteral("SRV01\\SQL / GESTION"), QStringLiteral(" Gestion "), QStringLiteral("Gestion"),
                 QStringLiteral("Gestion"), QStringLiteral(" srv01\\sql:1500 "));
    RegistraBase(QStringLiteral("LOCAL / EMPRESA"), QStringLiteral("empresa"), QStringLiteral("empresa"),
                 QStringLiteral("empresa"), QStringLiteral("local"));
    EXPECT_EQ(bases(), linea("SRV01\\SQL / GESTION", "Gestion", "srv01\\sql:1500") + linea("LOCAL / EMPRESA", "empresa", "local"));
    EXPECT_TRUE(codificada(QStringLiteral("Gestion")).startsWith('~'));

    // A file whose last line lacks its end gets the record after a lone CR.
    escribeBases("A / B,b,b,x,a");
    RegistraBase(QStringLiteral("C / D"), QStringLiteral("d"), QStringLiteral("d"), QStringLiteral("d"), QStringLiteral("c"));
    EXPECT_EQ(bases(), "A / B,b,b,x,a\r" + linea("C / D", "d", "c"));
    // A line end of a file edited elsewhere ends the record as well.
    for (const QByteArray fin : {"\n", "\r"}) {
        escribeBases("A / B,b,b,x,a" + fin);
        RegistraBase(QStringLiteral("C / D"), QStringLiteral("d"), QStringLiteral("d"), QStringLiteral("d"), QStringLiteral("c"));
        EXPECT_EQ(bases(), "A / B,b,b,x,a" + fin + linea("C / D", "d", "c"));
    }
    // A new file holds passwords: its owner's alone. An existing one keeps its mode.
    QFile::remove(rutaBases());
    RegistraBase(QStringLiteral("C / D"), QStringLiteral("d"), QStringLiteral("d"), QStringLiteral("d"), QStringLiteral("c"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(rutaBases()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    QFile(rutaBases()).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
                                      | QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    RegistraBase(QStringLiteral("E / F"), QStringLiteral("f"), QStringLiteral("f"), QStringLiteral("f"), QStringLiteral("e"));
    EXPECT_TRUE(QFile(rutaBases()).permissions() & QFileDevice::ReadOther);
}

// Every file the list reads gives back the same records after a registration,
// and the new one last, whatever its line ends, quotes and blanks.
TEST_F(Bases, UnRegistroAgregadoNoCambiaLosQueElArchivoTenia)
{
    const QByteArray archivos[] = {
        "A / B,b,b,x,a\n",
        "A / B,b,b,x,a\nC / D,d,d,y,c\n",
        "A / B,b,b,x,a\rC / D,d,d,y,c",
        "A / B,b,b,x,a\r\nC / D,d,d,y,c\n",
        "A / B,b,b,x,a  \t",
        "A / B,b,b,x,a,",
        "\"A , B\",b,b,x,\"a\"\r\n",
        "\"A / B\",b,b,x,\"a",
        "\"A / B\",b,b,x,\"a\nb\"tras",
        "A / B\t,b,b,x,a\t\r\n",
    };
    for (const QByteArray& antes : archivos) {
        SCOPED_TRACE(antes.toStdString());
        escribeBases(antes);
        const QStringList leidos = campos();
        ASSERT_EQ(leidos.size() % 5, 0);
        RegistraBase(QStringLiteral("N / M"), QStringLiteral("m"), QStringLiteral("m"), QStringLiteral("m"), QStringLiteral("n"));
        QStringList esperados = leidos;
        esperados << QStringLiteral("N / M") << QStringLiteral("m") << QStringLiteral("m")
                  << QString::fromLatin1(codificada(QStringLiteral("m"))) << QStringLiteral("n");
        EXPECT_EQ(campos(), esperados);
        EXPECT_TRUE(bases().startsWith(antes));
    }
}

// Names the code page cannot hold, or blanks the reader drops, would come back
// as another connection: refused, or trimmed the reader's way.
TEST_F(Bases, NombresFueraDelCodigoYTabulacionesNoDuplican)
{
    EXPECT_EQ(prueba::NumeroDeError([&] {
                  RegistraBase(ClaveBase(QStringLiteral("srv"), QStringLiteral("Łódź")), QStringLiteral("Łódź"),
                               QStringLiteral("Łódź"), QStringLiteral("Łódź"), QStringLiteral("srv"));
              }),
              vberr::InvalidCall);
    EXPECT_TRUE(bases().isEmpty());
    EXPECT_TRUE(NoRegistrable(QStringLiteral("Łódź")).contains(QStringLiteral("Windows-1252")));
    EXPECT_TRUE(NoRegistrable(QStringLiteral("Müller € Œuvre")).isEmpty());

    EXPECT_EQ(ClaveBase(QStringLiteral("srv\t"), QStringLiteral("\tdb\t ")), u"SRV / DB");
    RegistraBase(ClaveBase(QStringLiteral("srv\t"), QStringLiteral("db\t")), QStringLiteral("db\t"), QStringLiteral("db\t"),
                 QStringLiteral("db"), QStringLiteral("srv\t"));
    EXPECT_EQ(bases(), linea("SRV / DB", "db", "srv"));
    frmAcceso f;
    EXPECT_TRUE(f.DatosBase(ClaveBase(QStringLiteral("srv\t"), QStringLiteral("db"))));
    EXPECT_TRUE(f.DatosBase(QStringLiteral("SRV / DB\t")));
}

TEST_F(Bases, CampoConComaOSaltoDeLineaNoSeEscribe)
{
    escribeBases(linea("A / B", "b", "a"));
    const QByteArray antes = bases();
    for (const QString& malo : {QStringLiteral("s,1"), QStringLiteral("s\r\n1"), QStringLiteral("s\n"), QStringLiteral("\"s")}) {
        EXPECT_EQ(prueba::NumeroDeError([&] {
                      RegistraBase(ClaveBase(malo, QStringLiteral("b")), QStringLiteral("b"), QStringLiteral("b"),
                                   QStringLiteral("b"), malo);
                  }),
                  vberr::InvalidCall);
        EXPECT_EQ(prueba::NumeroDeError([&] {
                      RegistraBase(QStringLiteral("K / B"), malo, malo, malo, QStringLiteral("k"));
                  }),
                  vberr::InvalidCall);
    }
    EXPECT_EQ(bases(), antes);
}

TEST_F(Bases, LaListaSaltaClavesEnBlancoYLeeLaUltimaLineaSinFin)
{
    escribeBases("K1 / D1,d1,d1," + codificada(QStringLiteral("d1")) + ",k1\r\n"
                 "  ,d2,d2,x,k2\r\n"
                 ",d3,d3,x,k3\r\n"
                 "SRV\\INST / DB,db,db," + codificada(QStringLiteral("db")) + ",srv\\inst:1500");
    frmAcceso f;
    f.Form_Load();
    ASSERT_EQ(f.lstBases->count(), 2);
    EXPECT_EQ(f.lstBases->itemText(0), u"K1 / D1");
    EXPECT_EQ(f.lstBases->itemText(1), u"SRV\\INST / DB");
    // The first line is chosen and shown; no port was remembered yet.
    EXPECT_EQ(f.lstBases->currentRow(), 0);
    EXPECT_EQ(f.TxtServidor->text(), u"k1");
    EXPECT_EQ(f.TxtDbName->text(), u"d1");
    EXPECT_EQ(f.TxtPuerto->text(), u"");
    EXPECT_EQ(f.passwordBase, u"d1");
    // The password box keeps no hint; the user box shows its hint.
    EXPECT_EQ(f.TxtUserPassword->text(), u"");
    EXPECT_EQ(f.TxtUserId->text(), u"Ingrese el usuario");

    // The port goes to its box and the server is shown without it.
    f.lstBases->setCurrentRow(1);
    EXPECT_EQ(f.TxtServidor->text(), u"SRV\\INST");
    EXPECT_EQ(f.TxtPuerto->text(), u"1500");
    EXPECT_EQ(f.TxtDbName->text(), u"db");
    // A server without port leaves the remembered one.
    f.lstBases->setCurrentRow(0);
    EXPECT_EQ(f.TxtServidor->text(), u"k1");
    EXPECT_EQ(f.TxtPuerto->text(), u"1500");
    EXPECT_TRUE(op->mostrados.empty());
}

TEST_F(Bases, SinArchivoLaListaQuedaVaciaYLasCajasMuestranSusAyudas)
{
    frmAcceso f;
    f.Form_Load();
    EXPECT_EQ(f.lstBases->count(), 0);
    EXPECT_EQ(f.TxtUserId->text(), u"Ingrese el usuario");
    EXPECT_EQ(f.TxtDbName->text(), u"ingrese el nombre de la base de datos");
    EXPECT_EQ(f.TxtServidor->text(), u"ingrese el nombre del servidor e instancia");
    EXPECT_EQ(f.TxtPuerto->text(), u"1433");
    // The window shows each hint in the hint's colour, selected so that typing replaces it.
    {
        VentanaAcceso v(f);
        EXPECT_EQ(v.TxtServidor->text(), f.TxtServidor->text());
        EXPECT_EQ(v.TxtServidor->palette().color(QPalette::Text), QColor(2, 0, 0));
        EXPECT_EQ(v.TxtServidor->selectedText(), f.TxtServidor->text());
        EXPECT_EQ(v.TxtDbName->selectedText(), f.TxtDbName->text());
        EXPECT_EQ(v.TxtUserPassword->palette().color(QPalette::Text), QColor(2, 0, 0));
        EXPECT_EQ(v.lstBases->count(), 0);
    }
    // Emptying a box brings its hint back.
    f.TxtDbName->setText(QStringLiteral("EMPRESA"));
    EXPECT_EQ(f.TxtDbName->text(), u"EMPRESA");
    f.TxtDbName->setText(QStringLiteral("  "));
    EXPECT_EQ(f.TxtDbName->text(), u"ingrese el nombre de la base de datos");
    // The user box gets its hint only when it gets the focus.
    f.TxtUserId->setText(QString());
    EXPECT_EQ(f.TxtUserId->text(), u"");
    EXPECT_FALSE(f.DatosBase(QStringLiteral("X / Y")));
}

TEST_F(Bases, UnArchivoIlegibleVaAlDialogoDeErroresYNoRompe)
{
    escribeBases("K1 / D1,d1,d1,x\r\n"); // four fields: the fifth is past the end
    op->respuestas = {respuesta::Ignore, respuesta::Ignore};
    frmAcceso f;
    f.Form_Load();
    ASSERT_GE(op->mostrados.size(), 1u);
    EXPECT_TRUE(op->mostrados[0].titulo.contains(QStringLiteral("FormLoad")));
    EXPECT_EQ(f.lstBases->count(), 0);
}

} // namespace
