#include "camera/pages/PageParamCtrl.h"

#include "app/LogFile.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>

void SetSliderQuiet(QSlider* pSlider, int nMin, int nMax, int nPos)
{
    const QSignalBlocker block(pSlider);
    pSlider->setRange(nMin, std::max(nMin, nMax));
    pSlider->setValue(nPos);
}

void SetSliderPosQuiet(QSlider* pSlider, int nPos)
{
    const QSignalBlocker block(pSlider);
    pSlider->setValue(nPos);
}

void SetCheckQuiet(QAbstractButton* pButton, bool bChecked)
{
    const QSignalBlocker block(pButton);
    pButton->setChecked(bChecked);
}

BOOL FillSliderParam(CCameraCtrl& camera, const SLIDER_PARAM& param, CAMERA_PARAM_INFO& info, const QString& logTag)
{
    WriteLog(logTag + QStringLiteral("InitControl()"));
    BOOL bEnable = FALSE;
    info = CAMERA_PARAM_INFO{};
    const BOOL bOk = camera.GetCameraParam(param.nIndex, bEnable, info);
    const bool bOn = bOk && bEnable;
    SetSliderQuiet(param.pSlider, bOn ? info.nMin : 0, bOn ? info.nMax : 0, bOn ? info.nValue : 0);
    param.pSlider->setEnabled(bOn);
    param.pEdit->setEnabled(bOn);
    param.pEdit->setText(QString::number(bOn ? info.nValue : 0));
    return bOk;
}

BOOL FillOnOffParam(CCameraCtrl& camera, int nIndex, QAbstractButton* pCheck, const QString& logTag)
{
    WriteLog(logTag + QStringLiteral("InitControl()"));
    BOOL bEnable = FALSE;
    CAMERA_PARAM_INFO info{};
    const BOOL bOk = camera.GetCameraParam(nIndex, bEnable, info);
    pCheck->setEnabled(bOk && bEnable);
    SetCheckQuiet(pCheck, bOk && bEnable && info.bValueIsOne);
    return bOk;
}

BOOL WriteSliderParam(CCameraCtrl& camera, const SLIDER_PARAM& param)
{
    const int nPos = param.pSlider->value();
    if (!camera.SetCameraParam(param.nIndex, nPos, FALSE)) {
        return FALSE;
    }
    param.pEdit->setText(QString::number(nPos));
    return TRUE;
}

void SetSliderDefault(CCameraCtrl& camera, const SLIDER_PARAM& param, QAbstractButton* pAutoCheck, const QString& logTag)
{
    WriteLog(logTag + QStringLiteral("SetDefaultValue()"));
    BOOL bEnable = FALSE;
    CAMERA_PARAM_INFO info{};
    if (!camera.GetCameraParam(param.nIndex, bEnable, info) || !bEnable) {
        return;
    }
    if (info.bAutoEnable) {
        camera.SetCameraParam(param.nIndex, info.nDefault, info.bAutoDefault);
        if (pAutoCheck != nullptr) {
            SetCheckQuiet(pAutoCheck, info.bAutoDefault != 0);
        }
        // The slider shows the default too, so it matches once automatic is left.
        SetSliderPosQuiet(param.pSlider, info.nDefault);
        param.pEdit->setText(QString::number(info.nDefault));
        return;
    }
    if (camera.SetCameraParam(param.nIndex, info.nDefault, FALSE)) {
        SetSliderPosQuiet(param.pSlider, info.nDefault);
        param.pEdit->setText(QString::number(info.nDefault));
    }
}

void SetOnOffDefault(CCameraCtrl& camera, int nIndex, QAbstractButton* pCheck, const QString& logTag)
{
    WriteLog(logTag + QStringLiteral("SetDefaultValue()"));
    BOOL bEnable = FALSE;
    CAMERA_PARAM_INFO info{};
    if (!camera.GetCameraParam(nIndex, bEnable, info) || !bEnable) {
        return;
    }
    if (info.bAutoEnable) {
        camera.SetCameraParam(nIndex, info.nDefault, info.bAutoDefault);
    }
    camera.SetCameraParam(nIndex, BOOL(info.bDefaultIsOne ? TRUE : FALSE));
    SetCheckQuiet(pCheck, info.bDefaultIsOne != 0);
}
