#pragma once

#include <QImage>

enum class ButtonState { Normal, Hover, Pressed, Disabled };

QImage closeButton(ButtonState state);       // 14 x 14
QImage minimiseButton(ButtonState state);    // 14 x 14
QImage backButton(ButtonState state);        // 32 x 32
QImage installButton(ButtonState state);     // 120 x 38
QImage pathChooserButton(ButtonState state); // 45 x 30
QImage checkBoxIndicator(bool checked);      // 16 x 16
