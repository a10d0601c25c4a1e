#pragma once
// The tree of a T-SQL batch as the suite and its users write it. The parser
// fills the structure; the typing pass fills Expr::tipo; the generator writes
// SQLite's SQL from it. Literals and quoted names keep their source text, so
// what the generator writes of them is byte-identical.
#include "platform/tsql/tipos.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace tsql {

struct Expr;
struct Select;
struct Sentencia;
using PExpr = std::unique_ptr<Expr>;
using PSelect = std::unique_ptr<Select>;
using PSentencia = std::unique_ptr<Sentencia>;

// A name of one or more parts (server.db.owner.object, table.column). Each
// part without its brackets or quotes; citada tells whether it had them.
struct Nombre {
    QStringList partes;
    std::vector<bool> citada;
    bool vacio() const { return partes.isEmpty(); }
    const QString& ultimo() const { return partes.back(); }
};

enum class ClaseExpr {
    Literal,     // texto: as written: 'a''b', N'x', 12, 12.50, 1e3, 0x1F, $12.50, NULL
    Columna,     // nombre: [table.]column
    Variable,    // texto: @x
    Global,      // texto: @@IDENTITY, upper case
    Unario,      // texto: "-", "+", "~", "NOT"; hijos[0]
    Binario,     // texto: + - * / % & | ^ = <> != < > <= >= !< !> AND OR; hijos[0], hijos[1]
    Funcion,     // texto: name upper case; hijos: arguments; estrella: COUNT(*); distinto; ventana
    Caso,        // CASE: operando (may be null), then pairs in hijos (when, then, when, then...), sino
    Conversion,  // CAST(x AS t), CONVERT(t, x[, style]), TRY_CAST, TRY_CONVERT: texto = function name upper;
                 // destino; hijos[0] = value, hijos[1] = style (CONVERT only, may be absent)
    Subconsulta, // (SELECT ...): sub
    Existe,      // [NOT] EXISTS (SELECT ...): sub, negado
    En,          // hijos[0] [NOT] IN (hijos[1..]) or IN (sub)
    Cuantificada, // hijos[0] op ANY|ALL (sub): texto "op ANY" or "op ALL" (SOME is ANY)
    Entre,       // hijos[0] [NOT] BETWEEN hijos[1] AND hijos[2]
    Como,        // hijos[0] [NOT] LIKE hijos[1] [ESCAPE hijos[2]]
    EsNulo,      // hijos[0] IS [NOT] NULL
    Intercalar,  // hijos[0] COLLATE texto
    Estrella,    // * or nombre.*
    Parentesis,  // (hijos[0])
    ParteFecha,  // the first argument of DATEADD/DATEDIFF/DATEPART/DATENAME: texto as written
    Defecto,     // DEFAULT in VALUES or SET
};

struct Orden {
    PExpr expr;
    bool desc = false;
};

// OVER (PARTITION BY ... ORDER BY ...)
struct Ventana {
    std::vector<PExpr> particion;
    std::vector<Orden> orden;
};

struct Expr {
    ClaseExpr clase;
    QString texto;
    Nombre nombre;
    std::vector<PExpr> hijos;
    PSelect sub;
    PExpr operando, sino; // CASE
    TipoEscrito destino;  // CAST / CONVERT
    std::unique_ptr<Ventana> ventana;
    bool negado = false;
    bool distinto = false; // COUNT(DISTINCT x)
    bool estrella = false; // COUNT(*)
    std::vector<Orden> enGrupo; // STRING_AGG(...) WITHIN GROUP (ORDER BY ...)
    qsizetype pos = 0;     // offset in the batch's text
    Tipo tipo;             // filled by the typing pass

    explicit Expr(ClaseExpr c) : clase(c) {}
    // A chain of thousands of operands (a + b + c...) is a tree as deep:
    // it is taken down without recursing on its depth.
    ~Expr();
    Expr(Expr&&) = default;
    Expr& operator=(Expr&&) = default;
};

struct ItemSelect {
    PExpr expr;
    QString alias;      // without brackets or quotes; empty when none
    bool aliasCitado = false;
    QString variable;   // SELECT @x = expr: "@x"
};

enum class ClaseFuente { Tabla, Subconsulta, Valores, Funcion };

struct Fuente {
    ClaseFuente clase = ClaseFuente::Tabla;
    Nombre nombre;                            // Tabla, Funcion
    QString alias;
    QStringList columnas;                     // AS alias (c1, c2)
    PSelect sub;                              // Subconsulta
    std::vector<std::vector<PExpr>> valores;  // (VALUES (...), (...)) AS v(c...)
    std::vector<PExpr> argumentos;            // Funcion
};

enum class ClaseUnion { Inner, Left, Right, Full, Cross, CrossApply, OuterApply };

struct Union {
    ClaseUnion clase = ClaseUnion::Inner;
    Fuente fuente;
    PExpr on;
};

// One item of FROM: a source and the joins that follow it.
struct Desde {
    Fuente fuente;
    std::vector<Union> uniones;
};

struct Cte {
    QString nombre;
    QStringList columnas;
    PSelect select;
};

