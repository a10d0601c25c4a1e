#pragma once
// The values of a form's controls without their widgets: the handlers read and
// change them, a window's widgets follow them and pass on what is typed, and a
// console run drives them with no graphical platform at all.
#include <QObject>
#include <QString>
#include <QStringList>

class CajaTexto : public QObject {
    Q_OBJECT
public:
    explicit CajaTexto(const QString& texto = {}) : texto_(texto) {}
    QString text() const { return texto_; }
    void setText(const QString& texto);
    void clear() { setText({}); }
signals:
    void textChanged(const QString& texto);

private:
    QString texto_;
};

// The lines of a list box or a drop-down list and the one chosen (-1: none).
// Adding lines chooses none, as a list box does; a form chooses the first line
// of its drop-down lists itself. Both sets of Qt names are kept, so that the
// handlers read as they would over the widgets.
class ListaTexto : public QObject {
    Q_OBJECT
public:
    int count() const { return int(lineas_.size()); }
    QString itemText(int i) const { return lineas_.value(i); }
    QStringList items() const { return lineas_; }
    void addItem(const QString& texto);
    void clear();
    int currentRow() const { return actual_; }
    void setCurrentRow(int fila);
    int currentIndex() const { return actual_; }
    void setCurrentIndex(int i) { setCurrentRow(i); }
signals:
    void itemsChanged();
    void currentChanged(int fila);

private:
    QStringList lineas_;
    int actual_ = -1;
};
