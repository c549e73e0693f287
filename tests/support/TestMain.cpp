#include "TestMain.h"

#include <QMetaMethod>
#include <QStandardPaths>

#include <exception>

namespace {
int guardedRun(QObject& test, QList<char*> args)
{
    try {
        return QTest::qExec(&test, int(args.size()), args.data());
    } catch (const std::exception& e) {
        qWarning("%s: an exception ended the run: %s", args.value(1, args.at(0)), e.what());
    } catch (...) {
        qWarning("%s: an exception ended the run", args.value(1, args.at(0)));
    }
    return 1;
}
} // namespace

int runEachTestAlone(QObject& test, int argc, char** argv)
{
    // What the program keeps in the user's folders (the cache of files found sound) goes to
    // Qt's test folders, so a test run neither reads nor leaves the user's own.
    QStandardPaths::setTestModeEnabled(true);
    QList<QByteArray> functions(argv + 1, argv + argc);
    for (const QByteArray& arg : functions) {
        if (arg.startsWith('-'))
            return guardedRun(test, QList<char*>(argv, argv + argc));
    }
    // QTest's own rule: a test function is a private slot without parameters.
    const QMetaObject* meta = test.metaObject();
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod m = meta->method(i);
        const QByteArray name = m.name();
        if (argc == 1 && m.methodType() == QMetaMethod::Slot && m.access() == QMetaMethod::Private &&
            m.parameterCount() == 0 && !name.endsWith("_data") && name != "initTestCase" && name != "cleanupTestCase" &&
            name != "init" && name != "cleanup")
            functions << name;
    }
    int failures = 0;
    for (QByteArray& name : functions)
        failures += guardedRun(test, {argv[0], name.data()});
    return std::min(failures, 127);
}
