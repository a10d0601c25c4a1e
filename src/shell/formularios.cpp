#include "shell/formularios.h"

#include "shell/mod_global.h"

FrmMsg::FrmMsg(QWidget* parent) : QDialog(parent) { setObjectName(QStringLiteral("FrmMsg")); }

void FrmMsg::Form_Load() { CargaSkin(this); }

FrmMvVentas::FrmMvVentas(QWidget* parent) : QDialog(parent), MSComm1(new QObject(this))
{
    setObjectName(QStringLiteral("FrmMvVentas"));
    MSComm1->setObjectName(QStringLiteral("MSComm1"));
}
