#pragma once
// The rows of the list lookup dialog. Each column keeps its texts end to end
// in one buffer, so a hundred thousand rows cost little more than their
// characters; the view asks only for the rows it shows. Ticks, quantities the
// operator changed and stock levels are kept per row of the result; sorting
// only reorders an index.
#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

class ModeloLista : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ModeloLista(QObject* parent = nullptr);

    // New columns, no rows. Rows are added, then shown with one Publica, so
    // the view learns of a hundred thousand rows at once and keeps its column
    // widths.
    void Comienza(const QStringList& encabezados);
    void AgregaFila(const QString* valores, bool marcada, int nivel);
    void Publica();

    int Filas() const { return int(orden_.size()); }
    int Columnas() const { return int(columnas_.size()); }
    QString Encabezado(int columna) const { return columnas_[size_t(columna)].encabezado; }
    void FijaEncabezado(int columna, const QString& texto);

    // Rows as the view shows them (after sorting); columns from 0.
    QString Valor(int fila, int columna) const;
    void FijaValor(int fila, int columna, const QString& valor);
    bool Marcada(int fila) const;
    void Marca(int fila, bool marcada);
    void MarcaTodas(bool marcada);
    int Nivel(int fila) const; // stock level 1..4, 0 none

    // First row whose value in the column, trimmed and cut to the length of
    // the trimmed text, equals the text ignoring case; -1 when none.
    int Busqueda(int columna, const QString& texto) const;

    bool checkBoxes = false;
    bool muestraStock = false;
    std::array<QColor, 5> colores; // by level; invalid: not coloured
    QFont fuente;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    struct Columna {
        QString encabezado;
        QString datos;              // the values end to end
        std::vector<std::int32_t> fin; // end of each row's value in datos
        QStringView valor(int fila) const
        {
            const std::int32_t desde = fila == 0 ? 0 : fin[size_t(fila - 1)];
            return QStringView(datos).mid(desde, fin[size_t(fila)] - desde);
        }
    };
    QStringView vista(int dato, int columna, QString& tmp) const;

    std::vector<Columna> columnas_;
    int publicadas_ = 0;
    std::vector<std::int32_t> orden_; // view row -> row of the result
    std::vector<char> marcadas_;
    std::vector<std::uint8_t> niveles_;
    QHash<std::int64_t, QString> cambiados_; // (row << 16 | column) -> value set by the operator
};
