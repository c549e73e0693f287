#include "DesignFont.h"
#include "Module1.h"
#include "WindowWiring.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Cartlist"));
    QApplication::setApplicationVersion(QStringLiteral(CARTLIST_VERSION));
    // One style on every desktop: it draws the colours chosen for buttons and lists.
    QApplication::setStyle(QStringLiteral("Fusion"));
    DesignFont::installSubstitutes();
    WindowWiring::install();
    const int status = Module1::Main() ? QApplication::exec() : 1;
    WindowWiring::shutDown();
    return status;
}
