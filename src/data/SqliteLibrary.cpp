#include "SqliteLibrary.h"

#include "DataError.h"

#include <QFile>
#include <QSqlDriver>
#include <QString>

#include <dlfcn.h>
#include <sqlite3.h>

namespace {
// The file of the library or program that holds this address.
QString libraryOf(const void* address)
{
    Dl_info info{};
    return dladdr(address, &info) && info.dli_fname ? QFile::decodeName(info.dli_fname) : QString();
}
} // namespace

void SqliteLibrary::requireSameAsDriver(const QSqlDriver& driver)
{
    // One answer for the run: the driver's plugin is loaded once.
    static const QString refusal = [&driver] {
        // The driver's plugin, found by its class's own data; the engine it calls is the first
        // that its own symbols and its libraries' give.
        const QString plugin = libraryOf(driver.metaObject());
        const auto ours = reinterpret_cast<const void*>(&sqlite3_libversion_number);
        const void* theirs = nullptr;
        if (void* handle = dlopen(QFile::encodeName(plugin).constData(), RTLD_LAZY | RTLD_NOLOAD)) {
            theirs = dlsym(handle, "sqlite3_libversion_number");
            dlclose(handle);
        }
        if (theirs == ours)
            return QString();
        return QStringLiteral("Qt's SQLite driver (%1) does not use the SQLite library Cartlist was built with (%2). "
                              "Cartlist cannot work safely with this Qt: install Qt's SQLite driver from the same "
                              "system as the SQLite library.")
            .arg(plugin.isEmpty() ? QStringLiteral("unknown") : plugin, libraryOf(ours));
    }();
    if (!refusal.isEmpty())
        throw DataError(refusal);
}
