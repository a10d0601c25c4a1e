// Qt's own texts in the program's language, and messages on the terminal.
#include "platform/operador.h"
#include "platform/traducciones.h"

#include <QFile>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryFile>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// The text Qt gives the standard Cancel button of a message box.
QString TextoCancelar()
{
    QMessageBox caja;
    return caja.addButton(QMessageBox::Cancel)->text();
}

class TraduccionesQt : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString carpeta = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
        if (!QFile::exists(carpeta + QStringLiteral("/qtbase_es.qm")) || !QFile::exists(carpeta + QStringLiteral("/qtbase_de.qm")))
            GTEST_SKIP() << "Qt's translations are not installed in " << carpeta.toStdString()
                         << " (Debian package qt6-translations-l10n)";
    }
    void TearDown() override { aplicacion::CargaTraduccionesQt(QLocale(QLocale::Spanish)); }
};

TEST_F(TraduccionesQt, TheSystemLanguageWhenQtHasItSpanishOtherwise)
{
    EXPECT_TRUE(aplicacion::CargaTraduccionesQt(QLocale(QStringLiteral("de_DE"))).endsWith(QLatin1String("qtbase_de.qm")));
    EXPECT_EQ(TextoCancelar(), u"Abbrechen");

    // Loading again replaces the language, it does not stack a second one under it.
    for (const QLocale& sinTraduccion : {QLocale::c(), QLocale(QStringLiteral("xx_YY")), QLocale(QLocale::Yoruba)}) {
        EXPECT_TRUE(aplicacion::CargaTraduccionesQt(sinTraduccion).endsWith(QLatin1String("qtbase_es.qm")))
            << sinTraduccion.name().toStdString();
        EXPECT_EQ(TextoCancelar(), u"Cancelar");
    }

    EXPECT_TRUE(aplicacion::CargaTraduccionesQt(QLocale(QStringLiteral("es_AR"))).endsWith(QLatin1String("qtbase_es.qm")));
    EXPECT_EQ(TextoCancelar(), u"Cancelar");
    // English has its own file: the system's language wins over the program's.
    aplicacion::CargaTraduccionesQt(QLocale(QStringLiteral("en_GB")));
    EXPECT_EQ(TextoCancelar(), u"Cancel");
}

// What f wrote on the file descriptor fd (standard output or error).
QByteArray Escrito(int fd, const std::function<void()>& f)
{
    std::fflush(nullptr);
    QTemporaryFile archivo;
    EXPECT_TRUE(archivo.open());
    const int antes = ::dup(fd);
    ::dup2(archivo.handle(), fd);
    f();
    std::fflush(nullptr);
    ::dup2(antes, fd);
    ::close(antes);
    archivo.seek(0);
    return archivo.readAll();
}

TEST(OperadorConsola, ALoneCarriageReturnBreaksTheLineOnTheTerminal)
{
    auto previo = instalaOperador(crearOperadorConsola(false));
    const QByteArray aviso = Escrito(STDOUT_FILENO, [] {
        operador().Aviso(QStringLiteral("Primera\rSegunda\r\nTercera\r\rQuinta\r"), estilo::Information, QStringLiteral("Aviso"), 0);
    });
    EXPECT_EQ(aviso, QByteArray("== Aviso ==\nPrimera\nSegunda\nTercera\n\nQuinta\n\n"));
    // Error boxes go to standard error, broken the same way.
    const QByteArray error = Escrito(STDERR_FILENO, [] {
        operador().MsgBox(QStringLiteral("No se pudo\rabrir la base"), estilo::Critical, QString());
    });
    EXPECT_EQ(error, QByteArray("No se pudo\nabrir la base\n"));
    instalaOperador(std::move(previo));
}

} // namespace
