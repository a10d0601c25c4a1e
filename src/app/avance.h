#pragma once
// The rows written so far while a long export runs, at most ten times a
// second: in the start-up's banner when there are windows; as one line that
// rewrites itself on standard error when that is a terminal; nowhere else,
// so that the logs of scheduled runs stay clean. It shows from the first
// report of the export on; an export shorter than one shows nothing.
#include <chrono>
#include <cstdint>

class AvanceExportacion {
public:
    AvanceExportacion();
    ~AvanceExportacion();
    AvanceExportacion(const AvanceExportacion&) = delete;
    AvanceExportacion& operator=(const AvanceExportacion&) = delete;

    void operator()(std::int64_t lineas);
    // The export ended with this many lines: the banner closes, the line ends.
    void Termina(std::int64_t lineas);

private:
    void Muestra(std::int64_t lineas, std::chrono::steady_clock::time_point ahora);
    const std::chrono::steady_clock::time_point inicio_;
    std::chrono::steady_clock::time_point mostrado_;
    std::int64_t lineas_ = 0;
    int largo_ = 0; // of the terminal line last written
    bool ventanas_, terminal_, visible_ = false;
};
