#pragma once

// Included ahead of every test's own code (see tests/CMakeLists.txt), so that QTEST_MAIN and
// its kin run each test function alone.
#include <QTest>

// QTest ends the whole run at an exception that escapes a test function, so every function
// after it would go unrun and its failures unseen: each function gets a run of its own, and an
// exception fails that function alone. Functions named on the command line run each alone too;
// options other than Qt's own mean one run, as asked.
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
