#include "comun/ayudas.h"
#include "platform/archivos.h"
#include "platform/errores.h"
#include "platform/rutas.h"

#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

class Archivos : public ::testing::Test {
protected:
    QString ruta(const QString& nombre) const { return tmp_.path() + u'/' + nombre; }
    QByteArray bytes(const QString& nombre) const
    {
        QFile f(ruta(nombre));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no existe>");
    }
    void graba(const QString& nombre, const QByteArray& b) const
    {
        QFile f(ruta(nombre));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(b);
    }
    QTemporaryDir tmp_;
};

TEST(Ansi, EveryByteSurvivesARoundTrip)
{
    QByteArray todos;
    for (int b = 0; b < 256; ++b)
        todos.append(char(b));
    const QString t = archivos::DeAnsi(todos);
    ASSERT_EQ(t.size(), 256);
    EXPECT_EQ(t[0x80], QChar(0x20AC));
    EXPECT_EQ(t[0x9F], QChar(0x0178));
    EXPECT_EQ(t[0xF1], QChar(u'ñ'));
    EXPECT_EQ(archivos::AAnsi(t), todos);
}

TEST(Ansi, CharactersOutsideTheCodePageBecomeOneQuestionMark)
{
    EXPECT_EQ(archivos::AAnsi(u"Ñandú €5 “x”"), QByteArray("\xD1" "and\xFA \x80" "5 \x93x\x94"));
    EXPECT_EQ(archivos::AAnsi(u"a✓b"), QByteArray("a?b"));
    EXPECT_EQ(archivos::AAnsi(u"a😀b"), QByteArray("a?b")); // a pair of UTF-16 units is one character
    const char16_t suelto[] = {u'a', 0xD800, u'b', 0xDC00, 0};
    EXPECT_EQ(archivos::AAnsi(QStringView(suelto)), QByteArray("a?b?"));
    EXPECT_EQ(archivos::AAnsi(u""), QByteArray());
}

TEST(Ansi, AppendingKeepsWhatTheBufferHeld)
{
    QByteArray b("A1;");
    archivos::AgregaAnsi(b, u"Café");
    archivos::AgregaAnsi(b, u"😀");
    EXPECT_EQ(b, QByteArray("A1;Caf\xE9?"));
    char buf[8];
    char* fin = archivos::CopiaAnsi(u"ü€", buf);
    EXPECT_EQ(QByteArray(buf, fin - buf), QByteArray("\xFC\x80"));
}

TEST_F(Archivos, AppendLineCreatesThenAppendsWithCrLf)
{
    archivos::AgregaLinea(ruta("SVERR.LOG"), u"uno ñ");
    archivos::AgregaLinea(ruta("SVERR.LOG"), u"");
    archivos::AgregaLinea(ruta("SVERR.LOG"), u"dos");
    EXPECT_EQ(bytes("SVERR.LOG"), QByteArray("uno \xF1\r\n\r\ndos\r\n"));
}

TEST_F(Archivos, OpeningErrorsCarryThePlatformNumberAndThePath)
{
    const VbError falta = prueba::ErrorDe([&] { archivos::LeeLineas(ruta("no.txt")); });
    EXPECT_EQ(falta.Number, vberr::FileNotFound);
    EXPECT_TRUE(falta.Description.contains(ruta("no.txt")));
    EXPECT_EQ(prueba::ErrorDe([&] { archivos::LeeLineas(ruta("no/no.txt")); }).Number, vberr::PathNotFound);
    EXPECT_EQ(prueba::ErrorDe([&] { archivos::AgregaLinea(ruta("no/SVERR.LOG"), u"x"); }).Number, vberr::PathNotFound);
    EXPECT_EQ(prueba::ErrorDe([&] { archivos::LeeLineas(tmp_.path()); }).Number, vberr::PathFileAccess);
    EXPECT_EQ(prueba::ErrorDe([&] { archivos::AgregaLinea(tmp_.path(), u"x"); }).Number, vberr::PathFileAccess);
    EXPECT_EQ(prueba::ErrorDe([&] { archivos::AgregaLinea(QString(), u"x"); }).Number, vberr::BadFileName);
    EXPECT_FALSE(QFileInfo::exists(ruta("no")));
}

