// The main window's status bar as its flows see it: parts by position
// (0 picture size, 1 frame rate, 2 and 3 frame counts, 4 to 6 calibration).
#pragma once

#include <QString>

// The calibration's parts.
enum : int {
    STATUS_PART_CALIBRATION_NAME = 4,
    STATUS_PART_CALIBRATION_VALUE = 5,
    STATUS_PART_CALIBRATION_UNIT = 6,
};

class IStatusParts {
public:
    virtual ~IStatusParts() = default;
    virtual void SetStatusPart(int nPart, const QString& text) = 0;
    virtual QString GetStatusPartText(int nPart) const = 0;
};
