#pragma once

// Included ahead of every test's own code (see tests/CMakeLists.txt). QTest ends the whole run
// at an exception that escapes a test function, so the functions after it would go unrun and
// their failures unseen: QTEST_MAIN and its kin run each function in a run of its own, where an
// exception fails that function alone.
#include <QTest>

// Each function alone, those named on the command line or all; with other options, one run.
int runEachTestAlone(QObject& test, int argc, char** argv);

#undef QTEST_MAIN_WRAPPER
#define QTEST_MAIN_WRAPPER(TestObject, ...)                                                                            \
    int main(int argc, char* argv[])                                                                                   \
    {                                                                                                                  \
        QT_PREPEND_NAMESPACE(QTest::Internal::callInitMain)<TestObject>();                                             \
        __VA_ARGS__                                                                                                    \
        TestObject tc;                                                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return runEachTestAlone(tc, argc, argv);                                                                       \
    }
