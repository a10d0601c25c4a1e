#pragma once
// The one error value of the system (number, description, source), and the
// helper that gives a routine the three error modes of the suite:
//   (a) skip the failing step and go on;
//   (b) ask the operator: 4 repeats the step, 5 goes on, anything else leaves;
//   (c) end the program on any error but number 5.
// A routine reads as its numbered steps: each step is one call of paso().
#include <QString>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>

struct VbError : std::exception {
    std::int32_t Number = 0;
    QString Description;
    QString Source;

    VbError() = default;
    VbError(std::int32_t number, QString description, QString source = {});
    const char* what() const noexcept override;

private:
    std::string what_;
};

[[noreturn]] void Raise(std::int32_t number, const QString& description = {}, const QString& source = {});

// Well-known runtime error numbers the system raises or tests.
namespace vberr {
constexpr std::int32_t InvalidCall = 5;
constexpr std::int32_t Overflow = 6;
constexpr std::int32_t OutOfMemory = 7;
constexpr std::int32_t SubscriptOutOfRange = 9;
constexpr std::int32_t TypeMismatch = 13;
constexpr std::int32_t Internal = 51;
constexpr std::int32_t BadFileName = 52;
constexpr std::int32_t FileNotFound = 53;
constexpr std::int32_t BadFileMode = 54;
constexpr std::int32_t FileAlreadyOpen = 55;
constexpr std::int32_t DiskFull = 61;
constexpr std::int32_t InputPastEnd = 62;
constexpr std::int32_t PermissionDenied = 70;
constexpr std::int32_t PathFileAccess = 75;
constexpr std::int32_t PathNotFound = 76;
constexpr std::int32_t InvalidUseOfNull = 94;
} // namespace vberr

// What a routine does after a step failed.
enum class Accion { Reintentar, Siguiente, Salir };

class Rutina {
public:
    using Manejador = std::function<Accion(const VbError&)>;

    explicit Rutina(Manejador manejador);

    // (a) every failing step is passed over.
    static Rutina Omitir();
    // (b) the dialog's answer decides: 4 retry, 5 next, anything else leave.
    static Rutina Preguntar(std::function<int(const VbError&)> dialogo);
    // Maps a reply code of the message box to the action of mode (b).
    static Accion SegunRespuesta(int respuesta);

    // Runs one step. False when it failed (and was not repeated to success)
    // or when the routine has already left; nothing runs once it has left.
    template <class F>
    bool paso(F&& f)
    {
        while (!salio_) {
            Accion a;
            try {
                f();
                return true;
            } catch (const VbError& e) {
                a = falla(e);
            } catch (const std::bad_alloc&) {
                a = falla(VbError(vberr::OutOfMemory, QStringLiteral("Out of memory")));
            } catch (const std::exception& e) {
                a = falla(VbError(vberr::Internal, QString::fromLocal8Bit(e.what())));
            }
            if (a == Accion::Reintentar)
                continue;
            if (a == Accion::Salir)
                salio_ = true;
            return false;
        }
        return false;
    }

    bool salio() const { return salio_; }
    bool fallo() const { return fallo_; }
    const VbError& ultimoError() const { return ultimo_; }
    void salir() { salio_ = true; }

private:
    Accion falla(const VbError& e);

    Manejador manejador_;
    VbError ultimo_;
    bool salio_ = false;
    bool fallo_ = false;
};
