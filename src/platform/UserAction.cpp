#include "UserAction.h"

#include "MessageBox.h"

#include <exception>

void UserAction::run(const std::function<void()>& action, QWidget* parent)
{
    try {
        action();
    } catch (const std::exception& e) {
        MessageBox::show(QString::fromStdString(e.what()), MessageBox::Buttons::Ok, parent);
    }
}
