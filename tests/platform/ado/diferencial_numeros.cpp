// Money, decimal and integer arithmetic as the server types it.
#include "diferencial.h"

namespace diferencial {

std::vector<Caso> CasosDinero()
{
    return {
        {u"SELECT Precio / 3 FROM ART WHERE IdArticulo = 1", "money 266.6666"},
        {u"SELECT Precio FROM ART WHERE IdArticulo = 3", "money 1250.50"},
        {u"SELECT Costo FROM ART WHERE IdArticulo = 1", "decimal(12,4) 600.0000"},
    };
}

std::vector<Caso> CasosEnteros()
{
    return {
        {u"SELECT 1 / 0", "#8134"},
    };
}

} // namespace diferencial
