// The colour dialog behind a replaceable provider, so a flow that asks for a
// colour can be driven to its end without a person.
#pragma once

#include "platform/WinTypes.h"

class QWidget;

class IColorDialogProvider {
public:
    virtual ~IColorDialogProvider() = default;
    // Offers the full dialog with color preselected; TRUE and the chosen
    // colour in color, or FALSE with color unchanged when cancelled.
    virtual BOOL SelectColor(QWidget* pParent, COLORREF& color) = 0;
};

// Null puts the real dialog back. Used on the UI thread only.
void SetColorDialogProvider(IColorDialogProvider* pProvider);
IColorDialogProvider* GetColorDialogProvider();

// Through the current provider.
BOOL SelectColor(QWidget* pParent, COLORREF& color);
