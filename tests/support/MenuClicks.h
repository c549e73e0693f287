#pragma once

#include <QString>

class QMainWindow;

// Chooses a menu command with the mouse, as a user does: a click on the title in the menu bar,
// then, for a title with a drop-down, a click on the item in the menu that opened.
void chooseFromMenu(QMainWindow& window, const QString& title, const QString& item = {});
