#include "AppFolder.h"

#include <QCoreApplication>

namespace {
QString& overridden()
{
    static QString folder;
    return folder;
}
} // namespace

QString AppFolder::path()
{
    if (!overridden().isEmpty())
        return overridden();
    return QCoreApplication::applicationDirPath();
}

void AppFolder::setPath(const QString& folder) { overridden() = folder; }

void AppFolder::reset() { overridden().clear(); }
