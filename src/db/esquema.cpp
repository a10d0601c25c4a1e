#include "db/db_privado.h"

#include "platform/vb.h"

namespace {

// Walks a schema rowset; true as soon as the column holds the name.
bool Contiene(ado::Recordset& rs, const QString& columna, const QString& nombre)
{
    const QString buscado = vb::Trim(nombre);
    for (; !rs.EOF_(); rs.MoveNext()) {
        const Variant v = rs.Fields(columna).Value();
        if (!v.isNull() && vb::Iguales(vb::Trim(v.toString()), buscado))
            return true;
    }
    return false;
}

} // namespace

bool DB_Dll::ExisteTablaDB(const QString& Tabla)
{
    Rutina r = Rutina::Preguntar([&](const VbError& e) { return TratamientoErrores(e, std::nullopt, QStringLiteral("VerificaCampos")); });
    std::shared_ptr<ado::Recordset> rs;
    bool existe = false;
    r.paso([&] { rs = gCnn->OpenSchema(ado::adSchemaTables); });
    r.paso([&] { existe = rs && Contiene(*rs, QStringLiteral("TABLE_NAME"), Tabla); });
    return existe && !r.salio();
}

bool DB_Dll::ExisteCampoDB(const QString& Tabla, const QString& Campo)
{
    Rutina r = Rutina::Preguntar([&](const VbError& e) { return TratamientoErrores(e, std::nullopt, QStringLiteral("VerificaCampos")); });
    bool existe = false;
    if (vb::Contiene(DB().gProveedor, u"ORACLE")) {
        // Oracle keeps its names in upper case in its own dictionary.
        ado::Recordset rs;
        QString tabla = vb::Trim(Tabla).toUpper(), campo = vb::Trim(Campo).toUpper();
        tabla.replace(u'\'', QStringLiteral("''"));
        campo.replace(u'\'', QStringLiteral("''"));
        r.paso([&] {
            rs.Open(QStringLiteral("SELECT COLUMN_NAME FROM ALL_TAB_COLUMNS WHERE TABLE_NAME = '") + tabla
                        + QStringLiteral("' AND COLUMN_NAME = '") + campo + u'\'',
                    gCnn, ado::adOpenForwardOnly, ado::adLockReadOnly);
        });
        r.paso([&] { existe = !rs.EOF_(); });
        return existe && !r.salio();
    }
    std::shared_ptr<ado::Recordset> rs;
    r.paso([&] { rs = gCnn->OpenSchema(ado::adSchemaColumns, {Variant(gDBName), Variant(), Variant(Tabla)}); });
    r.paso([&] { existe = rs && Contiene(*rs, QStringLiteral("COLUMN_NAME"), Campo); });
    return existe && !r.salio();
}

bool DB_Dll::VerCampoDB(const QString& Tabla, const QString& Campo, bool Agregar, const QString& Tipo, bool PermiteNulos,
                        const Variant& ValorDefault)
{
    if (!ExisteTablaDB(Tabla) || ExisteCampoDB(Tabla, Campo) || !Agregar)
        return true;
    AddField(Tabla, Campo, Tipo, PermiteNulos, ValorDefault);
    // A column the server refused is not reported as there.
    return ExisteCampoDB(Tabla, Campo);
}

QString db_interno::SentenciaAddField(const QString& Tabla, const QString& Campo, const QString& Tipo, bool PermiteNulos,
                                      const Variant& ValorDefault)
{
    QString sql = QStringLiteral("ALTER TABLE dbo.") + Tabla + QStringLiteral(" ADD ") + Campo + u' ' + Tipo
        + (PermiteNulos ? QStringLiteral(" Null ") : QStringLiteral(" Not Null "));
    if (!ValorDefault.isEmpty())
        sql += QStringLiteral(" CONSTRAINT DF_") + vb::Trim(Tabla) + u'_' + vb::Trim(Campo) + QStringLiteral(" DEFAULT (")
            + ValorDefault.toString() + u')';
    return sql;
}

void DB_Dll::AddField(const QString& Tabla, const QString& Campo, const QString& Tipo, bool PermiteNulos,
                      const Variant& ValorDefault)
{
    Rutina r = Rutina::Preguntar([&](const VbError& e) { return TratamientoErrores(e, std::nullopt, QStringLiteral("errAddField")); });
    QString sql;
    r.paso([&] { sql = db_interno::SentenciaAddField(Tabla, Campo, Tipo, PermiteNulos, ValorDefault); });
    // The statement runner, without the swallowing of EjecutaConsultaSQL: a
    // refused column must reach this routine's treatment.
    r.paso([&] {
        std::int32_t afectados = 0;
        Ejecuta(sql, afectados, nullptr);
    });
}
