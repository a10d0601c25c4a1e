#pragma once
// How a connection hands rows to a recordset and closes it with itself.
#include "platform/ado/ado.h"

namespace ado {

// Opens rs over the cursor's rows: streamed one at a time, or read whole.
void AbrirRecordsetSobre(Recordset& rs, const std::shared_ptr<Connection>& c, std::unique_ptr<Cursor> cursor,
                         bool streaming);
// Closes rs whatever its state (a pending edit is dropped).
void CerrarRecordset(Recordset& rs);

} // namespace ado
