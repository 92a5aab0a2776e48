// The true length of a calibration reference line.
#pragma once

#include "app/dialogs/FieldFormDlg.h"

#include <QString>

class CSetLengthDlg : public CFieldFormDlg {
    Q_OBJECT
public:
    enum { IDD = 160 };
    static constexpr int IDC_EDIT_LENGTH = 1100;
    static constexpr int IDC_STATIC_LENGTH_UNIT = 1101;

    explicit CSetLengthDlg(QWidget* pParent = nullptr);

    BOOL OnInitDialog() override;

    // The unit shown beside the field, set by the caller.
    QString m_UnitText;
    // Read back after OK (greater than 0 then). A positive value set by the
    // caller is offered in the field; otherwise the field starts empty.
    double m_dReferenceLength = 0.0;

private:
    REFUSAL CheckFields() const override;
    void StoreFields() override;
};
