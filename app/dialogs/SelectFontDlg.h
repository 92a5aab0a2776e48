// Choosing a font face and a size in points.
#pragma once

#include "app/dialogs/ParamDialog.h"

#include <QString>

#include <memory>

namespace Ui {
class CSelectFontDlg;
}

class CSelectFontDlg : public CParamDialog {
    Q_OBJECT
public:
    enum { IDD = 104 };
    static constexpr int IDC_COMBO_FONT_NAME = 1140;
    static constexpr int IDC_COMBO_FONT_SIZE = 1149;
    static constexpr int IDC_OK = 1;
    static constexpr int IDC_CANCEL = 2;

    explicit CSelectFontDlg(QWidget* pParent = nullptr);
    CSelectFontDlg(const QString& fontName, int nFontPt, QWidget* pParent = nullptr);
    ~CSelectFontDlg() override;

    // A non-empty face and a positive size replace the defaults.
    void SetFont(const QString& fontName, int nFontPt);

    BOOL OnInitDialog() override;
    void OnBnClickedOk();

    // Read back after OK.
    QString m_FontName = QStringLiteral("MS UI Gothic");
    int m_nFontPt = 14;

protected:
    std::span<const CONTROL_NAME> Controls() const override;

private:
    std::unique_ptr<Ui::CSelectFontDlg> m_pUi;
};
