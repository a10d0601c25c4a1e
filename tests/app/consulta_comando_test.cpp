// verificador --consulta run as a process on the console: the choice is
// typed on standard input, the value comes out on standard output.
#include "comun/base_prueba.h"

#include <QProcess>

namespace {

const QString kEsquema = QStringLiteral(
    "CREATE TABLE TA_CONFIGURACION (Grupo TEXT COLLATE NOCASE, Clave TEXT COLLATE NOCASE, Valor TEXT COLLATE NOCASE,"
    " PoliticaNegocio INTEGER, ValorAux TEXT COLLATE NOCASE);"
    "CREATE TABLE TA_VENDEDORES (IDVENDEDOR TEXT COLLATE NOCASE, NOMBRE TEXT COLLATE NOCASE);"
    "CREATE VIEW V_TA_VENDEDORES AS SELECT NOMBRE, IDVENDEDOR FROM TA_VENDEDORES;"
    "INSERT INTO TA_VENDEDORES VALUES ('1', 'Carlos Muñoz'), ('2', 'Verónica Sáenz'), ('3', 'Jorge Ibarra');"
    "CREATE TABLE TA_FAMILIAS (IdFamilia TEXT COLLATE NOCASE, Descripcion TEXT COLLATE NOCASE);"
    "CREATE VIEW V_TA_FAMILIAS AS SELECT IdFamilia, Descripcion FROM TA_FAMILIAS;"
    "INSERT INTO TA_FAMILIAS VALUES ('01', 'Almacen'), ('0101', 'Infusiones'), ('02', 'Lacteos'), ('0201', 'Leches');");

class ConsultaComando : public prueba::BasePrueba {
protected:
    void SetUp() override
    {
        BasePrueba::SetUp();
        CreaBase(QStringLiteral("EMP"), kEsquema);
    }

    struct Corrida {
        int estado = -2;
        QString normal, error;
    };

    Corrida Corre(const QStringList& argumentos, const QByteArray& entrada)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VERIFICADOR_CARPETA"), dir.path());
        env.insert(QStringLiteral("VERIFICADOR_SERVIDORES"), dir.path() + QStringLiteral("/servidores.ini"));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(VERIFICADOR_EXE),
                argumentos + QStringList{QStringLiteral("@Server=LOCAL; @DbName=EMP; @Usuario=ADMIN;")});
        p.write(entrada);
        p.closeWriteChannel();
        Corrida c;
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished();
            ADD_FAILURE() << "the lookup did not end";
        } else {
            c.estado = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        }
        c.normal = QString::fromLocal8Bit(p.readAllStandardOutput());
        c.error = QString::fromLocal8Bit(p.readAllStandardError());
        return c;
    }
};

TEST_F(ConsultaComando, EligeUnaFilaEscribiendo)
{
    // The standard definition of V_TA_VENDEDORES searches by NOMBRE; the key is the last column.
    Corrida c = Corre({QStringLiteral("--consulta"), QStringLiteral("v_ta_vendedores")}, "jor\n\n");
    EXPECT_EQ(c.estado, 0) << c.error.toStdString();
    EXPECT_EQ(c.normal, u"3\n"_qs);
    EXPECT_TRUE(c.error.contains(u"Jorge Ibarra"_qs)) << c.error.toStdString();
    // The start-up wrote the standard definitions on the way.
    EXPECT_EQ(QFileInfo(dir.path() + u"/consultas.slv"_qs).size(), 13222);

    c = Corre({QStringLiteral("--consulta"), QStringLiteral("V_TA_VENDEDORES"), QStringLiteral("--campo"), QStringLiteral("NOMBRE")},
              "ver\n\n");
    EXPECT_EQ(c.estado, 0) << c.error.toStdString();
    EXPECT_EQ(c.normal, u"Verónica Sáenz\n"_qs);
}

TEST_F(ConsultaComando, SinEleccionTerminaConUno)
{
    Corrida c = Corre({QStringLiteral("--consola"), QStringLiteral("--consulta"), QStringLiteral("V_TA_VENDEDORES")}, "jor\n");
    EXPECT_EQ(c.estado, 1);
    EXPECT_TRUE(c.normal.isEmpty());
    c = Corre({QStringLiteral("--consulta"), QString()}, "");
    EXPECT_EQ(c.estado, 1);
    EXPECT_TRUE(c.error.contains(u"--consulta"_qs));
}

TEST_F(ConsultaComando, FamiliasEnArbol)
{
    Corrida c = Corre({QStringLiteral("--consulta"), QStringLiteral("V_TA_FAMILIAS")}, "lech\n\n");
    EXPECT_EQ(c.estado, 0) << c.error.toStdString();
    EXPECT_EQ(c.normal, u"0201\n"_qs);
}

} // namespace
