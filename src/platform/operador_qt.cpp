#include "platform/operador.h"

#include "platform/vb.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

namespace {

QMessageBox::Icon icono(int est)
{
    switch (est & 0x70) {
    case estilo::Critical: return QMessageBox::Critical;
    case estilo::Question: return QMessageBox::Question;
    case estilo::Exclamation: return QMessageBox::Warning;
    case estilo::Information: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

// The platform's filter "Text |*.MDB|Other|*.x" as Qt's "Text (*.MDB);;Other (*.x)".
QString filtroQt(const QString& filtro)
{
    const QStringList partes = filtro.split(u'|');
    QStringList r;
    for (int i = 0; i + 1 < partes.size(); i += 2)
        r << QStringLiteral("%1 (%2)").arg(partes[i].trimmed(), QString(partes[i + 1]).replace(u';', u' '));
    return r.join(QStringLiteral(";;"));
}

class OperadorQt : public Operador {
public:
    int MsgBox(const QString& texto, int est, const QString& titulo) override
    {
        QMessageBox box(icono(est), vb::Acota(titulo), vb::Acota(texto, LargoTextoCaja));
        struct B {
            int codigo;
            const char16_t* texto;
            QMessageBox::ButtonRole rol;
        };
        std::vector<B> bs;
        switch (est & 7) {
        case estilo::OKCancel: bs = {{1, u"Aceptar", QMessageBox::AcceptRole}, {2, u"Cancelar", QMessageBox::RejectRole}}; break;
        case estilo::AbortRetryIgnore:
            bs = {{3, u"Anular", QMessageBox::RejectRole}, {4, u"Reintentar", QMessageBox::AcceptRole}, {5, u"Omitir", QMessageBox::ActionRole}};
            break;
        case estilo::YesNoCancel:
            bs = {{6, u"Sí", QMessageBox::YesRole}, {7, u"No", QMessageBox::NoRole}, {2, u"Cancelar", QMessageBox::RejectRole}};
            break;
        case estilo::YesNo: bs = {{6, u"Sí", QMessageBox::YesRole}, {7, u"No", QMessageBox::NoRole}}; break;
        case estilo::RetryCancel: bs = {{4, u"Reintentar", QMessageBox::AcceptRole}, {2, u"Cancelar", QMessageBox::RejectRole}}; break;
        default: bs = {{1, u"Aceptar", QMessageBox::AcceptRole}}; break;
        }
        std::vector<std::pair<QAbstractButton*, int>> mapa;
        for (const auto& b : bs)
            mapa.emplace_back(box.addButton(QString::fromUtf16(b.texto), b.rol), b.codigo);
        box.exec();
        for (const auto& [boton, codigo] : mapa)
            if (box.clickedButton() == boton)
                return codigo;
        return RespuestaPorOmision(est);
    }

    QString InputBox(const QString& texto, const QString& titulo, const QString& omision) override
    {
        bool ok = false;
        const QString r = QInputDialog::getText(nullptr, titulo, texto, QLineEdit::Normal, omision, &ok);
        return ok ? r : QString();
    }

    void DoEvents() override { QCoreApplication::processEvents(QEventLoop::AllEvents, 50); }

    void Aviso(const QString& texto, int est, const QString& titulo, int espera) override
    {
        QMessageBox box(icono(est), vb::Acota(titulo), vb::Acota(texto, LargoTextoCaja), QMessageBox::Ok);
        if (espera > 0)
            QTimer::singleShot(espera * 1000, &box, &QMessageBox::accept);
        box.exec();
    }

    bool ElegirCarpeta(const QString& titulo, QString& carpeta) override
    {
        const QString r = QFileDialog::getExistingDirectory(nullptr, titulo, carpeta);
        if (r.isEmpty())
            return false;
        carpeta = r;
        return true;
    }

    bool ElegirArchivo(const QString& titulo, const QString& filtro, QString& archivo) override
    {
        const QString r = QFileDialog::getOpenFileName(nullptr, titulo, archivo, filtroQt(filtro));
        if (r.isEmpty())
            return false;
        archivo = r;
        return true;
    }

    bool TieneVentanas() const override { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }
};

} // namespace

std::unique_ptr<Operador> crearOperadorQt() { return std::make_unique<OperadorQt>(); }
