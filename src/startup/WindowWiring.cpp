#include "WindowWiring.h"

#include "Module1.h"
#include "SetConnections.h"
#include "frmAdding.h"
#include "frmCartstock.h"

void WindowWiring::install()
{
    registerConnectionTarget(1, [] { return frmCartstock::load().connectionTarget(); });
    registerConnectionTarget(2, [] { return frmAdding::load().connectionTarget(); });
    frmCartstock::setOpenEditor([] { frmAdding::load().show(); });
    frmAdding::setReturnToMainWindow([] { frmCartstock::load().show(); }, [] { Module1::ListNewItems(); });
}
