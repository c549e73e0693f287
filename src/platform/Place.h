#pragma once

#include "Twips.h"

#include <QLatin1String>
#include <QWidget>

// Creates a control of a window at its designed place, named as the appearance rules and
// the tests know it.
class Place {
public:
    template <typename T, typename... Args>
    static T* control(QWidget* parent, const char* name, int left, int top, int width, int height, Args&&... args)
    {
        auto* control = new T(std::forward<Args>(args)..., parent);
        control->setObjectName(QLatin1String(name));
        control->setGeometry(Twips::rect(left, top, width, height));
        return control;
    }
};
