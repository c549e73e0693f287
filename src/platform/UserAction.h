#pragma once

#include <functional>

class QWidget;

// Runs one user action. A failure it does not handle itself reaches the user as a message
// box with the failure's own words, and the window goes on.
class UserAction {
public:
    static void run(const std::function<void()>& action, QWidget* parent = nullptr);

    // A slot running a window's handler as one user action.
    template <typename Window> static auto slot(Window* window, void (Window::*handler)())
    {
        return [window, handler] { run([&] { (window->*handler)(); }, window); };
    }
};
