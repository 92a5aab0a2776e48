// The interval and count of one continuous save, asked when the series starts.
#pragma once

#include "app/dialogs/FieldFormDlg.h"

class CSetIntervalDlg : public CFieldFormDlg {
    Q_OBJECT
public:
    enum { IDD = 158 };
    static constexpr int IDC_EDIT_INTERVAL_MIN = 1063;
    static constexpr int IDC_EDIT_INTERVAL_SEC = 1064;
    static constexpr int IDC_EDIT_INTERVAL_CNT = 1065;
    static constexpr int IDC_SPIN_INTERVAL_MIN = 1094;
    static constexpr int IDC_SPIN_INTERVAL_SEC = 1095;
    static constexpr int IDC_SPIN_INTERVAL_CNT = 1096;

    explicit CSetIntervalDlg(QWidget* pParent = nullptr);

    BOOL OnInitDialog() override;

    // Set by the caller, read back after OK; kept as they were otherwise.
    int m_nIntervalMin = 0;
    int m_nIntervalSec = 3;
    int m_nIntervalCnt = 1;

private:
    REFUSAL CheckFields() const override;
    void StoreFields() override;
};
