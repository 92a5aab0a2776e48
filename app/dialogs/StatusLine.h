// The main window's message line, for windows that report there without
// knowing the main window (progress and refusals, never errors that need a box).
#pragma once

#include <QString>

class IStatusLine {
public:
    virtual ~IStatusLine() = default;
    virtual void SetStatusMessage(const QString& text) = 0;
};
