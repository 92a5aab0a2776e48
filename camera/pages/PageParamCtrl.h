// What the two camera adjustment pages share: a camera parameter shown as a
// slider with its number beside it, or as a check box, filled from the
// camera and put back to the camera's defaults.
#pragma once

#include "camera/CameraCtrl.h"

class QAbstractButton;
class QLineEdit;
class QSlider;
class QString;

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
// edit shows the position only when the camera took it.
BOOL WriteSliderParam(CCameraCtrl& camera, const SLIDER_PARAM& param);

// The camera's default for a slider parameter. With an automatic mode the
// default and its automatic state go to the camera and pAutoCheck (when
// given) takes that state; otherwise the default goes with automatic off
// and the slider and edit show it.
void SetSliderDefault(CCameraCtrl& camera, const SLIDER_PARAM& param, QAbstractButton* pAutoCheck, const QString& logTag);
// The camera's default for an on/off parameter; the check follows it.
void SetOnOffDefault(CCameraCtrl& camera, int nIndex, QAbstractButton* pCheck, const QString& logTag);
