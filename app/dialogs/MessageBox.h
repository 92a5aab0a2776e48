// Message boxes go through one replaceable provider, so a flow that asks or
// tells the user something can be driven to its end without a person.
#pragma once

#include "platform/WinTypes.h"

#include <QString>

class QWidget;

#ifndef _WIN32
// Buttons, icons and modality of a box, and the answers, by the values the
// rest of the program already uses for them.
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONWARNING = 0x30;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr UINT MB_TASKMODAL = 0x2000;
constexpr UINT MB_TOPMOST = 0x40000;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
#endif

class IMessageBoxProvider {
public:
    virtual ~IMessageBoxProvider() = default;
    // Shows text under caption with the buttons and icon of nType; returns
    // the button chosen (IDOK, IDCANCEL, IDYES, IDNO).
    virtual int ShowMessageBox(QWidget* pParent, const QString& text, const QString& caption, UINT nType) = 0;
};

// Null puts the real boxes back. The provider is used on the UI thread only.
void SetMessageBoxProvider(IMessageBoxProvider* pProvider);
IMessageBoxProvider* GetMessageBoxProvider();

// Through the current provider.
int ShowMessageBox(QWidget* pParent, const QString& text, const QString& caption, UINT nType);
