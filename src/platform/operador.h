#pragma once
// Everything the system asks of the operator goes through this interface, so
// the windows, the console mode and the tests drive the same code.
// Message box styles and reply codes are the platform's.
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace estilo {
constexpr int OKOnly = 0, OKCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4, RetryCancel = 5;
constexpr int Critical = 16, Question = 32, Exclamation = 48, Information = 64;
} // namespace estilo
namespace respuesta {
constexpr int OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7;
}

class Operador {
public:
    virtual ~Operador() = default;
    virtual int MsgBox(const QString& texto, int estilo, const QString& titulo) = 0;
    // The typed text; empty when the operator cancels, as the platform's input box.
    virtual QString InputBox(const QString& texto, const QString& titulo, const QString& omision) = 0;
    // Let pending events run (repaints, button presses of an open window).
    virtual void DoEvents() = 0;
    // A notice that closes by itself after espera seconds (0: waits for the operator).
    virtual void Aviso(const QString& texto, int estilo, const QString& titulo, int espera) = 0;
    // Folder and file choices: false when the operator cancels.
    virtual bool ElegirCarpeta(const QString& titulo, QString& carpeta) = 0;
    virtual bool ElegirArchivo(const QString& titulo, const QString& filtro, QString& archivo) = 0;
    // True when real windows can be shown (a Qt application with a display).
    virtual bool TieneVentanas() const { return false; }
    // One box of a dialog asked on the terminal: the typed text, the current
    // value for an empty answer, nothing when nobody can answer or the input
    // ends. oculto: typed without echo, the current value never shown.
    virtual std::optional<QString> PideValor(const QString& etiqueta, const QString& actual, bool oculto) { return {}; }
};

// The reply a box gets when nobody can answer: the one that ends the question
// without doing more (Abort, Cancel, No; OK for a plain box).
int RespuestaPorOmision(int estilo);

Operador& operador();
// Installs the operator of the run; returns the previous one.
std::unique_ptr<Operador> instalaOperador(std::unique_ptr<Operador> o);

// Console: prompts on the terminal; with no terminal on standard input, or
// when told that nobody is to be asked (puedePreguntar false), it prints what
// it shows and takes RespuestaPorOmision, so unattended runs never hang.
// Error boxes (critical or warning icon) go to standard error.
// A person at the terminal (standard input a terminal) is asked on the
// terminal even when standard output goes to a file.
std::unique_ptr<Operador> crearOperadorConsola(bool puedePreguntar = true);
// Where the questions of a person at the terminal are written: standard
// output when it is the terminal, else standard error when that is, else the
// terminal itself.
class QTextStream;
QTextStream& SalidaDePreguntas();
// Text from files and the database as a terminal may show it: control
// characters but line feed and tab in caret notation ("^[" for ESC), so none
// can move the cursor, clear the screen or retitle the window.
QString TextoDeTerminal(QStringView texto);

// The longest text a box shows; longer ones are cut in the middle (vb::Acota).
constexpr int LargoTextoCaja = 2000;
// Qt widgets: message boxes, input boxes and file dialogs of Qt.
std::unique_ptr<Operador> crearOperadorQt();

// Tests: queued replies, and a record of everything shown.
class OperadorGuion : public Operador {
public:
    struct Mostrado {
        QString texto; // "Carpeta": the folder the browser starts at; "Archivo": the filter
        int estilo = 0;
        QString titulo;
        QString tipo; // "MsgBox", "InputBox", "Aviso", "Carpeta", "Archivo"
    };
    std::deque<int> respuestas;       // replies for MsgBox, in order
    std::deque<QString> entradas;     // replies for InputBox
    std::deque<std::optional<QString>> elecciones; // folder / file choices (nothing: cancelled)
    std::deque<std::optional<QString>> valores;    // PideValor answers (nothing: input ended)
    bool ventanas = false;                         // what TieneVentanas answers
    std::vector<Mostrado> mostrados;
    int eventos = 0;
    // Runs as each box is shown, before the reply: lets a test change the
    // world the way an operator fixing things before answering would.
    std::function<void(const Mostrado&)> alMostrar;

    int MsgBox(const QString& texto, int estilo, const QString& titulo) override;
    QString InputBox(const QString& texto, const QString& titulo, const QString& omision) override;
    void DoEvents() override { ++eventos; }
    void Aviso(const QString& texto, int estilo, const QString& titulo, int espera) override;
    bool ElegirCarpeta(const QString& titulo, QString& carpeta) override;
    bool ElegirArchivo(const QString& titulo, const QString& filtro, QString& archivo) override;
    bool TieneVentanas() const override { return ventanas; }
    std::optional<QString> PideValor(const QString& etiqueta, const QString& actual, bool oculto) override;

    int cuenta(const QString& tipo) const;
};
