#pragma once
// What the access dialog's tests share: the program folder with an embedded
// server, BASES.TXT read and written as bytes.
#include "access/bases.h"
#include "access/frm_acceso.h"
#include "access/ventana_acceso.h"
#include "comun/ayudas.h"
#include "comun/base_prueba.h"
#include "comun/programas.h"
#include "platform/archivos.h"
#include "suitelib/funciones_generales.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <functional>

namespace prueba {

class AccesoPrueba : public BasePrueba {
protected:
    void SetUp() override
    {
        BasePrueba::SetUp();
        CreaBase(QStringLiteral("EMPRESA"), QStringLiteral("CREATE TABLE T (a INT);"));
    }
    void TearDown() override
    {
        InstalaDialogoParametros(nullptr);
        BasePrueba::TearDown();
    }

    QString rutaBases() const { return dir.path() + QStringLiteral("/BASES.TXT"); }
    QByteArray bases() const
    {
        QFile f(rutaBases());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void escribeBases(const QByteArray& contenido) const
    {
        QFile f(rutaBases());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(contenido);
    }
    // The fields of BASES.TXT as the list reads them.
    QStringList campos() const
    {
        QStringList r;
        archivos::LectorTexto f(rutaBases());
        while (!f.FinArchivo())
            r << f.LeeCampo();
        return r;
    }
    static QByteArray codificada(const QString& clave) { return FuncionesGenerales().CodificaClave(clave).toLatin1(); }
    // A record as the file keeps it.
    static QByteArray linea(const char* clave, const char* base, const char* servidor)
    {
        return QByteArray(clave) + ',' + base + ',' + base + ',' + codificada(QString::fromLatin1(base)) + ',' + servidor + "\r\n";
    }
};


// Acts on the window that is modal at the moment, as an operator would:
// each call of the queue handles one showing of the dialog.
class Operario : public QObject {
public:
    std::deque<std::function<void(VentanaAcceso&)>> pasos;
    int vistos = 0;
    Operario()
    {
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* f = qobject_cast<VentanaAcceso*>(QApplication::activeModalWidget());
            if (!f || f == ultimo_)
                return;
            ultimo_ = f;
            ++vistos;
            // A showing the test did not expect is refused, so that it never hangs.
            if (pasos.empty()) {
                f->reject();
                return;
            }
            auto paso = std::move(pasos.front());
            pasos.pop_front();
            paso(*f);
        });
        timer_.start(5);
    }

private:
    QTimer timer_;
    QPointer<VentanaAcceso> ultimo_;
};

// Typed into the window's boxes, or set on the form's values.
template <class Formulario>
void Escribe(Formulario& f, const QString& usuario, const QString& clave, const QString& base, const QString& servidor)
{
    f.TxtUserId->setText(usuario);
    f.TxtUserPassword->setText(clave);
    f.TxtDbName->setText(base);
    f.TxtServidor->setText(servidor);
}

} // namespace prueba
