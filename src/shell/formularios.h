#pragma once
// Two small forms of the suite's shell module. FrmMsg takes the skin when it
// loads; FrmMvVentas keeps the handlers of a serial sales device that does
// nothing here. Nothing in the program opens either.
#include <QDialog>

class FrmMsg : public QDialog {
    Q_OBJECT
public:
    explicit FrmMsg(QWidget* parent = nullptr);
    void Form_Load();
};

class FrmMvVentas : public QDialog {
    Q_OBJECT
public:
    explicit FrmMvVentas(QWidget* parent = nullptr);
    QObject* MSComm1; // the serial port the device would speak through

    void AgregoRegargo() {}
    void MSComm1_OnComm() {}
    void AnulacionCompleta() {}
    void ObtieneBorrador() {}
};
