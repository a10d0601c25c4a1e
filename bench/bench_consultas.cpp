// The lookup dialogs at size, on the offscreen platform unless told otherwise:
//   - the list dialog on the demo articles with a row limit of N (default
//     100,000): time from the lookup's start until the dialog is shown with
//     all rows, and the peak memory of the process;
//   - search as you type in that dialog: the time of each keystroke (the
//     search and the repaint it causes), worst and mean, including texts that
//     match the last row or no row (a walk over every row);
//   - F5 in the search box after every keystroke: a new statement with the
//     text as a LIKE each time, sent to the database and the list reloaded;
//   - the generic tree of 20,000 codes nested by their leading characters;
//   - the access log: a program start's row in Control_Acceso, with its
//     task looked up in the operator's menu rights.
//   bench_consultas [ARTICULOS]
#include "db/db_dll.h"
#include "lookup/definiciones_consultas.h"
#include "lookup/lib_clscons3.h"
#include "lookup/lib_frmcons3.h"
#include "lookup/lib_frmcons3tree.h"
#include "lookup/modelo_arbol.h"
#include "lookup/modelo_lista.h"
#include "db/globales.h"
#include "platform/operador.h"
#include "startup/registra_acceso.h"
#include "tools/demo_db.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>
#include <sys/resource.h>

namespace {

using Reloj = std::chrono::steady_clock;

double Ms(Reloj::time_point t0) { return std::chrono::duration<double, std::milli>(Reloj::now() - t0).count(); }

// Processor time of the process, which other work on the machine does not stretch.
double CpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}

long long Contar(const QString& archivo, const char* sql)
{
    sqlite3* db = nullptr;
    sqlite3_stmt* st = nullptr;
    sqlite3_open(archivo.toUtf8().constData(), &db);
    long long n = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        n = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    sqlite3_close(db);
    return n;
}

long PicoMB()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

