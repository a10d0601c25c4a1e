#include "lookup/modelo_arbol.h"

ModeloArbol::ModeloArbol(QObject* parent) : QAbstractItemModel(parent) {}

void ModeloArbol::Reinicia(const QString& clave, const QString& texto)
{
    beginResetModel();
    nodos_.clear();
    porClave_.clear();
    nodos_.push_back(Nodo{clave, texto, -1, 0, {}, false});
    porClave_.insert(clave.toUpper(), 0);
    armando_ = true;
}

void ModeloArbol::Termina()
{
    if (armando_) {
        armando_ = false;
        endResetModel();
    }
}

int ModeloArbol::Agrega(int padre, const QString& clave, const QString& texto)
{
    const QString k = clave.toUpper();
    if (porClave_.contains(k) || padre < 0 || padre >= Nodos())
        return -1;
    const int n = Nodos();
    const int fila = int(nodos_[size_t(padre)].hijos.size());
    if (!armando_)
        beginInsertRows(IndiceDe(padre), fila, fila);
    nodos_.push_back(Nodo{clave, texto, padre, fila, {}, false});
    nodos_[size_t(padre)].hijos.push_back(n);
    porClave_.insert(k, n);
    if (!armando_)
        endInsertRows();
    return n;
}

int ModeloArbol::Busca(const QString& clave) const { return porClave_.value(clave.toUpper(), -1); }

void ModeloArbol::Marca(int n, bool marcado, int niveles)
{
    nodos_[size_t(n)].marcado = marcado;
    const QModelIndex i = IndiceDe(n);
    emit dataChanged(i, i, {Qt::CheckStateRole});
    if (niveles > 0)
        for (int h : nodos_[size_t(n)].hijos)
            Marca(h, marcado, niveles - 1);
}

QModelIndex ModeloArbol::IndiceDe(int n) const
{
    if (n < 0 || n >= Nodos())
        return {};
    return createIndex(nodos_[size_t(n)].fila, 0, quintptr(n));
}

QModelIndex ModeloArbol::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0)
        return {};
    if (!parent.isValid())
        return row == 0 && !nodos_.empty() ? createIndex(0, 0, quintptr(0)) : QModelIndex();
    const Nodo& p = nodos_[size_t(parent.internalId())];
    if (row < 0 || row >= int(p.hijos.size()))
        return {};
    return createIndex(row, 0, quintptr(p.hijos[size_t(row)]));
}

QModelIndex ModeloArbol::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return {};
    return IndiceDe(nodos_[size_t(child.internalId())].padre);
}

int ModeloArbol::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return nodos_.empty() ? 0 : 1;
    return int(nodos_[size_t(parent.internalId())].hijos.size());
}

int ModeloArbol::columnCount(const QModelIndex&) const { return 1; }

QVariant ModeloArbol::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const Nodo& n = nodos_[size_t(index.internalId())];
    if (role == Qt::DisplayRole)
        return n.texto;
    if (role == Qt::CheckStateRole && checkBoxes)
        return n.marcado ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool ModeloArbol::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || !checkBoxes || !index.isValid())
        return false;
    const int n = int(index.internalId());
    nodos_[size_t(n)].marcado = value.toInt() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    if (alMarcar)
        alMarcar(n);
    return true;
}

Qt::ItemFlags ModeloArbol::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (checkBoxes && index.isValid())
        f |= Qt::ItemIsUserCheckable;
    return f;
}
