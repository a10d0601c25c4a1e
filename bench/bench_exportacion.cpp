// The export of N articles (default 1,000,000), each program as its own
// process, start-up included, its runs side by side:
//  - from the embedded database: verificador's unattended run beside a
//    minimal C program reading the same rows through the sqlite3 API;
//  - through unixODBC, the SQLite ODBC driver standing in for the server's:
//    verificador's unattended run against a server of servidores.ini beside a
//    minimal C program sending the same query through ODBC; the program once
//    more on a tenth of the articles, to see that its memory does not grow.
// Prints medians and spreads of wall time and peak memory, the ratios to the
// baselines, and compares the four files with cmp.
//   bench_exportacion [ARTICULOS] [VECES]
// Scale: verificador's embedded export of a tenth of N and of N (default
// 10,000,000), alternated: time per article and peak memory of both sizes.
//   bench_exportacion --escala [ARTICULOS] [VECES]
// Against another build: this build's verificador and another one's (an
// earlier commit's), alternated run by run on the same databases, embedded and
// through unixODBC; medians of wall and processor time, peak memory, ratios.
//   bench_exportacion --contra VERIFICADOR [ARTICULOS] [VECES]
// The databases are kept by size in the build folder (bench/bases) and made
// again only when missing or older than the generator.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

const char* const DriverSqliteOdbc = "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so";

// The program's query as it reaches an SQLite database (ISNULL translated).
const char* const ConsultaSqlite = "SELECT idarticulo , IFNULL(CODIGOBARRA  , '') as CODIGOBARRA, DESCRIPCION, 0 as Stock "
                                   "FROM V_MA_Articulos    where SUSPENDIDO = 0   ";

struct Medida {
    double segundos = 0;
    double cpu = 0; // user and system: less hurt than the wall time by a busy machine
    long picoKB = 0;
    int estado = -1;
};

Medida Corre(const std::vector<std::string>& args, const std::vector<std::string>& env = {}, const std::string& cwd = {})
{
    const auto t0 = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        for (const auto& e : env)
            putenv(const_cast<char*>(e.c_str()));
        unsetenv("DISPLAY");
        if (!cwd.empty() && chdir(cwd.c_str()) != 0)
            _exit(126);
        const int nulo = open("/dev/null", O_RDWR);
        dup2(nulo, 0);
        dup2(nulo, 1);
        std::vector<char*> a;
        for (const auto& s : args)
            a.push_back(const_cast<char*>(s.c_str()));
        a.push_back(nullptr);
        execv(a[0], a.data());
        _exit(127);
    }
    int estado = 0;
    rusage uso{};
    wait4(pid, &estado, 0, &uso);
    Medida m;
    m.segundos = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    m.cpu = double(uso.ru_utime.tv_sec + uso.ru_stime.tv_sec) + (uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e6;
    m.picoKB = uso.ru_maxrss;
    m.estado = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
    return m;
}

// The databases of that size, made once. A stamp written last marks a folder
// whose generation ended; a newer generator makes them again.
std::string Bases(long long articulos, bool plana)
{
    const std::string carpeta = std::string(BASES) + '/' + std::to_string(articulos) + (plana ? "-plana" : "");
    const std::string sello = carpeta + "/hecha";
    const QFileInfo s(QString::fromStdString(sello));
    if (s.exists() && s.lastModified() >= QFileInfo(QStringLiteral(GENERAR_DEMO)).lastModified())
        return carpeta;
    QFile::remove(QString::fromStdString(sello));
    std::printf("creando la base de %lld articulos%s...\n", articulos, plana ? " (plana)" : "");
    std::fflush(stdout);
    std::vector<std::string> args = {GENERAR_DEMO, carpeta, "--articulos", std::to_string(articulos)};
    if (plana)
        args.push_back("--plana");
    const Medida m = Corre(args);
    if (m.estado != 0) {
        std::printf("no se pudo crear la base en %s\n", carpeta.c_str());
        std::exit(1);
    }
    std::printf("  hecha en %.1f s\n", m.segundos);
    QFile f(QString::fromStdString(sello));
    f.open(QIODevice::WriteOnly);
    return carpeta;
}

double Mediana(std::vector<double> s)
{
    std::sort(s.begin(), s.end());
    return s.empty() ? 0 : s.size() % 2 ? s[s.size() / 2] : (s[s.size() / 2 - 1] + s[s.size() / 2]) / 2;
}