TEST_F(Archivos, LinesEndInCrLfCrOrLf)
{
    graba("l.txt", "uno\r\ndos\nTr\xE9s\r\rcinco");
    EXPECT_EQ(archivos::LeeLineas(ruta("l.txt")),
              (QStringList{"uno", "dos", QStringLiteral("Trés"), "", "cinco"}));
    graba("v.txt", "");
    EXPECT_TRUE(archivos::LeeLineas(ruta("v.txt")).isEmpty());
    graba("f.txt", "a\r\n");
    EXPECT_EQ(archivos::LeeLineas(ruta("f.txt")), QStringList{"a"});
}

TEST_F(Archivos, LongLinesAcrossTheReadBuffer)
{
    QByteArray larga(200000, 'x');
    graba("g.txt", larga + "\r\n" + larga + "y");
    const QStringList l = archivos::LeeLineas(ruta("g.txt"));
    ASSERT_EQ(l.size(), 2);
    EXPECT_EQ(l[0].size(), 200000);
    EXPECT_EQ(l[1].size(), 200001);
    EXPECT_TRUE(l[1].endsWith(u'y'));
}

TEST_F(Archivos, DelimitedFieldsAsInputHashReadsThem)
{
    graba("BASES.TXT", "SRV01\\SQL / GESTION,Gestion,  Gestion  ,A1B2,srv01:1500\r\n"
                       "\"V_TA_DEPOSITO\",\"1500|900|600|\"\r\n"
                       "\"a, b\" ,\"\",\r\n"
                       "\"sin cierre");
    archivos::LectorTexto l(ruta("BASES.TXT"));
    const QStringList esperados{"SRV01\\SQL / GESTION", "Gestion", "Gestion", "A1B2", "srv01:1500",
                                "V_TA_DEPOSITO", "1500|900|600|", "a, b", "", "", "sin cierre"};
    for (const QString& e : esperados) {
        ASSERT_FALSE(l.FinArchivo()) << e.toStdString();
        EXPECT_EQ(l.LeeCampo(), e);
    }
    EXPECT_TRUE(l.FinArchivo());
    const VbError fin = prueba::ErrorDe([&] { l.LeeCampo(); });
    EXPECT_EQ(fin.Number, vberr::InputPastEnd);
    EXPECT_TRUE(fin.Description.contains(ruta("BASES.TXT")));
}

TEST_F(Archivos, FixedLengthRecords)
{
    {
        archivos::ArchivoRegistros r(ruta("consultas.slv"), 10);
        EXPECT_EQ(r.Largo(), 0);
        r.Escribe(2, u"segundo");
        r.Escribe(1, u"primero más largo");
        EXPECT_EQ(r.Largo(), 20);
        EXPECT_EQ(r.Registros(), 2);
        EXPECT_EQ(r.Lee(1), QStringLiteral("primero má"));
        EXPECT_EQ(r.Lee(2), QStringLiteral("segundo   "));
        const QString lejos = r.Lee(5);
        EXPECT_EQ(lejos, QString(10, QChar(0)));
        EXPECT_EQ(prueba::ErrorDe([&] { r.Lee(0); }).Number, 63);
        EXPECT_EQ(prueba::ErrorDe([&] { r.Escribe(-1, u"x"); }).Number, 63);
        r.Cierra();
        EXPECT_EQ(prueba::ErrorDe([&] { r.Lee(1); }).Number, vberr::BadFileName);
    }
    EXPECT_EQ(bytes("consultas.slv"), QByteArray("primero m\xE1segundo   "));
    // a half record at the end reads with character 0 in its missing part
    graba("medio.slv", "abc");
    archivos::ArchivoRegistros m(ruta("medio.slv"), 5);
    EXPECT_EQ(m.Registros(), 0);
    EXPECT_EQ(m.Lee(1), QStringLiteral("abc") + QChar(0) + QChar(0));
    EXPECT_EQ(prueba::ErrorDe([&] { archivos::ArchivoRegistros(ruta("x"), 0); }).Number, vberr::InvalidCall);
    EXPECT_EQ(prueba::ErrorDe([&] { archivos::ArchivoRegistros(ruta("no/x"), 5); }).Number, vberr::PathNotFound);
}

