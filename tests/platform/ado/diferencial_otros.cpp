#include "diferencial.h"
namespace diferencial {
std::vector<Caso> CasosFechas() { return {{u"SELECT Alta FROM ART WHERE IdArticulo = 3", "datetime 2025-02-01 23:59:59.997"}}; }
std::vector<Caso> CasosTextos() { return {{u"SELECT Descripcion FROM ART WHERE IdArticulo = 1", "varchar Ñandú"}}; }
std::vector<Caso> CasosFormas() { return {{u"SELECT 1 SELECT 2", "int 1"}, {u"INSERT INTO VENTAS (IdArticulo) VALUES (1) SELECT SCOPE_IDENTITY()", "decimal(38,0) 6"}}; }
std::vector<Caso> CasosCotidianas() { return {{u"SELECT Codigo FROM ART WHERE Codigo LIKE 'A%' ORDER BY Codigo", "varchar A001 || varchar A002 || varchar A003"}}; }
}
