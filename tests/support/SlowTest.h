#pragma once

#include <QtGlobal>
#include <QtTest>

// A case at the real line rate takes minutes. CTest runs such cases (named ...AtTheRealLineSpeed...) as a
// test of their own labelled slow, and sets CORVANE_SKIP_SLOW_TESTS for the test's own run, which skips
// them here; run by hand, the program runs every case.
#define CORVANE_SLOW_TEST()                                                                                  \
    do                                                                                                       \
    {                                                                                                        \
        if (qEnvironmentVariableIsSet("CORVANE_SKIP_SLOW_TESTS"))                                            \
            QSKIP("at the real line rate: runs in the test labelled slow");                                  \
    } while (false)
