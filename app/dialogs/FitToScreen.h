// A dialog made for a large screen, shown on a small one (a laptop, or a
// desktop at display scale 2): it is kept whole inside the screen.
#pragma once

#include <QMargins>

class QWidget;

// The window manager's frame around a top-level window: as it is once the
// window is framed, else a typical title bar and border (in screen pixels,
// which window managers do not scale with the program's display scale).
QMargins FrameMarginsOf(const QWidget* pWindow);

// When the dialog would be larger than its screen's available area, the
// pages of its tab widgets scroll and the dialog takes what the screen has.
void FitSizeToScreen(QWidget* pDialog);
// Moves a shown dialog to lie inside the available area, frame included.
void MoveIntoScreen(QWidget* pDialog);
