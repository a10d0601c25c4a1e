#pragma once
// The program's form: the folder of the price checker's file, and the button
// that writes it. The handlers work on the form's values alone, so a console
// run drives them without any window; VentanaPrincipal shows them.
#include "platform/controles.h"

#include <QString>
#include <memory>

class FrmPrincipal {
public:
    FrmPrincipal();
    ~FrmPrincipal();
    FrmPrincipal(const FrmPrincipal&) = delete;
    FrmPrincipal& operator=(const FrmPrincipal&) = delete;

    const std::unique_ptr<CajaTexto> txtRuta;

    // Start-up, stored folder, and the unattended run (which ends the program).
    void Form_Load();
    // The export; false when it failed (the previous file is left as it was).
    bool Command1_Click();
    void Command2_Click();
    void txtRuta_LostFocus();
};
