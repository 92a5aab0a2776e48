// A text annotation: the text and the face, size and colour it is drawn in.
#pragma once

#include "app/dialogs/FieldFormDlg.h"

#include <QString>

class CSetTextDlg : public CFieldFormDlg {
    Q_OBJECT
public:
    enum { IDD = 162 };
    static constexpr int IDC_EDIT_TEXT = 1009;
    static constexpr int IDC_EDIT_FONT_NAME = 1082;
    static constexpr int IDC_EDIT_FONT_SIZE = 1083;
    static constexpr int IDC_BTN_SEL_FONT = 1011;
    static constexpr int IDC_STATIC_TEXT_COLOR = 1103;

    // At most this many characters (code points: a character written as a
    // surrogate pair counts once) ...
    static constexpr int kMaxChars = 50;
    // ... and never more UTF-16 units than an annotation record holds.
    static constexpr int kMaxUnits = 99;

    explicit CSetTextDlg(QWidget* pParent = nullptr);

    BOOL OnInitDialog() override;
    void OnBnClickedBtnSelFont();
    void OnStnClickedTextColor();

    // Characters as the user sees them counted by code point.
    static int CountCharacters(const QString& text);

    // Set by the caller, read back after OK; kept as they were otherwise.
    QString m_Text;
    QString m_FontName;
    int m_nFontPt = 0;
    COLORREF m_Color = 0;

private:
    REFUSAL CheckFields() const override;
    void StoreFields() override;
    void ShowFont();
    void ShowColor();

    // Face, size and colour chosen while the dialog is open; they reach the
    // members above only with OK.
    QString m_EditFontName;
    int m_nEditFontPt = 0;
    COLORREF m_EditColor = 0;
};