TEST_F(Archivos, ReadOnlyRecordFileCanBeReadButNotWritten)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write every file";
    graba("ro.slv", "0123456789");
    ::chmod(ruta("ro.slv").toLocal8Bit().constData(), 0444);
    archivos::ArchivoRegistros r(ruta("ro.slv"), 5);
    EXPECT_EQ(r.Lee(2), QStringLiteral("56789"));
    EXPECT_EQ(prueba::ErrorDe([&] { r.Escribe(1, u"x"); }).Number, vberr::PathFileAccess);
}

TEST_F(Archivos, WriterBuffersBigFilesAndAppends)
{
    {
        archivos::EscritorTexto w(ruta("productos.txt"));
        for (int i = 0; i < 50000; ++i)
            w.EscribeLinea(QStringLiteral("%1;A%1;Azúcar;0").arg(i));
        w.Cierra();
    }
    const QByteArray b = bytes("productos.txt");
    EXPECT_EQ(b.count("\r\n"), 50000);
    EXPECT_TRUE(b.startsWith("0;A0;Az\xFA" "car;0\r\n1;A1;"));
    EXPECT_TRUE(b.endsWith("49999;A49999;Az\xFA" "car;0\r\n"));
    {
        archivos::EscritorTexto w(ruta("productos.txt"), archivos::EscritorTexto::Modo::Agregar);
        w.Escribe(u"fin");
        w.FinLinea();
    }
    EXPECT_TRUE(bytes("productos.txt").endsWith("0\r\nfin\r\n"));
    {
        archivos::EscritorTexto w(ruta("productos.txt"));
    }
    EXPECT_EQ(bytes("productos.txt"), QByteArray());
}

TEST_F(Archivos, WriterKeepsACharacterWholeAcrossItsBuffer)
{
    // a pair of UTF-16 units falling on the buffer's edge is still one "?"
    for (int relleno : {(1 << 18) - 1, (1 << 18) - 2, (1 << 18)}) {
        archivos::EscritorTexto w(ruta("borde.txt"));
        w.Escribe(QString(relleno, u'a') + QStringLiteral("😀b"));
        w.Cierra();
        const QByteArray b = bytes("borde.txt");
        EXPECT_EQ(b.size(), relleno + 2);
        EXPECT_TRUE(b.endsWith("a?b"));
    }
}

TEST_F(Archivos, WriterReportsAFullDisk)
{
    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP();
    archivos::EscritorTexto w(QStringLiteral("/dev/full"));
    w.EscribeLinea(u"x");
    const VbError e = prueba::ErrorDe([&] { w.Cierra(); });
    EXPECT_EQ(e.Number, vberr::DiskFull);
    EXPECT_TRUE(e.Description.contains(QStringLiteral("/dev/full")));
    EXPECT_EQ(prueba::ErrorDe([&] { archivos::AgregaLinea(QStringLiteral("/dev/full"), u"x"); }).Number, vberr::DiskFull);
}

TEST_F(Archivos, IniSections)
{
    graba("u.ini", "; nota\r\n[Otra]\r\nC=no\r\n[ unidades ]\r\n C = /srv/c \r\nP=\"/mnt/con blanco \"\r\nsinIgual\r\n");
    const auto s = archivos::SeccionIni(ruta("u.ini"), QStringLiteral("UNIDADES"));
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0], (std::pair<QString, QString>{"C", "/srv/c"}));
    EXPECT_EQ(s[1], (std::pair<QString, QString>{"P", "/mnt/con blanco "}));
    EXPECT_TRUE(archivos::SeccionIni(ruta("u.ini"), QStringLiteral("Falta")).empty());
    EXPECT_TRUE(archivos::SeccionIni(ruta("no.ini"), QStringLiteral("Unidades")).empty());
}

