#include "WindowWiring.h"

#include "SetConnections.h"
#include "frmCartstock.h"

void WindowWiring::install()
{
    registerConnectionTarget(1, [] { return frmCartstock::load().connectionTarget(); });
}
