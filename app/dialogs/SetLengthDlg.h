// The true length of a calibration reference line.
#pragma once

#include "app/dialogs/ParamDialog.h"

#include <QString>

#include <memory>

namespace Ui {
class CSetLengthDlg;
}

class CSetLengthDlg : public CParamDialog {
    Q_OBJECT
public:
    enum { IDD = 160 };
    static constexpr int IDC_EDIT_LENGTH = 1100;
    static constexpr int IDC_STATIC_LENGTH_UNIT = 1101;
    static constexpr int IDC_OK = 1;
    static constexpr int IDC_CANCEL = 2;

    explicit CSetLengthDlg(QWidget* pParent = nullptr);
    ~CSetLengthDlg() override;

    BOOL OnInitDialog() override;
    void OnBnClickedOk();

    // The unit shown beside the field, set by the caller.
    QString m_UnitText;
    // Read back after OK (greater than 0 then). A positive value set by the
    // caller is offered in the field; otherwise the field starts empty.
    double m_dReferenceLength = 0.0;

protected:
    std::span<const CONTROL_NAME> Controls() const override;

private:
    std::unique_ptr<Ui::CSetLengthDlg> m_pUi;
};
