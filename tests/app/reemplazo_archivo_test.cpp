// The file replaced whole through a temporary file of its own.
#include "app/reemplazo_archivo.h"
#include "comun/base_prueba.h"
#include "platform/errores.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

class Reemplazo : public prueba::BasePrueba {
protected:
    QString Lee(const QString& ruta) const { return leeArchivo(ruta); }
    void Escribe(const QString& ruta, const QByteArray& datos)
    {
        QFile f(ruta);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(datos);
    }
    QStringList Contenido() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name); }
};

TEST_F(Reemplazo, ExclusivoNuncaAbreUnNombreExistenteNiUnEnlace)
{
    const QString secreto = dir.path() + QStringLiteral("/secreto"), enlace = dir.path() + QStringLiteral("/enlace"),
                  colgante = dir.path() + QStringLiteral("/colgante");
    Escribe(secreto, "SECRETO");
    ASSERT_TRUE(QFile::link(secreto, enlace));
    ASSERT_TRUE(QFile::link(dir.path() + QStringLiteral("/no_existe"), colgante));
    for (const QString& r : {secreto, enlace, colgante}) {
        SCOPED_TRACE(r.toStdString());
        EXPECT_THROW(archivos::EscritorTexto(r, archivos::EscritorTexto::Modo::Exclusivo), VbError);
    }
    EXPECT_EQ(Lee(secreto), u"SECRETO");
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/no_existe")));

    archivos::EscritorTexto w(dir.path() + QStringLiteral("/nuevo"), archivos::EscritorTexto::Modo::Exclusivo);
    w.EscribeLinea(u"uno");
    w.Cierra();
    EXPECT_EQ(Lee(dir.path() + QStringLiteral("/nuevo")), u"uno\r\n");
}

TEST_F(Reemplazo, TemporalImpredecibleQueSoloConfirmaReemplaza)
{
    const QString destino = dir.path() + QStringLiteral("\\productos.txt");
    Escribe(dir.path() + QStringLiteral("/productos.txt"), "VIEJO\r\n");
    QString primero;
    {
        ReemplazoArchivo a(destino), b(destino);
        primero = a.Temporal();
        EXPECT_TRUE(QRegularExpression(QStringLiteral("/\\.productos\\.txt\\.[A-Za-z0-9]{12}$")).match(a.Temporal()).hasMatch())
            << a.Temporal().toStdString();
        EXPECT_NE(a.Temporal(), b.Temporal());
        EXPECT_TRUE(QFileInfo(a.Temporal()).isFile());
        a.Salida().EscribeLinea(u"a medias");
        // Neither confirms: both temporary files go, the old file stays.
    }
    EXPECT_EQ(Lee(dir.path() + QStringLiteral("/productos.txt")), u"VIEJO\r\n");
    EXPECT_EQ(Contenido(), (QStringList{u".productos.txt.lock"_qs, u"productos.txt"_qs, u"servidores.ini"_qs}));

    ReemplazoArchivo c(destino);
    EXPECT_NE(c.Temporal(), primero);
    c.Salida().EscribeLinea(u"NUEVO");
    c.Confirma();
    EXPECT_EQ(Lee(dir.path() + QStringLiteral("/productos.txt")), u"NUEVO\r\n");
    EXPECT_EQ(Contenido(), (QStringList{u".productos.txt.lock"_qs, u"productos.txt"_qs, u"servidores.ini"_qs}));
}

TEST_F(Reemplazo, CarpetaInexistenteEsUnErrorSinRestos)
{
    EXPECT_THROW(ReemplazoArchivo(dir.path() + QStringLiteral("/no/hay\\productos.txt")), VbError);
    EXPECT_EQ(Contenido(), QStringList{u"servidores.ini"_qs});
}

} // namespace
