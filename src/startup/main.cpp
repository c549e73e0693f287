#include "ApplicationSetup.h"
#include "Startup.h"
#include "WindowWiring.h"

#include <QApplication>

int main(int argc, char** argv)
{
    ApplicationSetup::beforeApplication();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Cartlist"));
    QApplication::setApplicationVersion(QStringLiteral(CARTLIST_VERSION));
    ApplicationSetup::setUp();
    WindowWiring::install();
    const int status = Startup::Main() ? QApplication::exec() : 1;
    ApplicationSetup::shutDown();
    return status;
}