struct Select {
    std::vector<Cte> con;              // WITH
    bool distinto = false;
    PExpr top;                         // TOP n / TOP (n)
    bool porcentaje = false, empates = false;
    std::vector<ItemSelect> lista;
    Nombre into;                       // SELECT ... INTO t
    std::vector<Desde> desde;
    PExpr donde;
    std::vector<PExpr> grupo;
    PExpr teniendo;
    struct Combinada {
        QString operador;              // UNION, UNION ALL, EXCEPT, INTERSECT
        PSelect select;
    };
    std::vector<Combinada> combinadas; // each SELECT of the chain, without ORDER BY
    std::vector<Orden> orden;          // of the whole chain
    PExpr offset, fetch;
    // FOR XML PATH: the element of each row ("" for PATH(''));
    // a null string when the query has no FOR XML.
    QString xml;
    bool xmlTipo = false;              // FOR XML ..., TYPE
    qsizetype pos = 0;
};

struct DefColumna {
    QString nombre;
    bool citado = false;
    TipoEscrito tipo;
    QString intercalacion;
    bool nulo = true, nuloEscrito = false;  // NULL / NOT NULL as written
    bool identidad = false;
    qint64 semilla = 1, incremento = 1;
    PExpr defecto;
    bool clavePrimaria = false, unica = false;
    PExpr chequeo;
    Nombre referencia;                      // REFERENCES t (c)
    QStringList columnasReferencia;
    QString alBorrar, alActualizar;         // ON DELETE / ON UPDATE: CASCADE, NO ACTION, SET NULL, SET DEFAULT
};

struct Restriccion {                        // table constraint
    QString nombre;
    QString clase;                          // PRIMARY KEY, UNIQUE, FOREIGN KEY, CHECK, DEFAULT
    QStringList columnas;
    Nombre referencia;
    QStringList columnasReferencia;
    QString alBorrar, alActualizar;         // as in DefColumna
    PExpr expr;                             // CHECK (...) or DEFAULT x FOR c
};

struct Asignacion {                         // SET col = expr, SET col += expr, SET @x = expr
    Nombre columna;                         // or the variable in partes[0]
    QString operador;                       // "=", "+=", "-=", "*=", "/=", ...
    PExpr expr;
};

struct Declaracion {
    QString variable;
    TipoEscrito tipo;
    PExpr valor;
};

enum class ClaseSentencia {
    Select, Insert, Update, Delete,
    CrearTabla, CrearVista, CrearIndice, Eliminar, AlterarTabla, Truncar,
    Transaccion,  // texto: BEGIN, COMMIT, ROLLBACK, SAVE
    Opcion,       // SET option value: texto = option upper case, valor = the rest as written;
                  // SET A, B ON: texto "A,B"
    Declarar, Asignar,
    Si, Bloque,
    Ejecutar,     // EXEC: texto = the statement as written
    Retorno,      // RETURN [donde: a value]
    CrearDisparador, // CREATE / ALTER / CREATE OR ALTER TRIGGER (texto) indice ON objeto AFTER eventos AS
                     // cuerpo; valor = the body as written, to the end of the batch; accion = what the
                     // embedded database does not take of it (INSTEAD OF, WITH ENCRYPTION...), or empty
    Otra,         // a statement the parser recognises but does not take apart
                  // (CREATE PROCEDURE, CREATE FUNCTION): texto = its kind (PROCEDURE, FUNCTION),
                  // valor = as written, to the end of the batch
};

struct Sentencia {
    ClaseSentencia clase;
    qsizetype pos = 0, largo = 0;   // span in the batch's text
    QString texto, valor;

    PSelect select;                 // Select; Insert ... SELECT; CrearVista
    Nombre objeto;                  // target table, view; the table of CREATE INDEX
    Nombre indice;                  // CREATE INDEX i; CREATE TRIGGER t
    QStringList eventos;            // CREATE TRIGGER: INSERT, UPDATE, DELETE (upper case)
    QString alias;                  // UPDATE a / DELETE a ... FROM T a
    PExpr top;                      // UPDATE / DELETE TOP (n)
    bool porcentaje = false;
    QStringList columnas;           // INSERT (c...), CREATE VIEW v (c...), CREATE INDEX (c...)
    std::vector<bool> columnasDesc; // CREATE INDEX
    std::vector<std::vector<PExpr>> valores; // INSERT VALUES rows
    bool valoresPorDefecto = false; // DEFAULT VALUES
    std::vector<Asignacion> asignaciones;    // UPDATE SET; Asignar
    std::vector<Desde> desde;       // UPDATE / DELETE FROM
    PExpr donde;                    // UPDATE / DELETE WHERE; Si: the condition
    std::vector<Cte> con;           // WITH before INSERT / UPDATE / DELETE

    std::vector<DefColumna> definiciones;    // CREATE TABLE; ALTER TABLE ADD
    std::vector<Restriccion> restricciones;
    QString accion;                 // ALTER TABLE: ADD, DROP COLUMN, ALTER COLUMN, DROP CONSTRAINT;
                                    // CREATE TRIGGER: what is refused of it
    QStringList eliminadas;         // ALTER TABLE DROP COLUMN/CONSTRAINT names
    bool unico = false;             // CREATE UNIQUE INDEX
    QString claseObjeto;            // DROP TABLE / VIEW / INDEX / PROCEDURE ...: upper case
    bool siExiste = false;          // DROP ... IF EXISTS
    std::vector<Nombre> objetos;    // DROP TABLE a, b

    std::vector<Declaracion> declaraciones;
    std::vector<PSentencia> cuerpo; // Bloque; Si: cuerpo[0] then, cuerpo[1] else (may be absent);
                                    // Insert ... EXEC: cuerpo[0] the Ejecutar; CrearDisparador: its body
};

struct Lote {
    std::vector<PSentencia> sentencias;
};

} // namespace tsql
