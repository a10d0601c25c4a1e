#pragma once
// The values of a form's controls without their widgets: the handlers read and
// change them, a window's widgets follow them and pass on what is typed, and a
// console run drives them with no graphical platform at all.
#include <QObject>
#include <QString>

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
