#include "platform/operador.h"

#include "platform/rutas.h"
#include "platform/vb.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <QFile>
#include <csignal>
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
    return TextoDeTerminal(texto);
}

// The terminal's settings while a password is typed without echo, for the
// signal handler to put back: a Ctrl-C there must not leave the terminal mute.
termios terminalPrevio{};
volatile std::sig_atomic_t terminalCambiado = 0;
constexpr int SenalesDeFin[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

extern "C" void RestauraTerminalYTermina(int senal)
{
    if (terminalCambiado)
        ::tcsetattr(STDIN_FILENO, TCSANOW, &terminalPrevio);
    std::signal(senal, SIG_DFL);
    std::raise(senal);
}

class OperadorConsola : public Operador {
public:
    explicit OperadorConsola(bool puedePreguntar)
        : out_(stdout), err_(stderr), in_(stdin), persona_(puedePreguntar && isatty(STDIN_FILENO) == 1),
          pantalla_(persona_ ? &SalidaDePreguntas() : &out_)
    {
    }

    int MsgBox(const QString& texto, int est, const QString& titulo) override
    {
        const int icono = est & 0x70;
        const bool error = icono == estilo::Critical || icono == estilo::Exclamation;
        muestra(texto, titulo, error, persona_);
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
        muestra(texto, titulo, false, persona_);
        if (!persona_)
            return {};
        const auto linea = pregunta(omision.isEmpty() ? QStringLiteral(">") : QStringLiteral("[%1] >").arg(TextoDeTerminal(omision)));
        if (!linea)
            return {};
        return linea->isEmpty() ? omision : *linea;
    }

    void DoEvents() override {}

    void Aviso(const QString& texto, int, const QString& titulo, int espera) override
    {
        // Wait for a person only when one is there and the notice does not close by itself.
        const bool esperaPersona = persona_ && espera <= 0;
        muestra(texto, titulo, false, esperaPersona);
        if (esperaPersona)
            pregunta(QStringLiteral("[Enter] Aceptar"));
    }

    bool ElegirCarpeta(const QString& titulo, QString& carpeta) override
    {
        muestra(QStringLiteral("Carpeta:"), titulo, false, persona_);
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
        muestra(QStringLiteral("Archivo (%1):").arg(filtro), titulo, false, persona_);
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
        const QString prompt = LineasDeTerminal(etiqueta)
            + (muestraActual.isEmpty() ? QString() : QStringLiteral(" [") + TextoDeTerminal(muestraActual) + u']') + u':';
        std::optional<QString> linea;
        if (oculto) {
            SinEco sinEco;
            linea = pregunta(prompt);
            *pantalla_ << "\n";
            pantalla_->flush();
        } else {
            linea = pregunta(prompt);
        }
        if (!linea)
            return std::nullopt;
        return linea->isEmpty() ? actual : *linea;
    }

private:
    // The terminal stops echoing while a password is typed, and echoes again
    // however the program leaves: normally, or ended by a signal meanwhile.
    struct SinEco {
        struct sigaction previas[std::size(SenalesDeFin)]{};
        SinEco()
        {
            if (::tcgetattr(STDIN_FILENO, &terminalPrevio) != 0)
                return;
            struct sigaction sa{};
            sa.sa_handler = RestauraTerminalYTermina;
            sigemptyset(&sa.sa_mask);
            for (std::size_t i = 0; i < std::size(SenalesDeFin); ++i)
                ::sigaction(SenalesDeFin[i], &sa, &previas[i]);
            termios t = terminalPrevio;
            t.c_lflag &= ~tcflag_t(ECHO);
            terminalCambiado = ::tcsetattr(STDIN_FILENO, TCSANOW, &t) == 0;
        }
        ~SinEco()
        {
            if (terminalCambiado)
                ::tcsetattr(STDIN_FILENO, TCSANOW, &terminalPrevio);
            terminalCambiado = 0;
            for (std::size_t i = 0; i < std::size(SenalesDeFin); ++i)
                ::sigaction(SenalesDeFin[i], &previas[i], nullptr);
        }
    };

    // pregunta: a question follows, so the person must see the text where
    // the answer is typed.
    void muestra(const QString& texto, const QString& titulo, bool error = false, bool pregunta = false)
    {
        QTextStream& s = error ? err_ : out_;
        escribe(s, texto, titulo);
        if (pregunta && pantalla_ != &s)
            escribe(*pantalla_, texto, titulo);
    }

    static void escribe(QTextStream& s, const QString& texto, const QString& titulo)
    {
        if (!titulo.isEmpty())
            s << "== " << TextoDeTerminal(vb::Acota(titulo.trimmed())) << " ==\n";
        s << LineasDeTerminal(vb::Acota(texto, LargoTextoCaja)) << "\n";
        for (const QString& linea : rutas::RutasReales(texto))
            s << TextoDeTerminal(linea) << "\n";
        s.flush();
    }

    std::optional<QString> pregunta(const QString& prompt)
    {
        *pantalla_ << prompt << " ";
        pantalla_->flush();
        QString linea;
        if (!in_.readLineInto(&linea))
            return std::nullopt;
        return linea;
    }

    QTextStream out_;
    QTextStream err_;
    QTextStream in_;
    bool persona_;
    QTextStream* pantalla_;
};

} // namespace

QTextStream& SalidaDePreguntas()
{
    // The person answers on the terminal and must see there what is asked,
    // even with the output sent to a file.
    static const std::unique_ptr<QTextStream> salida = []() -> std::unique_ptr<QTextStream> {
        if (isatty(STDOUT_FILENO) == 1)
            return std::make_unique<QTextStream>(stdout);
        if (isatty(STDERR_FILENO) == 1)
            return std::make_unique<QTextStream>(stderr);
        static QFile tty(QStringLiteral("/dev/tty"));
        if (tty.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return std::make_unique<QTextStream>(&tty);
        return std::make_unique<QTextStream>(stderr);
    }();
    return *salida;
}

QString TextoDeTerminal(QStringView texto)
{
    QString r;
    r.reserve(texto.size());
    for (const QChar c : texto) {
        const char16_t u = c.unicode();
        if (u == u'\n' || u == u'\t' || (u >= 0x20 && u < 0x7f) || u > 0x9f)
            r += c;
        else if (u == 0x7f)
            r += QStringLiteral("^?");
        else if (u < 0x20)
            r += u'^' + QChar(char16_t(u + 0x40));
        else // a C1 control, ESC and a letter in seven bits
            r += QStringLiteral("^[") + QChar(char16_t(u - 0x40));
    }
    return r;
}

std::unique_ptr<Operador> crearOperadorConsola(bool puedePreguntar) { return std::make_unique<OperadorConsola>(puedePreguntar); }
