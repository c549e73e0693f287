#pragma once

// Each test file ends with CARTLIST_TEST_MAIN(Class) instead of QTEST_MAIN. QTest ends the whole
// run at an exception that escapes a test function, so the functions after it would go unrun and
// their failures unseen: here each function runs in a qExec of its own, where an exception fails
// that function alone.
#include <QTest>

#if defined(QT_WIDGETS_LIB)
#include <QApplication>
using TestApplication = QApplication;
#elif defined(QT_GUI_LIB)
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

// Each function alone, those named on the command line or all; with other options, one run.
int runEachTestAlone(QObject& test, int argc, char** argv);

#define CARTLIST_TEST_MAIN(TestObject)                                                                                 \
    int main(int argc, char* argv[])                                                                                   \
    {                                                                                                                  \
        TestApplication app(argc, argv);                                                                               \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                       \
        TestObject test;                                                                                               \
        return runEachTestAlone(test, argc, argv);                                                                     \
    }
