#include "SystemBeep.h"

#include <QApplication>

namespace {
int beeps = 0;
}

void SystemBeep::beep()
{
    ++beeps;
    QApplication::beep();
}

int SystemBeep::count() { return beeps; }

void SystemBeep::resetCount() { beeps = 0; }
