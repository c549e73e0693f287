#include "ApplicationHelp.h"

namespace {
QString& stored()
{
    static QString path;
    return path;
}
} // namespace

QString ApplicationHelp::helpFile() { return stored(); }

void ApplicationHelp::setHelpFile(const QString& path) { stored() = path; }