struct Serie {
    std::vector<Medida> m;
    std::vector<double> valores(double Medida::*campo) const
    {
        std::vector<double> r;
        for (const Medida& x : m)
            r.push_back(x.*campo);
        return r;
    }
    double mediana(double Medida::*campo = &Medida::segundos) const { return Mediana(valores(campo)); }
    double minimo() const
    {
        const auto v = valores(&Medida::segundos);
        return *std::min_element(v.begin(), v.end());
    }
    double maximo() const
    {
        const auto v = valores(&Medida::segundos);
        return *std::max_element(v.begin(), v.end());
    }
    double picoMB() const
    {
        long r = 0;
        for (const Medida& x : m)
            r = std::max(r, x.picoKB);
        return r / 1024.0;
    }
    void agrega(const char* quien, const Medida& x)
    {
        if (x.estado != 0) {
            std::printf("fallo: %s termino con estado %d\n", quien, x.estado);
            std::exit(1);
        }
        m.push_back(x);
    }
    void muestra(const char* quien, long long filas) const
    {
        std::printf("  %-26s mediana %8.3f s (%.3f..%.3f)  %9.0f filas/s  cpu %7.3f s  pico %6.1f MB\n", quien, mediana(),
                    minimo(), maximo(), filas / mediana(), mediana(&Medida::cpu), picoMB());
    }
};

// Ratios of the runs taken side by side, then their median and spread.
void Razon(const char* que, const Serie& a, const Serie& b, double meta)
{
    std::vector<double> r, cpu;
    for (size_t i = 0; i < a.m.size() && i < b.m.size(); ++i) {
        r.push_back(a.m[i].segundos / b.m[i].segundos);
        cpu.push_back(a.m[i].cpu / b.m[i].cpu);
    }
    const double med = Mediana(r);
    std::printf("  razon %s: mediana %.2f (%.2f..%.2f), meta <= %.2f: %s; de cpu %.2f\n", que, med,
                *std::min_element(r.begin(), r.end()), *std::max_element(r.begin(), r.end()), meta,
                med <= meta ? "dentro" : "FUERA", Mediana(cpu));
}

bool Iguales(const std::string& a, const std::string& b)
{
    const bool iguales = Corre({"/usr/bin/cmp", "-s", a, b}).estado == 0;
    std::printf("  cmp %s %s: %s\n", a.c_str(), b.c_str(), iguales ? "iguales" : "DISTINTOS");
    return iguales;
}

std::string Productos(const std::string& carpeta) { return carpeta + "/unidades/c/Productos/productos.txt"; }

// servidores.ini of the runs' folder: the embedded server on the databases
// as made, and a server reached through ODBC on the plain copy.
void EscribeServidores(const std::string& carpeta, const std::string& bases)
{
    QFile f(QString::fromStdString(carpeta + "/servidores.ini"));
    f.open(QIODevice::WriteOnly);
    f.write(("[LOCAL]\nMotor=sqlite\nCarpeta=" + bases + "\n\n[ODBC]\nMotor=odbc\nServidor=localhost\nDriver="
             + DriverSqliteOdbc + "\n")
                .c_str());
}

// The driver opens the database named by @DbName as a file of the current
// folder: the folder of the ODBC runs holds it under that name.
std::string CarpetaOdbc(const std::string& carpeta, const std::string& plana)
{
    const std::string d = carpeta + "/odbc";
    QDir().mkpath(QString::fromStdString(d));
    for (const char* b : {"DEMO", "SV_ESTADISTICAS"})
        QFile::link(QString::fromStdString(plana + '/' + b + ".sqlite"), QString::fromStdString(d + '/' + b));
    return d;
}

std::vector<std::string> Parametros(const char* servidor, const std::string& exe = VERIFICADOR_EXE)
{
    return {exe, "--consola",
            std::string("@Server=") + servidor + "; @DbName=DEMO; @Usuario=ADMIN; @Password=DEMO; @ParametroAdicional=1;"};
}

