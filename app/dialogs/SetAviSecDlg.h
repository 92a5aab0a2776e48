// The length of one video recording, in seconds.
#pragma once

#include "app/dialogs/FieldFormDlg.h"

class CSetAviSecDlg : public CFieldFormDlg {
    Q_OBJECT
public:
    enum { IDD = 159 };
    static constexpr int IDC_EDIT_AVI_SEC = 1099;
    static constexpr int IDC_SPIN_AVI_SEC = 1100;
    // A recording lasts at least one second.
    static constexpr int kMinSec = 1;
    static constexpr int kMaxSec = 120;

    explicit CSetAviSecDlg(QWidget* pParent = nullptr);

    BOOL OnInitDialog() override;

    // Set by the caller, read back after OK (always 1 to 120 then).
    int m_nAviSec = kMinSec;

private:
    void StoreFields() override;
};
