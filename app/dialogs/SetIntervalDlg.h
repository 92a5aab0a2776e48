// The interval and count of one continuous save, asked when the series starts.
#pragma once

#include "app/dialogs/ParamDialog.h"

#include <memory>

namespace Ui {
class CSetIntervalDlg;
}

class CSetIntervalDlg : public CParamDialog {
    Q_OBJECT
public:
    enum { IDD = 158 };
    static constexpr int IDC_EDIT_INTERVAL_MIN = 1063;
    static constexpr int IDC_EDIT_INTERVAL_SEC = 1064;
    static constexpr int IDC_EDIT_INTERVAL_CNT = 1065;
    static constexpr int IDC_SPIN_INTERVAL_MIN = 1094;
    static constexpr int IDC_SPIN_INTERVAL_SEC = 1095;
    static constexpr int IDC_SPIN_INTERVAL_CNT = 1096;
    static constexpr int IDC_OK = 1;
    static constexpr int IDC_CANCEL = 2;

    explicit CSetIntervalDlg(QWidget* pParent = nullptr);
    ~CSetIntervalDlg() override;

    BOOL OnInitDialog() override;
    void OnBnClickedOk();

    // Set by the caller, read back after OK; kept as they were otherwise.
    int m_nIntervalMin = 0;
    int m_nIntervalSec = 3;
    int m_nIntervalCnt = 1;

protected:
    std::span<const CONTROL_NAME> Controls() const override;

private:
    std::unique_ptr<Ui::CSetIntervalDlg> m_pUi;
};
