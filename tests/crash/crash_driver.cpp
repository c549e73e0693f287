// cartlist-crash-driver: works the program's windows at random on the database in FOLDER and
// writes to SIDEFILE what the file must hold after each action the windows showed as done.
//   cartlist-crash-driver FOLDER SIDEFILE SEED [ACTIONS]
// Runs until killed, or for ACTIONS actions. Exits with 3 when a window does not show what
// an action should have done.
#include "AppFolder.h"
#include "CommonDialog.h"
#include "DesignFont.h"
#include "MessageBox.h"
#include "Shopper.h"
#include "Today.h"
#include "WindowWiring.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <functional>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 3 || args.size() > 4) {
        std::fputs("usage: cartlist-crash-driver FOLDER SIDEFILE SEED [ACTIONS]\n", stderr);
        return 2;
    }
    // As the program starts, but on the folder given and with the user's answers scripted.
    QApplication::setStyle(QStringLiteral("Fusion"));
    DesignFont::installSubstitutes();
    AppFolder::setPath(args.at(0));
    MessageBox::startScripting();
    CommonDialog::startScripting();
    Today::setForTests(QDate(2026, 12, 5));
    WindowWiring::install();

    const int limit = args.size() == 4 ? args.at(3).toInt() : -1;
    int status = 0;
    {
        Shopper shopper(args.at(2).toUInt(), args.at(1));
        const auto stop = [&](const std::exception& e) {
            std::fprintf(stderr, "after %d acknowledged actions: %s\n", shopper.acknowledged(), e.what());
            QApplication::exit(3);
        };
        std::function<void()> next = [&] {
            try {
                if (limit >= 0 && shopper.acknowledged() >= limit) {
                    QApplication::exit(0);
                    return;
                }
                shopper.step();
                QTimer::singleShot(0, next);
            } catch (const std::exception& e) {
                stop(e);
            }
        };
        try {
            shopper.start();
            QTimer::singleShot(0, next);
        } catch (const std::exception& e) {
            stop(e);
        }
        status = QApplication::exec();
    }
    WindowWiring::shutDown();
    return status;
}
