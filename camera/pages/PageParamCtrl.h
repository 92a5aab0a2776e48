// What the two camera adjustment pages share: the page itself (filled from
// the camera each time it is shown, its controls by template number, Enter
// and Escape ignored), and a camera parameter shown as a slider with its
// number beside it, or as a check box, filled from the camera and put back
// to the camera's defaults.
#pragma once

#include "app/dialogs/ParamDialog.h"
#include "camera/CameraCtrl.h"

#include <QObject>
#include <QString>
#include <QWidget>

#include <span>

class IStatusLine;
class QAbstractButton;
class QLineEdit;
class QSlider;

struct SLIDER_PARAM {
    int nIndex;        // the controller's parameter index
    QSlider* pSlider;
    QLineEdit* pEdit;  // shows the slider's position with "%d"
};

// Moves a slider without announcing it as the user's move.
void SetSliderQuiet(QSlider* pSlider, int nMin, int nMax, int nPos);
void SetSliderPosQuiet(QSlider* pSlider, int nPos);
void SetCheckQuiet(QAbstractButton* pButton, bool bChecked);

// Range and position from the camera (position 0 while the parameter is
// disabled); the slider and edit are enabled with the parameter. Writes
// logTag + "InitControl()" first. FALSE when the camera did not answer.
BOOL FillSliderParam(CCameraCtrl& camera, const SLIDER_PARAM& param, CAMERA_PARAM_INFO& info, const QString& logTag);
// An on/off parameter: enabled with the parameter, checked when its value is 1.
BOOL FillOnOffParam(CCameraCtrl& camera, int nIndex, QAbstractButton* pCheck, const QString& logTag);

// The user's slider move: the value to the camera with automatic off; the
// edit shows the position when the camera took it. A value the camera
// refuses puts the slider and the edit back to the camera's own value and
// says so on pStatus (when given).
BOOL WriteSliderParam(CCameraCtrl& camera, const SLIDER_PARAM& param, IStatusLine* pStatus);
// Says on pStatus (when given) that the camera refused a value and shows its own.
void ReportRefusedValue(IStatusLine* pStatus);

// A slider with an empty range is of no use: disabled.
bool HasRange(const QSlider* pSlider);

// The number beside a slider, typed in: Enter or leaving the field moves the
// slider there (and so writes it as a slider move would), within the
// slider's range; text that is no whole number shows the slider's position
// again. The field is editable only while its slider is enabled.
class CSliderEditLink : public QObject {
public:
    CSliderEditLink(QSlider* pSlider, QLineEdit* pEdit, QObject* pParent);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void Apply();

    QSlider* m_pSlider;
    QLineEdit* m_pEdit;
};

// The camera's default for a slider parameter. With an automatic mode the
// default and its automatic state go to the camera and pAutoCheck (when
// given) takes that state; otherwise the default goes with automatic off
// and the slider and edit show it.
void SetSliderDefault(CCameraCtrl& camera, const SLIDER_PARAM& param, QAbstractButton* pAutoCheck, const QString& logTag);
// The camera's default for an on/off parameter; the check follows it.
void SetOnOffDefault(CCameraCtrl& camera, int nIndex, QAbstractButton* pCheck, const QString& logTag);

// A page of the camera adjustment dialog.
class CPageParamCtrl : public QWidget {
    Q_OBJECT
public:
    using CONTROL_NAME = CParamDialog::CONTROL_NAME;

    void SetCameraCtrl(CCameraCtrl* pCameraCtrl) { m_pCameraCtrl = pCameraCtrl; }
    // Where a value the camera refused is reported (none: not reported).
    void SetStatusLine(IStatusLine* pStatus) { m_pStatusLine = pStatus; }

    // Until the dialog has translated its captions the page fills nothing
    // on being shown; from then on each showing reads the camera again.
    void SetActive(bool bActive) { m_bActive = bActive; }
    virtual void InitControl() = 0;
    virtual void EnableControls() = 0;

    // The control with template number nID, or null.
    QWidget* GetDlgItem(int nID) const;

protected:
    // logTag starts each line the page writes to the log.
    CPageParamCtrl(const QString& logTag, QWidget* pParent);

    virtual std::span<const CONTROL_NAME> Controls() const = 0;
    bool IsOpen() const { return m_pCameraCtrl != nullptr && m_pCameraCtrl->IsOpen(); }
    // Every control of the page on while a camera is open, off otherwise;
    // whether one is open.
    bool EnableAllForCamera();
    const QString& LogTag() const { return m_LogTag; }
    void Log(const char* pszName) const;
    // A check box's click: logs pszHandler, then the check's state goes to
    // the camera's on/off parameter nIndex. Whether the camera took it
    // (false without a camera).
    bool WriteCheckParam(const char* pszHandler, int nIndex, const QAbstractButton* pCheck);

    void showEvent(QShowEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

    CCameraCtrl* m_pCameraCtrl = nullptr;
    IStatusLine* m_pStatusLine = nullptr;

private:
    QString m_LogTag;
    bool m_bActive = false;
};
