// Puts every caption of a window's descendants through the program's
// translator: the built-in texts of a form become those of the chosen language.
#pragma once

class QWidget;

// Translates labels, buttons, group boxes, tab titles, combo and list items,
// table and tree headers and tree items below pRoot. Does nothing while no
// translation is active (no translator, or no file and language set).
void TranslateChildWindows(QWidget* pRoot);
