#pragma once
// A connection string: "key=value;" pairs, keys compared ignoring case and
// trimmed of blanks ("Database =x" names Database), values trimmed; a value
// may be quoted with "..." or {...} to hold a ";".
#include <QString>
#include <utility>
#include <vector>

namespace ado {

class CadenaConexion {
public:
    // Error &H80040E73 when a piece is not key=value or a quote is not closed.
    static CadenaConexion Leer(const QString& texto);

    QString valor(const QString& clave) const; // "" when absent
    bool tiene(const QString& clave) const;
    // The first key present of several spellings ("Data Source", "DSN").
    QString valor(std::initializer_list<const char*> claves) const;
    const std::vector<std::pair<QString, QString>>& pares() const { return pares_; }

private:
    std::vector<std::pair<QString, QString>> pares_;
};

// A path as stored by the suite (backslashes, drive letters, shares) as a
// local path.
QString RutaLocal(const QString& ruta);

} // namespace ado
