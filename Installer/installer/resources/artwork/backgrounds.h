#pragma once

#include <QImage>

// Window backgrounds. Each is a dark rounded panel on a transparent canvas with
// a soft shadow, laid out around where the windows place their controls.
QImage startBackground();      // main window, start page
QImage progressBackground();   // main window, progress and finished pages
QImage messageBoxBackground(); // message box
QImage agreementsBackground(); // agreements dialog