void Sqlite(const QString& archivo, const QString& sql)
{
    sqlite3* db = nullptr;
    sqlite3_open(archivo.toUtf8().constData(), &db);
    char* err = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "sqlite: %s\n", err);
        std::exit(1);
    }
    sqlite3_close(db);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const long long articulos = argc > 1 ? std::atoll(argv[1]) : 100000;
    QTemporaryDir dir;
    qputenv("VERIFICADOR_CARPETA", dir.path().toLocal8Bit());
    qputenv("VERIFICADOR_SERVIDORES", (dir.path() + QStringLiteral("/servidores.ini")).toLocal8Bit());
    // The list is measured in its window, as the operator sees it.
    auto operadorConVentanas = std::make_unique<OperadorGuion>();
    operadorConVentanas->ventanas = true;
    instalaOperador(std::move(operadorConVentanas));
    demo::Opciones o;
    o.carpeta = dir.path();
    o.articulos = articulos;
    demo::Genera(o);
    const QString base = dir.path() + QStringLiteral("/DEMO.sqlite");
    Sqlite(base, QStringLiteral("UPDATE TA_CONFIGURACION SET Valor = '%1' WHERE Clave = 'TOPCONSART';"
                                "UPDATE MA_ARTICULOS SET SUSPENDIDO = 0;")
                     .arg(articulos));
    // 20,000 codes: 20 groups of 10 subgroups of 10 of 10, each code under its beginning.
    QString codigos = QStringLiteral("CREATE TABLE T_CODIGOS (codigo TEXT, descripcion TEXT); INSERT INTO T_CODIGOS VALUES ");
    int n = 0;
    for (int a = 0; a < 20; ++a)
        for (int b = -1; b < 10; ++b)
            for (int c = -1; c < (b < 0 ? 0 : 10); ++c)
                for (int d = -1; d < (c < 0 ? 0 : 10) && n < 20000; ++d) {
                    QString k = QStringLiteral("%1").arg(a, 2, 10, QChar(u'0'));
                    if (b >= 0)
                        k += QString::number(b);
                    if (c >= 0)
                        k += QString::number(c);
                    if (d >= 0)
                        k += QString::number(d);
                    codigos += (n ? QStringLiteral(",") : QString()) + QStringLiteral("('%1','Codigo %1')").arg(k);
                    ++n;
                }
    Sqlite(base, codigos + u';');

    DB_Dll& db = DB();
    db.gServidor = QStringLiteral("LOCAL");
    db.gDBName = db.gUsuario = db.gUserPassWord = QStringLiteral("DEMO");
    db.OpenServerADODB(false, ado::adUseClient, {}, false, true);
    if (!db.gOpenFlag)
        return 1;
    Lib_ClsCons3& c = Consultas();
    c.gRutaMascaraConsultas = dir.path() + QStringLiteral("/consultas.slv");
    c.gUsarMascarasConsultas = true;
    consultas::AgregaDefinicion(c.gRutaMascaraConsultas, {QStringLiteral("ARTICULOS"), QStringLiteral("V_MA_ARTICULOS"),
                                                          QStringLiteral("|DESCRIPCION|IDARTICULO|"), QString()});

    // The same rows read bare through the database layer, for comparison.
    double lecturaCpu = 0;
    {
        const double c0 = CpuMs();
        QString sql = QStringLiteral("SELECT TOP %1 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE SUSPENDIDO = 0"
                                     " ORDER BY DESCRIPCION")
                          .arg(articulos);
        ado::Recordset rs;
        db.AbrirRecordset(sql, rs);
        for (; !rs.EOF_(); rs.MoveNext())
            for (int i = 0; i < rs.FieldCount(); ++i)
                (void)rs.Fields(i).Value();
        db.CierraRecordset(rs);
        lecturaCpu = CpuMs() - c0;
    }
    const long antes = PicoMB();
    double apertura = 0, aperturaCpu = 0, cargada = 0, peor = 0, total = 0;
    int teclas = 0, filas = 0;
    double peorF5 = 0, totalF5 = 0, cpuF5 = 0;
    int f5 = 0;
    const auto t0 = Reloj::now();
    const double cpu0 = CpuMs();
    c.alMostrar = [&](FormularioConsulta& d) {
        auto& f = static_cast<Lib_FrmCons3&>(d);
        filas = f.Modelo().Filas();
        cargada = Ms(t0);
        QTimer::singleShot(0, &f, [&] {
            apertura = Ms(t0); // loaded and shown: the first events of the modal loop run
            aperturaCpu = CpuMs() - cpu0;
            const QString ultima = f.Modelo().Valor(f.Modelo().Filas() - 1, 0);
            for (const QString& texto : {QStringLiteral("Pingüino helado premium"), ultima, QStringLiteral("zzzz"),
                                         QStringLiteral("Arroz largo fino sin TACC")}) {
                f.CmbSearch[0]->setText(QString());
                for (qsizetype i = 1; i <= texto.size(); ++i) {
                    const auto t = Reloj::now();
                    f.CmbSearch[0]->setText(texto.left(i));
                    QApplication::processEvents();
                    const double ms = Ms(t);
                    peor = std::max(peor, ms);
                    total += ms;
                    ++teclas;
                }
            }
            const QString buscada = QStringLiteral("helado");
            for (qsizetype i = 1; i <= buscada.size(); ++i) {
                f.CmbSearch[0]->setText(buscada.left(i));
                const auto t = Reloj::now();
                const double c0 = CpuMs();
                f.CmbSearch_KeyDown(0, Qt::Key_F5);
                QApplication::processEvents();
                const double ms = Ms(t);
                cpuF5 += CpuMs() - c0;
                peorF5 = std::max(peorF5, ms);
                totalF5 += ms;
                ++f5;
            }
            f.CmdCancelar_Click();
        });
    };
    QStringList cmps;
    QString campo, where;
    c.ConsultaSearch(QStringLiteral("V_MA_ARTICULOS"), cmps, {}, campo, where);
    const long pico = PicoMB();

    Lib_FrmCons3Tree arbol;
    arbol.sql = QStringLiteral("SELECT codigo, descripcion FROM T_CODIGOS ORDER BY codigo");
    const auto ta = Reloj::now();
    arbol.Form_Load();
    const double tiempoArbol = Ms(ta);
    int raices = int(arbol.Modelo().NodoEn(0).hijos.size());

    constexpr int kInicios = 200;
    glb::UsuarioActual = db.gUsuario;
    const auto tl = Reloj::now();
    const double cl = CpuMs();
    for (int i = 0; i < kInicios; ++i)
        RegistraAcceso(QStringLiteral("VERIFICADOR"));
    const double registro = Ms(tl) / kInicios, registroCpu = (CpuMs() - cl) / kInicios;

    std::printf("list dialog: %d rows shown in %.0f ms, %.0f ms of processor time (rows read in %.0f ms; goal < 1000 ms)\n",
                filas, apertura, aperturaCpu, cargada);
    std::printf("  (the statement alone, read bare through the database layer: %.0f ms of processor time)\n", lecturaCpu);
    std::printf("search as you type: %d keystrokes, worst %.1f ms, mean %.1f ms (goal < 50 ms)\n", teclas, peor,
                teclas ? total / teclas : 0.0);
    std::printf("F5 after each keystroke: %d statements, worst %.1f ms, mean %.1f ms, %.1f ms of processor time each\n", f5,
                peorF5, f5 ? totalF5 / f5 : 0.0, f5 ? cpuF5 / f5 : 0.0);
    std::printf("memory: peak %ld MB (before the lookup %ld MB; goal < 150 MB)\n", pico, antes);
    std::printf("generic tree: %d codes (%d under the root) built in %.0f ms (goal < 1000 ms)\n", arbol.Modelo().Nodos() - 1,
                raices, tiempoArbol);
    std::printf("access log: %d program starts (%lld rows written), %.2f ms each, %.2f ms of processor time each\n",
                kInicios, Contar(base, "SELECT COUNT(*) FROM Control_Acceso"), registro, registroCpu);
    return 0;
}
