#pragma once
// The nodes of the tree lookup dialog, kept in the order they were added
// (the order the dialog walks when searching and accepting). Node 0 is the root.
#include <QAbstractItemModel>
#include <QHash>
#include <QString>
#include <functional>
#include <vector>

class ModeloArbol : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit ModeloArbol(QObject* parent = nullptr);

    struct Nodo {
        QString clave;
        QString texto;
        int padre = -1;
        int fila = 0; // position among the parent's children
        std::vector<int> hijos;
        bool marcado = false;
    };

    // Empties the tree and adds the root; the view learns of the nodes added
    // until Termina all at once.
    void Reinicia(const QString& clave, const QString& texto);
    void Termina();
    // Adds a node under padre; -1 when the key is already there.
    int Agrega(int padre, const QString& clave, const QString& texto);
    int Busca(const QString& clave) const; // -1 when absent; keys ignore case
    const Nodo& NodoEn(int n) const { return nodos_[size_t(n)]; }
    int Nodos() const { return int(nodos_.size()); }
    // Copies the node's tick to its descendants down to `niveles` levels below it.
    void Marca(int n, bool marcado, int niveles);

    QModelIndex IndiceDe(int n) const;
    int NodoDe(const QModelIndex& i) const { return i.isValid() ? int(i.internalId()) : -1; }

    bool checkBoxes = false;
    // Called when the operator ticks or unticks a node.
    std::function<void(int)> alMarcar;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    std::vector<Nodo> nodos_;
    QHash<QString, int> porClave_;
    bool armando_ = false; // key in upper case -> node
};
