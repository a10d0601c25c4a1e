#include "lookup/modelo_lista.h"

#include "platform/ado/sqlite_servidor.h"
#include "platform/vb.h"

#include <QFont>
#include <algorithm>

namespace {
std::int64_t clave(int dato, int columna) { return (std::int64_t(dato) << 16) | columna; }
} // namespace

ModeloLista::ModeloLista(QObject* parent) : QAbstractTableModel(parent) {}

void ModeloLista::Comienza(const QStringList& encabezados)
{
    beginResetModel();
    columnas_.clear();
    orden_.clear();
    marcadas_.clear();
    niveles_.clear();
    cambiados_.clear();
    publicadas_ = 0;
    columnas_.resize(size_t(encabezados.size()));
    for (qsizetype i = 0; i < encabezados.size(); ++i)
        columnas_[size_t(i)].encabezado = encabezados[i];
    endResetModel();
}

void ModeloLista::AgregaFila(const QString* valores, bool marcada, int nivel)
{
    for (size_t c = 0; c < columnas_.size(); ++c) {
        Columna& col = columnas_[c];
        col.datos += valores[c];
        col.fin.push_back(std::int32_t(col.datos.size()));
    }
    orden_.push_back(std::int32_t(orden_.size()));
    marcadas_.push_back(marcada ? 1 : 0);
    niveles_.push_back(std::uint8_t(nivel));
}

void ModeloLista::Publica()
{
    if (publicadas_ == Filas())
        return;
    for (Columna& c : columnas_) {
        c.datos.squeeze();
        c.fin.shrink_to_fit();
    }
    beginInsertRows({}, publicadas_, Filas() - 1);
    publicadas_ = Filas();
    endInsertRows();
}

void ModeloLista::FijaEncabezado(int columna, const QString& texto)
{
    columnas_[size_t(columna)].encabezado = texto;
    emit headerDataChanged(Qt::Horizontal, columna, columna);
}

QStringView ModeloLista::vista(int dato, int columna, QString& tmp) const
{
    if (!cambiados_.isEmpty()) {
        auto it = cambiados_.constFind(clave(dato, columna));
        if (it != cambiados_.cend()) {
            tmp = *it;
            return tmp;
        }
    }
    return columnas_[size_t(columna)].valor(dato);
}

QString ModeloLista::Valor(int fila, int columna) const
{
    if (fila < 0 || fila >= Filas() || columna < 0 || columna >= Columnas())
        return {};
    QString tmp;
    return vista(orden_[size_t(fila)], columna, tmp).toString();
}

void ModeloLista::FijaValor(int fila, int columna, const QString& valor)
{
    cambiados_.insert(clave(orden_[size_t(fila)], columna), valor);
    emit dataChanged(index(fila, columna), index(fila, columna));
}

bool ModeloLista::Marcada(int fila) const { return marcadas_[size_t(orden_[size_t(fila)])] != 0; }

void ModeloLista::Marca(int fila, bool marcada)
{
    marcadas_[size_t(orden_[size_t(fila)])] = marcada ? 1 : 0;
    emit dataChanged(index(fila, 0), index(fila, 0), {Qt::CheckStateRole});
}

void ModeloLista::MarcaTodas(bool marcada)
{
    std::fill(marcadas_.begin(), marcadas_.end(), marcada ? 1 : 0);
    if (Filas() > 0)
        emit dataChanged(index(0, 0), index(Filas() - 1, 0), {Qt::CheckStateRole});
}

int ModeloLista::Nivel(int fila) const { return niveles_[size_t(orden_[size_t(fila)])]; }

int ModeloLista::Busqueda(int columna, const QString& texto) const
{
    if (columna < 0 || columna >= Columnas())
        return -1;
    const qsizetype largo = vb::Trim(texto).size();
    QString tmp;
    for (int f = 0; f < Filas(); ++f) {
        QStringView v = vista(orden_[size_t(f)], columna, tmp);
        while (!v.isEmpty() && v.front() == u' ')
            v = v.mid(1);
        while (!v.isEmpty() && v.back() == u' ')
            v.chop(1);
        if (v.left(largo).compare(texto, Qt::CaseInsensitive) == 0)
            return f;
    }
    return -1;
}

int ModeloLista::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : publicadas_; }

int ModeloLista::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Columnas(); }

QVariant ModeloLista::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int fila = index.row();
    switch (role) {
    case Qt::DisplayRole:
        return Valor(fila, index.column());
    case Qt::CheckStateRole:
        if (checkBoxes && index.column() == 0)
            return Marcada(fila) ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::ForegroundRole:
        if (muestraStock && colores[size_t(Nivel(fila))].isValid())
            return colores[size_t(Nivel(fila))];
        return {};
    case Qt::FontRole:
        return fuente;
    default:
        return {};
    }
}

bool ModeloLista::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || !checkBoxes || index.column() != 0)
        return false;
    Marca(index.row(), value.toInt() == Qt::Checked);
    return true;
}

QVariant ModeloLista::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < Columnas())
        return columnas_[size_t(section)].encabezado;
    return {};
}

Qt::ItemFlags ModeloLista::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (checkBoxes && index.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

void ModeloLista::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= Columnas())
        return;
    emit layoutAboutToBeChanged();
    // The selected row stays selected where sorting takes it.
    const QModelIndexList antes = persistentIndexList();
    std::vector<std::int32_t> datos;
    for (const QModelIndex& i : antes)
        datos.push_back(orden_[size_t(i.row())]);
    // In the order of the server's collation (accented letters beside their
    // base letter), each value turned into its text once.
    std::vector<QByteArray> textos(orden_.size());
    QString tmp;
    for (size_t d = 0; d < textos.size(); ++d)
        textos[d] = vista(int(d), column, tmp).toUtf8();
    std::stable_sort(orden_.begin(), orden_.end(), [&](std::int32_t x, std::int32_t y) {
        const QByteArray &a = textos[size_t(x)], &b = textos[size_t(y)];
        const int c = ado::servidor::CompararCiAs(a.constData(), int(a.size()), b.constData(), int(b.size()));
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    if (!antes.isEmpty()) {
        std::vector<std::int32_t> filaDe(orden_.size());
        for (size_t f = 0; f < orden_.size(); ++f)
            filaDe[size_t(orden_[f])] = std::int32_t(f);
        QModelIndexList despues;
        for (qsizetype k = 0; k < antes.size(); ++k)
            despues << index(filaDe[size_t(datos[size_t(k)])], antes[k].column());
        changePersistentIndexList(antes, despues);
    }
    emit layoutChanged();
}
