// Where the scale bar stands and how long its arms are.
#pragma once

#include "app/dialogs/FieldFormDlg.h"

class CSetScaleDlg : public CFieldFormDlg {
    Q_OBJECT
public:
    enum { IDD = 161 };
    static constexpr int IDC_RADIO_SCALE_UPPER_LEFT = 1162;
    static constexpr int IDC_RADIO_SCALE_LOWER_LEFT = 1163;
    static constexpr int IDC_RADIO_SCALE_UPPER_RIGHT = 1164;
    static constexpr int IDC_RADIO_SCALE_LOWER_RIGHT = 1165;
    static constexpr int IDC_EDIT_SCALE_X = 1080;
    static constexpr int IDC_EDIT_SCALE_Y = 1127;
    static constexpr int IDC_CHECK_SCALE_Y = 1086;
    static constexpr int IDC_STATIC_SCALE_X_UNIT = 1137;
    static constexpr int IDC_STATIC_SCALE_Y_UNIT = 1138;

    explicit CSetScaleDlg(QWidget* pParent = nullptr);

    BOOL OnInitDialog() override;

    // Set by the caller, read back after OK. Position: 0 upper left,
    // 1 lower left, 2 upper right, 3 lower right. Y is 0 when the bar has
    // no vertical arm.
    int m_nScalePos = 0;
    double m_dScaleSizeX = 0.0;
    double m_dScaleSizeY = 0.0;
    // The calibration's unit kind (0 µm, 1 mm, 2 cm) for the unit labels.
    int m_nUnitKind = 0;

private:
    REFUSAL CheckFields() const override;
    void StoreFields() override;
    bool HasY() const;
    void UpdateYEnabling();
};
