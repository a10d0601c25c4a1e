#pragma once
// The program's window: the folder of the price checker's file, and the
// button that writes it.
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

class FrmPrincipal : public QWidget {
    Q_OBJECT
public:
    explicit FrmPrincipal(QWidget* parent = nullptr);
    ~FrmPrincipal() override;

    QLabel* Label1;
    QLineEdit* txtRuta;
    QPushButton* Command2;
    QPushButton* Command1;

    // Start-up, stored folder, and the unattended run (which ends the program).
    void Form_Load();
    // The export; false when it failed (the previous file is left as it was).
    bool Command1_Click();
    void Command2_Click();
    void txtRuta_LostFocus();

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void GuardaRuta(); // the pending txtRuta_LostFocus
    void Pulsado();    // Command1 pressed
    bool guardadoPendiente_ = false, guardando_ = false;
    bool exportacionPendiente_ = false, exportando_ = false;
};