// Runs f and tells whether it came back on its own. Should f wait on the
// FIFO, the watchdog comes to the other end of it (and leaves again), which
// lets f go on, so that a wait fails the test instead of hanging it.
bool SinEsperar(const QString& fifo, const std::function<void()>& f)
{
    std::atomic<bool> hecho{false}, rescatado{false};
    std::thread guardia([&] {
        for (int i = 0; i < 300 && !hecho; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (hecho)
            return;
        rescatado = true;
        const int fd = ::open(fifo.toLocal8Bit().constData(), O_RDWR | O_NONBLOCK);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        if (fd >= 0)
            ::close(fd);
    });
    try {
        f();
    } catch (...) {
        hecho = true;
        guardia.join();
        throw;
    }
    hecho = true;
    guardia.join();
    return !rescatado;
}

TEST_F(Archivos, AFifoIsNoFileAndNothingWaitsForIt)
{
    const QString fifo = ruta("productos.txt");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0666), 0);
    QElapsedTimer t;
    t.start();
    bool existe = true;
    EXPECT_TRUE(SinEsperar(fifo, [&] { existe = rutas::ExisteArchivo(fifo); }));
    EXPECT_FALSE(existe);
    EXPECT_FALSE(rutas::ExisteCarpeta(fifo));
    int numero = 0;
    EXPECT_TRUE(SinEsperar(fifo, [&] { numero = prueba::NumeroDeError([&] { archivos::LeeLineas(fifo); }); }));
    EXPECT_EQ(numero, vberr::PathFileAccess);
    EXPECT_TRUE(SinEsperar(fifo, [&] { numero = prueba::NumeroDeError([&] { archivos::LectorTexto l(fifo); }); }));
    EXPECT_EQ(numero, vberr::PathFileAccess);
    EXPECT_TRUE(SinEsperar(fifo, [&] { numero = prueba::NumeroDeError([&] { archivos::ArchivoRegistros r(fifo, 10); }); }));
    EXPECT_EQ(numero, vberr::PathFileAccess);
    std::vector<std::pair<QString, QString>> seccion{{"x", "y"}};
    EXPECT_TRUE(SinEsperar(fifo, [&] { seccion = archivos::SeccionIni(fifo, QStringLiteral("Unidades")); }));
    EXPECT_TRUE(seccion.empty());
    // Nobody reads it: writing fails at once instead of waiting for a reader.
    EXPECT_TRUE(SinEsperar(fifo, [&] { numero = prueba::NumeroDeError([&] { archivos::AgregaLinea(fifo, u"x"); }); }));
    EXPECT_EQ(numero, vberr::PathFileAccess);
    EXPECT_TRUE(SinEsperar(fifo, [&] { numero = prueba::NumeroDeError([&] { archivos::EscritorTexto w(fifo); }); }));
    EXPECT_EQ(numero, vberr::PathFileAccess);
    EXPECT_LT(t.elapsed(), 2000);

    // The shared open tells a folder from anything else that is no file.
    EXPECT_EQ(archivos::AbreArchivo(fifo, O_RDONLY), -1);
    EXPECT_EQ(errno, ENXIO);
    EXPECT_EQ(archivos::AbreArchivo(tmp_.path(), O_RDONLY), -1);
    EXPECT_EQ(errno, EISDIR);
    graba("a.txt", "uno\r\n");
    const int fd = archivos::AbreArchivo(ruta("a.txt"), O_RDONLY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::fcntl(fd, F_GETFL) & O_NONBLOCK, 0);
    EXPECT_NE(::fcntl(fd, F_GETFD) & FD_CLOEXEC, 0);
    ::close(fd);
}

TEST_F(Archivos, ADeviceIsNoFileToRead)
{
    const QString nulo = QStringLiteral("/dev/null");
    if (!QFileInfo::exists(nulo))
        GTEST_SKIP();
    EXPECT_FALSE(rutas::ExisteArchivo(nulo));
    EXPECT_EQ(prueba::NumeroDeError([&] { archivos::LeeLineas(nulo); }), vberr::PathFileAccess);
    EXPECT_EQ(prueba::NumeroDeError([&] { archivos::ArchivoRegistros r(nulo, 4); }), vberr::PathFileAccess);
    EXPECT_TRUE(archivos::SeccionIni(nulo, QStringLiteral("Unidades")).empty());
    // Written to, it is the operator's choice of a place for the lines.
    archivos::AgregaLinea(nulo, u"x");
}

} // namespace
