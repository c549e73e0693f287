// cartlist-crash-driver: works the program's windows at random on the database in FOLDER and
// notes in SIDEFILE what the file holds after each action the windows showed as done.
//   cartlist-crash-driver FOLDER SIDEFILE SEED [ACTIONS]
// Runs until killed, or for ACTIONS actions. Exits with 3 when the windows do not show an
// action done or the file does not hold what they show.
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
        // Each action runs from the event loop, as a user's would; an exception must not cross it.
        std::function<void()> next = [&] {
            try {
                if (shopper.acknowledged() < 0)
                    shopper.start();
                else if (limit < 0 || shopper.acknowledged() < limit)
                    shopper.step();
                else
                    return QApplication::exit(0);
                QTimer::singleShot(0, next);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "after %d acknowledged actions: %s\n", shopper.acknowledged(), e.what());
                QApplication::exit(3);
            }
        };
        QTimer::singleShot(0, next);
        status = QApplication::exec();
    }
    WindowWiring::shutDown();
    return status;
}
