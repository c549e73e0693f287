#include "DataSession.h"

#include "AppFolder.h"
#include "DataEnvironment.h"
#include "SetConnections.h"
#include "Today.h"

#include <QDate>

DataSession::DataSession()
{
    DataEnvironment::resetInstance();
    clearConnectionTargets();
    Today::setForTests(QDate(2026, 12, 5));
}

DataSession::~DataSession()
{
    DataEnvironment::resetInstance();
    Today::reset();
    AppFolder::reset();
}
