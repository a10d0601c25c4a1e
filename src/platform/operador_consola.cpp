#include "platform/operador.h"

#include "platform/rutas.h"
#include "platform/vb.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace {

struct Boton {
    int codigo;
    const char16_t* nombre;
};

std::vector<Boton> botones(int est)
{
    switch (est & 7) {
    case estilo::OKCancel: return {{1, u"Aceptar"}, {2, u"Cancelar"}};
    case estilo::AbortRetryIgnore: return {{3, u"Anular"}, {4, u"Reintentar"}, {5, u"Omitir"}};
    case estilo::YesNoCancel: return {{6, u"Sí"}, {7, u"No"}, {2, u"Cancelar"}};
    case estilo::YesNo: return {{6, u"Sí"}, {7, u"No"}};
    case estilo::RetryCancel: return {{4, u"Reintentar"}, {2, u"Cancelar"}};
    default: return {{1, u"Aceptar"}};
    }
}

// A message may break its lines with a CR alone, which a terminal would take
// as a return to the start of the same line, drawing over it.
QString LineasDeTerminal(QString texto)
{
    texto.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    texto.replace(u'\r', u'\n');
    return texto;
}

class OperadorConsola : public Operador {
public:
    explicit OperadorConsola(bool puedePreguntar)
        : out_(stdout), err_(stderr), in_(stdin), persona_(puedePreguntar && isatty(STDIN_FILENO) == 1)
    {
    }

    int MsgBox(const QString& texto, int est, const QString& titulo) override
    {
        const int icono = est & 0x70;
        const bool error = icono == estilo::Critical || icono == estilo::Exclamation;
        muestra(texto, titulo, error);
        const auto bs = botones(est);
        if (bs.size() == 1) {
            if (persona_)
                pregunta(QStringLiteral("[Enter] Aceptar"));
            return respuesta::OK;
        }
        QString opciones;
        for (const auto& b : bs)
            opciones += QStringLiteral("[%1] %2  ").arg(b.codigo).arg(QString::fromUtf16(b.nombre));
        if (!persona_) {
            QTextStream& s = error ? err_ : out_;
            s << opciones << "-> " << RespuestaPorOmision(est) << " (sin operador)\n";
            s.flush();
            return RespuestaPorOmision(est);
        }
        for (;;) {
            const auto linea = pregunta(opciones);
            if (!linea)
                return RespuestaPorOmision(est);
            const QString t = linea->trimmed();
            for (const auto& b : bs)
                if (t == QString::number(b.codigo) || t.compare(QString::fromUtf16(b.nombre), Qt::CaseInsensitive) == 0
                    || (!t.isEmpty() && QString::fromUtf16(b.nombre).startsWith(t, Qt::CaseInsensitive) && t.size() >= 2))
                    return b.codigo;
        }
    }

    QString InputBox(const QString& texto, const QString& titulo, const QString& omision) override
    {
        muestra(texto, titulo);
        if (!persona_)
            return {};
        const auto linea = pregunta(omision.isEmpty() ? QStringLiteral(">") : QStringLiteral("[%1] >").arg(omision));
        if (!linea)
            return {};
        return linea->isEmpty() ? omision : *linea;
    }

    void DoEvents() override {}

    void Aviso(const QString& texto, int, const QString& titulo, int espera) override
    {
        muestra(texto, titulo);
        // Wait for a person only when one is there and the notice does not close by itself.
        if (persona_ && espera <= 0)
            pregunta(QStringLiteral("[Enter] Aceptar"));
    }

    bool ElegirCarpeta(const QString& titulo, QString& carpeta) override
    {
        muestra(QStringLiteral("Carpeta:"), titulo);
        if (!persona_)
            return false;
        const auto linea = pregunta(QStringLiteral(">"));
        if (!linea || linea->trimmed().isEmpty())
            return false;
        carpeta = linea->trimmed();
        return true;
    }

    bool ElegirArchivo(const QString& titulo, const QString& filtro, QString& archivo) override
    {
        muestra(QStringLiteral("Archivo (%1):").arg(filtro), titulo);
        if (!persona_)
            return false;
        const auto linea = pregunta(QStringLiteral(">"));
        if (!linea || linea->trimmed().isEmpty())
            return false;
        archivo = linea->trimmed();
        return true;
    }

    std::optional<QString> PideValor(const QString& etiqueta, const QString& actual, bool oculto) override
    {
        if (!persona_)
            return std::nullopt;
        const QString muestraActual = oculto ? (actual.isEmpty() ? QString() : QStringLiteral("****")) : actual;
        const QString prompt = etiqueta + (muestraActual.isEmpty() ? QString() : QStringLiteral(" [") + muestraActual + u']') + u':';
        std::optional<QString> linea;
        if (oculto) {
            SinEco sinEco;
            linea = pregunta(prompt);
            out_ << "\n";
            out_.flush();
        } else {
            linea = pregunta(prompt);
        }
        if (!linea)
            return std::nullopt;
        return linea->isEmpty() ? actual : *linea;
    }

private:
    // The terminal stops echoing while a password is typed.
    struct SinEco {
        termios previo{};
        bool cambiado = false;
        SinEco()
        {
            if (::tcgetattr(STDIN_FILENO, &previo) != 0)
                return;
            termios t = previo;
            t.c_lflag &= ~tcflag_t(ECHO);
            cambiado = ::tcsetattr(STDIN_FILENO, TCSANOW, &t) == 0;
        }
        ~SinEco()
        {
            if (cambiado)
                ::tcsetattr(STDIN_FILENO, TCSANOW, &previo);
        }
    };

    void muestra(const QString& texto, const QString& titulo, bool error = false)
    {
        QTextStream& s = error ? err_ : out_;
        if (!titulo.isEmpty())
            s << "== " << vb::Acota(titulo.trimmed()) << " ==\n";
        s << LineasDeTerminal(vb::Acota(texto, LargoTextoCaja)) << "\n";
        for (const QString& linea : rutas::RutasReales(texto))
            s << linea << "\n";
        s.flush();
    }

    std::optional<QString> pregunta(const QString& prompt)
    {
        out_ << prompt << " ";
        out_.flush();
        QString linea;
        if (!in_.readLineInto(&linea))
            return std::nullopt;
        return linea;
    }

    QTextStream out_;
    QTextStream err_;
    QTextStream in_;
    bool persona_;
};

} // namespace

std::unique_ptr<Operador> crearOperadorConsola(bool puedePreguntar) { return std::make_unique<OperadorConsola>(puedePreguntar); }
