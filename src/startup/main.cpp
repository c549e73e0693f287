#include "Module1.h"
#include "WindowWiring.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Cartlist"));
    QApplication::setApplicationVersion(QStringLiteral(CARTLIST_VERSION));
    WindowWiring::install();
    if (!Module1::Main())
        return 1;
    return QApplication::exec();
}