int Comparacion(long long articulos, int veces)
{
    const std::string bases = Bases(articulos, false);
    const std::string plana = Bases(articulos, true);
    const std::string chica = Bases(std::max(1LL, articulos / 10), true);
    QTemporaryDir dir;
    const std::string carpeta = dir.path().toStdString();
    const std::vector<std::string> env = {"VERIFICADOR_CARPETA=" + carpeta, "VERIFICADOR_SERVIDORES=" + carpeta + "/servidores.ini"};
    EscribeServidores(carpeta, bases);
    const std::string odbc = CarpetaOdbc(carpeta, plana);
    QTemporaryDir dirChica;
    const std::string carpetaChica = dirChica.path().toStdString();
    const std::vector<std::string> envChica = {"VERIFICADOR_CARPETA=" + carpetaChica,
                                               "VERIFICADOR_SERVIDORES=" + carpetaChica + "/servidores.ini"};
    EscribeServidores(carpetaChica, bases);
    const std::string odbcChica = CarpetaOdbc(carpetaChica, chica);

    const std::string salidaV = Productos(carpeta), salidaC = carpeta + "/productos_c.txt";
    const std::string salidaOdbc = carpeta + "/productos_odbc.txt";
    const std::string cadena = std::string("Driver=") + DriverSqliteOdbc + ";Database=" + plana + "/DEMO.sqlite;StepAPI=1;NoCreat=1;";
    Serie v, c, vo, co, voChica;
    const std::string salidaVo = carpeta + "/productos_verificador_odbc.txt";
    for (int i = 0; i < veces; ++i) {
        // Both runs of verificador write the same file: the ODBC one's is moved aside.
        vo.agrega("verificador por ODBC", Corre(Parametros("ODBC"), env, odbc));
        QFile::remove(QString::fromStdString(salidaVo));
        QFile::rename(QString::fromStdString(salidaV), QString::fromStdString(salidaVo));
        v.agrega("verificador", Corre(Parametros("LOCAL"), env));
        c.agrega("programa C", Corre({EXPORTACION_C, bases + "/DEMO.sqlite", salidaC}));
        co.agrega("programa C por ODBC", Corre({EXPORTACION_ODBC, cadena, salidaOdbc, ConsultaSqlite}));
        voChica.agrega("verificador por ODBC (1/10)", Corre(Parametros("ODBC"), envChica, odbcChica));
        std::printf("  corrida %d: verificador %.3f s, C %.3f s; por ODBC: verificador %.3f s, C %.3f s\n", i + 1,
                    v.m.back().segundos, c.m.back().segundos, vo.m.back().segundos, co.m.back().segundos);
        std::fflush(stdout);
    }
    std::printf("%lld articulos, %d corridas:\n", articulos, veces);
    std::printf(" base embebida\n");
    v.muestra("verificador", articulos);
    c.muestra("programa C (sqlite3)", articulos);
    Razon("verificador / C", v, c, 1.15);
    std::printf("  pico de memoria del verificador: %s (meta < 24 MB)\n", v.picoMB() < 24 ? "dentro" : "FUERA");
    std::printf(" por unixODBC (controlador SQLite, StepAPI)\n");
    vo.muestra("verificador", articulos);
    co.muestra("programa C (ODBC)", articulos);
    Razon("verificador / C por ODBC", vo, co, 1.15);
    voChica.muestra("verificador, 1/10", std::max(1LL, articulos / 10));
    const double crece = vo.picoMB() - voChica.picoMB();
    std::printf("  pico del verificador por ODBC: %.1f MB con %lld articulos, %.1f MB con %lld: %+.1f MB (meta <= 2 MB): %s\n",
                vo.picoMB(), articulos, voChica.picoMB(), std::max(1LL, articulos / 10), crece, crece <= 2 ? "plana" : "CRECE");
    bool iguales = Iguales(salidaV, salidaC);
    iguales = Iguales(salidaVo, salidaOdbc) && iguales;
    iguales = Iguales(salidaV, salidaVo) && iguales;
    return iguales ? 0 : 1;
}

int Escala(long long articulos, int veces)
{
    const long long chica = std::max(1LL, articulos / 10);
    const std::string grande = Bases(articulos, false);
    const std::string base = Bases(chica, false);
    QTemporaryDir dirG, dirC;
    const std::string carpetaG = dirG.path().toStdString(), carpetaC = dirC.path().toStdString();
    EscribeServidores(carpetaG, grande);
    EscribeServidores(carpetaC, base);
    const std::vector<std::string> envG = {"VERIFICADOR_CARPETA=" + carpetaG, "VERIFICADOR_SERVIDORES=" + carpetaG + "/servidores.ini"};
    const std::vector<std::string> envC = {"VERIFICADOR_CARPETA=" + carpetaC, "VERIFICADOR_SERVIDORES=" + carpetaC + "/servidores.ini"};
    Serie vg, vc, cg, cc;
    for (int i = 0; i < veces; ++i) {
        vc.agrega("verificador", Corre(Parametros("LOCAL"), envC));
        vg.agrega("verificador", Corre(Parametros("LOCAL"), envG));
        cc.agrega("programa C", Corre({EXPORTACION_C, base + "/DEMO.sqlite", carpetaC + "/productos_c.txt"}));
        cg.agrega("programa C", Corre({EXPORTACION_C, grande + "/DEMO.sqlite", carpetaG + "/productos_c.txt"}));
        std::printf("  corrida %d: verificador %.3f s / %.3f s, C %.3f s / %.3f s\n", i + 1, vc.m.back().segundos,
                    vg.m.back().segundos, cc.m.back().segundos, cg.m.back().segundos);
        std::fflush(stdout);
    }
    std::printf("verificador, base embebida, %d corridas:\n", veces);
    std::printf(" %lld articulos\n", chica);
    vc.muestra("verificador", chica);
    cc.muestra("programa C (sqlite3)", chica);
    std::printf(" %lld articulos\n", articulos);
    vg.muestra("verificador", articulos);
    cg.muestra("programa C (sqlite3)", articulos);
    const double crece = vg.picoMB() - vc.picoMB();
    std::printf("  pico: %+.1f MB de %lld a %lld articulos (meta <= 2 MB): %s\n", crece, chica, articulos,
                crece <= 2 ? "dentro" : "FUERA");
    const double lineal = (vg.mediana() / articulos) / (vc.mediana() / chica);
    std::printf("  tiempo por articulo, %lld frente a %lld: %.2f veces (C: %.2f); de cpu %.2f (C: %.2f)\n", articulos, chica,
                lineal, (cg.mediana() / articulos) / (cc.mediana() / chica),
                (vg.mediana(&Medida::cpu) / articulos) / (vc.mediana(&Medida::cpu) / chica),
                (cg.mediana(&Medida::cpu) / articulos) / (cc.mediana(&Medida::cpu) / chica));
    const bool iguales = Iguales(Productos(carpetaG), carpetaG + "/productos_c.txt");
    return iguales && crece <= 2 ? 0 : 1;
}

