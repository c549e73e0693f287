#pragma once

#include <QApplication>
#include <QWidget>

#include <functional>

// Acts on a window the code under test is about to show, once it is up, from the event loop
// it runs, as a user who looks at it first does. The wait ends with `owner`, or after ten
// seconds; the test then fails on what the window should have done.
void whenFound(const std::function<QWidget*()>& find, const std::function<void(QWidget&)>& act, QObject* owner);

// The next modal T: a message box, a font, colour, file or print dialog.
template <typename T> void whenModal(std::function<void(T&)> act, QObject* owner = qApp)
{
    whenFound([] { return qobject_cast<T*>(QApplication::activeModalWidget()); },
              [act](QWidget& shown) { act(static_cast<T&>(shown)); }, owner);
}
