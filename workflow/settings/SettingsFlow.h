// What the camera adjustment and the settings flows of the main window share.
#pragma once

class CPixmetraDlg;

// Removes the cross lines from the overlay and forgets their stored positions
// (kept in the settings file), as a new picture size or new counts need.
void ResetCrossLines(CPixmetraDlg& dlg);
