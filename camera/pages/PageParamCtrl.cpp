#include "camera/pages/PageParamCtrl.h"

#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/dialogs/DialogKeys.h"
#include "app/dialogs/StatusLine.h"
#include "camera/pages/CameraPageStrings.h"

#include <QAbstractButton>
#include <QEvent>
#include <QKeyEvent>
#include <QShowEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>

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
    param.pSlider->setEnabled(bOn && HasRange(param.pSlider));
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

BOOL WriteSliderParam(CCameraCtrl& camera, const SLIDER_PARAM& param, IStatusLine* pStatus)
{
    const int nPos = param.pSlider->value();
    if (camera.SetCameraParam(param.nIndex, nPos, FALSE)) {
        param.pEdit->setText(QString::number(nPos));
        return TRUE;
    }
    int32_t nValue = 0;
    if (camera.GetCameraParam(param.nIndex, nValue)) {
        SetSliderPosQuiet(param.pSlider, nValue);
        param.pEdit->setText(QString::number(nValue));
        ReportRefusedValue(pStatus);
    }
    return FALSE;
}

void ReportRefusedValue(IStatusLine* pStatus)
{
    if (pStatus != nullptr) {
        pStatus->SetStatusMessage(GetProgramString(IDS_CAMERA_VALUE_REFUSED));
    }
}

bool HasRange(const QSlider* pSlider)
{
    return pSlider->minimum() < pSlider->maximum();
}

CSliderEditLink::CSliderEditLink(QSlider* pSlider, QLineEdit* pEdit, QObject* pParent)
    : QObject(pParent), m_pSlider(pSlider), m_pEdit(pEdit)
{
    m_pEdit->setReadOnly(!m_pSlider->isEnabled());
    m_pSlider->installEventFilter(this);
    connect(m_pEdit, &QLineEdit::editingFinished, this, [this] { Apply(); });
}

bool CSliderEditLink::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched == m_pSlider && pEvent->type() == QEvent::EnabledChange) {
        m_pEdit->setReadOnly(!m_pSlider->isEnabled());
    }
    return QObject::eventFilter(pWatched, pEvent);
}

void CSliderEditLink::Apply()
{
    if (m_pEdit->isReadOnly() || !m_pSlider->isEnabled()) {
        return;
    }
    bool bNumber = false;
    const int nTyped = m_pEdit->text().trimmed().toInt(&bNumber);
    const int nPos = bNumber ? std::clamp(nTyped, m_pSlider->minimum(), m_pSlider->maximum()) : m_pSlider->value();
    if (nPos != m_pSlider->value()) {
        m_pSlider->setValue(nPos); // the page writes it, as for a move of the slider
    } else {
        m_pEdit->setText(QString::number(nPos));
    }
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

CPageParamCtrl::CPageParamCtrl(const QString& logTag, QWidget* pParent) : QWidget(pParent), m_LogTag(logTag)
{
}

void CPageParamCtrl::Log(const char* pszName) const
{
    WriteLog(m_LogTag + QLatin1String(pszName));
}

QWidget* CPageParamCtrl::GetDlgItem(int nID) const
{
    return CParamDialog::FindControl(this, Controls(), nID);
}

bool CPageParamCtrl::WriteCheckParam(const char* pszHandler, int nIndex, const QAbstractButton* pCheck)
{
    Log(pszHandler);
    return IsOpen() && m_pCameraCtrl->SetCameraParam(nIndex, BOOL(pCheck->isChecked()));
}

bool CPageParamCtrl::EnableAllForCamera()
{
    const bool bOpen = IsOpen();
    for (QWidget* p : findChildren<QWidget*>()) {
        p->setEnabled(bOpen);
    }
    return bOpen;
}

void CPageParamCtrl::showEvent(QShowEvent* pEvent)
{
    QWidget::showEvent(pEvent);
    if (!pEvent->spontaneous() && m_bActive) {
        InitControl();
        EnableControls();
    }
}

void CPageParamCtrl::keyPressEvent(QKeyEvent* pEvent)
{
    // Enter and Escape neither close nor cancel from a page.
    if (!SwallowEnterEscape(pEvent)) {
        QWidget::keyPressEvent(pEvent);
    }
}
