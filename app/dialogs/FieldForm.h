// A small parameter form described as data: each control with its template
// number, object name, kind, caption and place, the number fields' limits,
// and what OK writes to the log. One table a form; CFieldFormDlg builds it.
#pragma once

#include "platform/WinTypes.h"

#include <span>

enum class FIELD_KIND {
    Label,        // a caption or a note
    Edit,         // a field the user types into
    ReadOnlyEdit, // a field that only shows a value
    Spin,         // up and down arrows for a number field (see NUMBER_FIELD)
    Check,
    Radio,        // the radios of one grid exclude each other
    Button,       // a push button that is not the dialog's default
    Swatch,       // a flat button showing its caption in a colour
};

struct FIELD {
    int nID;           // template number; 0 for a caption nobody reads back
    const char* pName; // object name
    FIELD_KIND kind;
    const char* pText; // caption (UTF-8), translated when the dialog is shown; null for none
    int nRow;
    int nCol;
    int nColSpan = 1;
    int nGroup = -1;   // index into FIELD_FORM::groups; -1 the form's own grid
    int nMaxWidth = 0; // 0: as wide as the layout makes it
};

// A titled frame holding some of the fields in a grid of its own.
struct FIELD_GROUP {
    const char* pName;
    const char* pTitle;
};

// A whole-number field with its arrows. Typed text outside [nLower, nUpper]
// becomes the nearer end; an emptied field either stays empty while the user
// types (and reads as 0 on OK) or becomes the nearer end like any number.
struct NUMBER_FIELD {
    int nEditID;
    int nSpinID;
    int nLower;
    int nUpper;
    bool bEmptyStays;
};

struct FIELD_FORM {
    const char* pName;  // the dialog's object name
    UINT nCaptionID;    // the title's string number
    const char* pOkText;
    const char* pOkLog; // written when OK is clicked; null for nothing
    std::span<const FIELD> fields;
    std::span<const FIELD_GROUP> groups;
    std::span<const NUMBER_FIELD> numbers;
};
