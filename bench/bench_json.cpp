// Reading speed and memory of LeerJSON on a catalogue of about 20 MB, beside
// nlohmann::ordered_json (ordered objects, like ours) and RapidJSON.
//   bench_json [megabytes] [rounds]
#include "json/diccionario.h"
#include "json/json.h"
#include "json/lista.h"

#include <nlohmann/json.hpp>
#include <rapidjson/document.h>

#include <QString>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <malloc.h>
#include <string>

namespace {

std::string catalogo(std::size_t bytes)
{
    static const char* familias[] = {"TEXTIL", "CALZADO", "ALIMENTACIÓN", "DROGUERÍA", "FERRETERÍA", "PAPELERÍA"};
    static const char* nombres[] = {"CAMISETA ALGODÓN", "ZAPATILLA DEPORTIVA", "ACEITE DE OLIVA 1L", "DETERGENTE \\\"ULTRA\\\"",
                                    "TORNILLO 4x40 (CAJA 100)", "CUADERNO A4 CUADRÍCULA", "AZÚCAR MORENO 1KG", "LEJÍA 2L"};
    std::string s = "{\"empresa\": \"Comercial de prueba S.L.\", \"generado\": \"2025-03-07T18:05:09\",\n \"articulos\": [\n";
    char linea[1024];
    for (unsigned i = 0; s.size() < bytes; ++i) {
        const unsigned n = i % 8;
        std::snprintf(linea, sizeof linea,
                      "  %s{\"codigo\": \"A%07u\", \"barras\": \"84%011u\", \"descripcion\": \"%s Nº %u\", "
                      "\"familia\": \"%s\", \"precio\": %u.%02u, \"coste\": %u.%04u, \"existencia\": %d, "
                      "\"activo\": %s, \"baja\": null, \"tallas\": [\"S\", \"M\", \"L\"], "
                      "\"proveedor\": {\"codigo\": \"P%04u\", \"nombre\": \"Proveedor %u \\u00d1\"}}\n",
                      i ? "," : "", i, i * 7919u % 100000000u, nombres[n], i, familias[i % 6], i % 500, i % 100,
                      i % 300, i % 10000, int(i % 97) - 10, i % 5 ? "true" : "false", i % 313, i % 313);
        s += linea;
    }
    s += " ]\n}\n";
    return s;
}

double segundos(const std::function<void()>& f, int rondas)
{
    double mejor = 1e30;
    for (int r = 0; r < rondas; ++r) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        mejor = std::min(mejor, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    return mejor;
}

std::size_t enUso() { return mallinfo2().uordblks + mallinfo2().hblkhd; }

} // namespace

int main(int argc, char** argv)
{
    const double mb = argc > 1 ? std::atof(argv[1]) : 20;
    const int rondas = argc > 2 ? std::atoi(argv[2]) : 5;
    const std::string texto = catalogo(std::size_t(mb * 1e6));
    const double megas = double(texto.size()) / 1e6;

    const auto c0 = std::chrono::steady_clock::now();
    const QString qtexto = QString::fromUtf8(texto);
    const double conversion = std::chrono::duration<double>(std::chrono::steady_clock::now() - c0).count();

    std::size_t articulos = 0;
    const double tPropio = segundos(
        [&] {
            auto raiz = std::dynamic_pointer_cast<Diccionario>(JSON::LeerJSON(qtexto));
            const auto& lista = dynamic_cast<const Lista&>(*raiz->Item(QStringLiteral("articulos")).toObject());
            articulos = std::size_t(lista.Count());
        },
        rondas);
    if (!JSON::ErroresJSON().isEmpty()) {
        std::fprintf(stderr, "LeerJSON: %s\n", qPrintable(JSON::ErroresJSON().left(300)));
        return 1;
    }
    std::size_t articulosN = 0, articulosR = 0;
    const double tNlohmann = segundos(
        [&] {
            const auto j = nlohmann::ordered_json::parse(texto);
            articulosN = j["articulos"].size();
        },
        rondas);
    const double tRapid = segundos(
        [&] {
            rapidjson::Document d;
            d.Parse(texto.data(), texto.size());
            articulosR = d["articulos"].Size();
        },
        rondas);

    malloc_trim(0);
    const std::size_t antes = enUso();
    auto raiz = JSON::LeerJSON(qtexto);
    const std::size_t documento = enUso() - antes;

    std::printf("input: %.1f MB UTF-8, %zu articles (nlohmann %zu, RapidJSON %zu)\n", megas, articulos, articulosN, articulosR);
    std::printf("UTF-8 to UTF-16 conversion (not counted below): %.0f MB/s\n", megas / conversion);
    std::printf("LeerJSON                 %7.1f MB/s\n", megas / tPropio);
    std::printf("nlohmann::ordered_json   %7.1f MB/s  (LeerJSON / nlohmann = %.2f)\n", megas / tNlohmann, tNlohmann / tPropio);
    std::printf("RapidJSON                %7.1f MB/s  (LeerJSON / RapidJSON = %.2f)\n", megas / tRapid, tRapid / tPropio);
    std::printf("LeerJSON including conversion %.1f MB/s\n", megas / (tPropio + conversion));
    std::printf("parsed document: %.1f MB = %.2f x the input\n", double(documento) / 1e6, double(documento) / double(texto.size()));
    return articulos == articulosN && articulos == articulosR ? 0 : 1;
}
