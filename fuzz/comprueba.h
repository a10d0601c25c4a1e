#pragma once
// What must hold for any input: when it does not, the line and the condition
// go to the log before the abort that libFuzzer reports with the input.
#include <cstdio>
#include <cstdlib>

#define COMPRUEBA(condicion)                                                                                  \
    do {                                                                                                      \
        if (!(condicion)) {                                                                                   \
            std::fprintf(stderr, "%s:%d: does not hold: %s\n", __FILE__, __LINE__, #condicion);               \
            std::abort();                                                                                     \
        }                                                                                                     \
    } while (0)
