// The T-SQL parser: the time to parse a lookup's SELECT of about 300
// characters (retranslated on every keystroke), and the time per kilobyte of
// batches of growing size, which stays flat when the parser is linear.
//   bench_analizador [rounds]
#include "platform/tsql/analizador.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

// Processor time, which other work on the machine does not stretch.
double Us(std::clock_t t0) { return double(std::clock() - t0) * 1e6 / CLOCKS_PER_SEC; }

const char* const kConsulta =
    "SELECT TOP 200 a.Codigo AS [Código], a.Descripcion, ISNULL(f.Nombre, '') AS Familia, "
    "CONVERT(varchar(10), a.FechaAlta, 103) AS Alta, a.Precio * (1 + a.Iva / 100.0) AS PVP "
    "FROM Articulos a WITH (NOLOCK) LEFT JOIN Familias f ON f.Codigo = a.Familia "
    "WHERE a.Baja = 0 AND (a.Descripcion LIKE N'%TORN%' OR a.Codigo LIKE 'TORN%') ORDER BY a.Descripcion";

} // namespace

int main(int argc, char** argv)
{
    const int rondas = argc > 1 ? std::atoi(argv[1]) : 20000;
    const QString consulta = QString::fromUtf8(kConsulta);
    std::size_t total = 0;
    for (int k = 0; k < 1000; ++k)
        total += tsql::Analizar(consulta).sentencias.size();
    const std::clock_t t0 = std::clock();
    for (int k = 0; k < rondas; ++k)
        total += tsql::Analizar(consulta).sentencias.size();
    std::printf("SELECT of %lld characters: %.2f us per parse\n", static_cast<long long>(consulta.size()),
                Us(t0) / rondas);
    for (int veces : {10, 100, 1000, 10000}) {
        const QString lote = (consulta + QStringLiteral(";\n")).repeated(veces);
        const std::clock_t t1 = std::clock();
        total += tsql::Analizar(lote).sentencias.size();
        std::printf("batch of %8lld characters: %.2f us per KB\n", static_cast<long long>(lote.size()),
                    Us(t1) * 1024 / lote.size());
    }
    return total == 0;
}
