// The export of N articles (default 1,000,000) from the embedded database:
// verificador's unattended run beside a minimal C program doing the same
// work, each as its own process, start-up included. Prints wall and CPU time
// and peak memory of both, the ratio of the best times and the median of each
// run's ratio, and checks that both files are equal.
//   bench_exportacion [ARTICULOS] [VECES]
#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Medida {
    double segundos = 0;
    double cpu = 0; // user and system time: what a busy machine disturbs least
    long picoKB = 0;
    int estado = -1;
};

Medida Corre(const std::vector<std::string>& args, const std::vector<std::string>& env)
{
    const auto t0 = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        for (const auto& e : env)
            putenv(const_cast<char*>(e.c_str()));
        unsetenv("DISPLAY");
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
    m.picoKB = uso.ru_maxrss;
    m.cpu = double(uso.ru_utime.tv_sec + uso.ru_stime.tv_sec) + double(uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e6;
    m.estado = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
    return m;
}

QByteArray Resumen(const QString& ruta)
{
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        return "<no hay archivo>";
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(&f);
    return h.result().toHex() + " (" + QByteArray::number(f.size()) + " bytes)";
}

double Mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    const long long articulos = argc > 1 ? std::atoll(argv[1]) : 1000000;
    const int veces = argc > 2 ? std::atoi(argv[2]) : 3;
    QTemporaryDir dir;
    const std::string carpeta = dir.path().toStdString();
    const auto t0 = std::chrono::steady_clock::now();
    // The database is made by its own process: what this one holds in memory
    // would otherwise count in the children's peak.
    if (Corre({GENERAR_DEMO, carpeta, "--articulos", std::to_string(articulos)}, {}).estado != 0) {
        std::printf("no se pudo crear la base\n");
        return 1;
    }
    std::printf("base de %lld articulos creada en %.2f s\n", articulos,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());

    const std::vector<std::string> envV = {"VERIFICADOR_CARPETA=" + carpeta, "VERIFICADOR_SERVIDORES=" + carpeta + "/servidores.ini"};
    const std::vector<std::string> argsV = {VERIFICADOR_EXE, "--consola", "@Server=LOCAL; @DbName=DEMO; @Usuario=ADMIN; @Password=DEMO; @ParametroAdicional=1;"};
    const std::vector<std::string> argsC = {EXPORTACION_C, carpeta + "/DEMO.sqlite", carpeta + "/productos_c.txt"};

    Medida mejorV{1e9, 0, 0, 0}, mejorC{1e9, 0, 0, 0};
    std::vector<double> razones, razonesCpu;
    for (int i = 0; i < veces; ++i) {
        const Medida v = Corre(argsV, envV);
        const Medida c = Corre(argsC, {});
        if (v.estado != 0 || c.estado != 0) {
            std::printf("fallo: verificador %d, programa C %d\n", v.estado, c.estado);
            return 1;
        }
        std::printf("  corrida %d: verificador %.3f s (cpu %.3f s) %ld KB   C %.3f s (cpu %.3f s) %ld KB\n", i + 1, v.segundos, v.cpu,
                    v.picoKB, c.segundos, c.cpu, c.picoKB);
        razones.push_back(v.segundos / c.segundos);
        razonesCpu.push_back(v.cpu / c.cpu);
        mejorV.segundos = std::min(mejorV.segundos, v.segundos);
        mejorC.segundos = std::min(mejorC.segundos, c.segundos);
        mejorV.picoKB = std::max(mejorV.picoKB, v.picoKB);
        mejorC.picoKB = std::max(mejorC.picoKB, c.picoKB);
    }
    const QByteArray rv = Resumen(dir.path() + QStringLiteral("/unidades/c/Productos/productos.txt"));
    const QByteArray rc = Resumen(dir.path() + QStringLiteral("/productos_c.txt"));
    std::printf("verificador: %.3f s, pico %.1f MB\n", mejorV.segundos, mejorV.picoKB / 1024.0);
    std::printf("programa C : %.3f s, pico %.1f MB\n", mejorC.segundos, mejorC.picoKB / 1024.0);
    std::printf("mediana de las razones por corrida: %.2f (cpu %.2f)\n", Mediana(razones), Mediana(razonesCpu));
    std::printf("razon de tiempos: %.2f (meta <= 1.15); pico de memoria: %s (meta < 24 MB)\n", mejorV.segundos / mejorC.segundos,
                mejorV.picoKB < 24 * 1024 ? "dentro" : "FUERA");
    std::printf("archivos %s\n  verificador %s\n  C           %s\n", rv == rc ? "iguales" : "DISTINTOS", rv.constData(), rc.constData());
    return rv == rc ? 0 : 1;
}