int Contra(const std::string& otro, long long articulos, int veces)
{
    const std::string bases = Bases(articulos, false);
    const std::string plana = Bases(articulos, true);
    QTemporaryDir dir;
    const std::string carpeta = dir.path().toStdString();
    const std::vector<std::string> env = {"VERIFICADOR_CARPETA=" + carpeta, "VERIFICADOR_SERVIDORES=" + carpeta + "/servidores.ini"};
    EscribeServidores(carpeta, bases);
    const std::string odbc = CarpetaOdbc(carpeta, plana);
    // Each embedded run's file is kept aside: the last of each program are compared.
    const std::string salida = Productos(carpeta), salidaEste = carpeta + "/productos_este.txt",
                      salidaOtro = carpeta + "/productos_otro.txt";
    auto aparte = [&](const std::string& a) {
        QFile::remove(QString::fromStdString(a));
        QFile::rename(QString::fromStdString(salida), QString::fromStdString(a));
    };
    Serie e, eo, o, oo;
    // Which goes first changes every run, so neither gets the warmer caches.
    for (int i = 0; i < veces; ++i) {
        for (int k = 0; k < 2; ++k) {
            if ((i + k) % 2 == 0) {
                e.agrega("verificador", Corre(Parametros("LOCAL"), env));
                aparte(salidaEste);
                o.agrega("verificador por ODBC", Corre(Parametros("ODBC"), env, odbc));
            } else {
                eo.agrega("el otro", Corre(Parametros("LOCAL", otro), env));
                aparte(salidaOtro);
                oo.agrega("el otro por ODBC", Corre(Parametros("ODBC", otro), env, odbc));
            }
        }
        std::printf("  corrida %d: este %.3f s (cpu %.3f), el otro %.3f s (cpu %.3f); por ODBC: este %.3f s, el otro %.3f s\n", i + 1,
                    e.m.back().segundos, e.m.back().cpu, eo.m.back().segundos, eo.m.back().cpu, o.m.back().segundos,
                    oo.m.back().segundos);
        std::fflush(stdout);
    }
    std::printf("%lld articulos, %d corridas; el otro: %s\n", articulos, veces, otro.c_str());
    std::printf(" base embebida\n");
    e.muestra("este verificador", articulos);
    eo.muestra("el otro", articulos);
    Razon("este / el otro", e, eo, 1.03);
    std::printf(" por unixODBC (controlador SQLite, StepAPI)\n");
    o.muestra("este verificador", articulos);
    oo.muestra("el otro", articulos);
    Razon("este / el otro por ODBC", o, oo, 1.03);
    return Iguales(salidaEste, salidaOtro) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    const bool escala = argc > 1 && std::strcmp(argv[1], "--escala") == 0;
    const bool contra = argc > 2 && std::strcmp(argv[1], "--contra") == 0;
    const int primero = escala ? 2 : contra ? 3 : 1;
    const long long articulos = argc > primero ? std::atoll(argv[primero]) : escala ? 10000000 : 1000000;
    const int veces = argc > primero + 1 ? std::atoi(argv[primero + 1]) : 3;
    if (articulos < 1 || veces < 1) {
        std::fprintf(stderr, "uso: bench_exportacion [--escala | --contra VERIFICADOR] [ARTICULOS] [VECES]\n");
        return 2;
    }
    if (contra)
        return Contra(argv[2], articulos, veces);
    return escala ? Escala(articulos, veces) : Comparacion(articulos, veces);
}
