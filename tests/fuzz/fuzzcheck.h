#pragma once

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

// Fuzz targets check their invariants with this rather than assert(), so a violated invariant
// stops the run in every build type (a release replay included) and libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                         \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

/** Drops Qt's warnings (a corrupted settings file makes QSettings print one per value), which would
 *  otherwise flood the fuzzer's output and slow it down. */
inline void quietQtMessages()
{
    static const bool installed = [] {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        return true;
    }();
    (void)installed;
}
