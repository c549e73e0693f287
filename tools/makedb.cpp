// cartlist-makedb: makes a new Cartlist database with the sample catalogue.
//   cartlist-makedb FILE               make FILE; refuses if it exists
//   cartlist-makedb --if-missing FILE  make FILE unless it exists (what the build runs)
//   cartlist-makedb --empty FILE       tables and settings only, no catalogue
#include "DatabaseMaker.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <stdexcept>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool ifMissing = args.removeAll(QStringLiteral("--if-missing")) > 0;
    const bool empty = args.removeAll(QStringLiteral("--empty")) > 0;
    if (args.size() != 1 || args.first().startsWith(u'-')) {
        std::fputs("usage: cartlist-makedb [--if-missing] [--empty] FILE\n", stderr);
        return 2;
    }
    const QString path = args.first();
    if (ifMissing && QFileInfo::exists(path))
        return 0;
    try {
        DatabaseMaker::create(path, empty ? DatabaseMaker::Content::Empty : DatabaseMaker::Content::Sample);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::printf("Made %s\n", qPrintable(path));
    return 0;
}
