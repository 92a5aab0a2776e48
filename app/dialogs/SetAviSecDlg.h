// The length of one video recording, in seconds.
#pragma once

#include "app/dialogs/ParamDialog.h"

#include <memory>

namespace Ui {
class CSetAviSecDlg;
}

class CSetAviSecDlg : public CParamDialog {
    Q_OBJECT
public:
    enum { IDD = 159 };
    static constexpr int IDC_EDIT_AVI_SEC = 1099;
    static constexpr int IDC_SPIN_AVI_SEC = 1100;
    static constexpr int IDC_OK = 1;
    static constexpr int IDC_CANCEL = 2;
    // A recording lasts at least one second.
    static constexpr int kMinSec = 1;
    static constexpr int kMaxSec = 120;

    explicit CSetAviSecDlg(QWidget* pParent = nullptr);
    ~CSetAviSecDlg() override;

    BOOL OnInitDialog() override;
    void OnBnClickedOk();

    // Set by the caller, read back after OK (always 1 to 120 then).
    int m_nAviSec = kMinSec;

protected:
    std::span<const CONTROL_NAME> Controls() const override;

private:
    std::unique_ptr<Ui::CSetAviSecDlg> m_pUi;
};
