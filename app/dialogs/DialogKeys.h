// Enter and Escape in the program's own windows: they neither press a
// default button nor close or cancel the window.
#pragma once

class QKeyEvent;

// Accepts pEvent and returns true when it is Enter, Return or Escape, so the
// caller's keyPressEvent ends there; false for any other key.
bool SwallowEnterEscape(QKeyEvent* pEvent);
