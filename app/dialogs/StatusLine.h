// The main window's message line, for windows that report there without
// knowing the main window (progress and refusals, never errors that need a box).
#pragma once

#include "app/MultiLanguageTranslator.h"

#include <QString>

class IStatusLine {
public:
    virtual ~IStatusLine() = default;
    virtual void SetStatusMessage(const QString& text) = 0;
    virtual QString GetMessageText() const = 0;
    // String nID (when above 0) followed by suffix.
    void SetStatusString(UINT nID, const QString& suffix = QString())
    {
        SetStatusMessage((nID > 0 ? GetProgramString(nID) : QString()) + suffix);
    }
};
