#include "Module1.h"
#include "WindowWiring.h"

#include <QApplication>

int main(int argc, char** argv)
{
    WindowWiring::beforeApplication();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Cartlist"));
    QApplication::setApplicationVersion(QStringLiteral(CARTLIST_VERSION));
    WindowWiring::setUpApplication();
    WindowWiring::install();
    const int status = Module1::Main() ? QApplication::exec() : 1;
    WindowWiring::shutDown();
    return status;
}
