#pragma once

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

// An invariant that must hold for every input; a violation aborts so that libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                                \
    do                                                                                                       \
    {                                                                                                        \
        if (!(condition))                                                                                    \
        {                                                                                                    \
            std::fprintf(stderr, "%s:%d: invariant violated: %s\n", __FILE__, __LINE__, #condition);         \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

// The parsers log their decisions; millions of runs would only drown the fuzzer's own output.
inline void silenceQtMessages()
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
}
