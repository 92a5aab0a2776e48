// The length of one video recording, in seconds.
#pragma once

#include "app/dialogs/FieldFormDlg.h"

class CSetAviSecDlg : public CFieldFormDlg {
    Q_OBJECT
public:
    enum { IDD = 159 };
    static constexpr int IDC_EDIT_AVI_SEC = 1099;
    static constexpr int IDC_SPIN_AVI_SEC = 1100;
    // Zero is taken as typed; the camera then refuses to record nothing and
    // the window says the recording could not start.
    static constexpr int kMinSec = 0;
    static constexpr int kMaxSec = 120;

    explicit CSetAviSecDlg(QWidget* pParent = nullptr);

    BOOL OnInitDialog() override;

    // Set by the caller, read back after OK (always 0 to 120 then).
    int m_nAviSec = 1;

private:
    void StoreFields() override;
};
