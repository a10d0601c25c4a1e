#pragma once
// The open-file dialog, through the operator interface.
#include <QString>

class DialogoArchivo {
public:
    QString DialogTitle;
    QString Filter;   // the platform's form: "Description |*.MDB|..."
    QString FileName; // the starting choice, and the chosen file afterwards
    bool Cancelado = false;

    // Shows the dialog; a cancelled choice sets Cancelado and keeps FileName.
    void ShowOpen();
};
