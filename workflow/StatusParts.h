// The main window's status bar as its flows see it: parts by position
// (0 picture size, 1 frame rate, 2 and 3 frame counts, 4 to 6 calibration).
#pragma once

#include <QString>

class IStatusParts {
public:
    virtual ~IStatusParts() = default;
    virtual void SetStatusPart(int nPart, const QString& text) = 0;
    virtual QString GetStatusPartText(int nPart) const = 0;
};
