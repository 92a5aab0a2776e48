// The tool window and the magnifier stay above every other window. A modal
// window of ours opened under them could have its buttons covered while the
// rest of the program waits for it, so it stays above too.
#pragma once

#include <QWidget>

inline void KeepModalAbove(QWidget& dialog)
{
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
}
