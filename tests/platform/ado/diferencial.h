#pragma once
// The differential table: statements a retail back office writes, each with
// the answer SQL Server documents for it, run on the embedded database by
// diferencial_test.cpp. The cases live in diferencial_*.cpp, one function per area.
#include <vector>

namespace diferencial {

// Pendiente: a row the embedded database still answers differently; its
// area's test then passes while the row is reported. Dudoso: the server's answer is not settled; the
// row is run and reported, never counted as agreeing or differing.
enum class Marca { Ninguna, Pendiente, Dudoso };
inline constexpr Marca P = Marca::Pendiente;
inline constexpr Marca D = Marca::Dudoso;

// The server's answer, written as text:
//   "#8134"                  the server raises error 8134;
//   "filas 3"                the first result set has 3 rows;
//   "money 266.6666 | int 3" the first row's columns, each its type and value
//                            (NULL for a null; decimal(p,s); dates as
//                            yyyy-mm-dd[ hh:mm:ss[.mmm]]);
//   "... || ..."             every row of the result, in order (rows apart by " || ").
struct Caso {
    const char16_t* sql; // a batch: setup statements may come before the one answered
    const char* esperado;
    Marca marca = Marca::Ninguna;
    const char* porque = nullptr; // why the answer is not settled (dudoso)
};

std::vector<Caso> CasosDinero();      // money and decimal arithmetic, rounding, conversion to text
std::vector<Caso> CasosEnteros();     // integer arithmetic and its errors
std::vector<Caso> CasosFechas();      // datetime arithmetic, literals, comparisons
std::vector<Caso> CasosTextos();      // implicit conversions, string functions, collations
std::vector<Caso> CasosFormas();      // statement forms
std::vector<Caso> CasosCotidianas();  // the suite's own everyday statements
std::vector<Caso> CasosFunciones();   // the server's built-in functions
std::vector<Caso> CasosAceptacion();  // a back office's statements written for acceptance

} // namespace diferencial
