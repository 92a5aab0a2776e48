// Taking the newest camera frame as the still picture.
#include "app/LogFile.h"
#include "app/PixmetraApp.h"
#include "app/dialogs/MessageBox.h"
#include "workflow/PixmetraDlg.h"
#include "workflow/capture/CaptureStrings.h"

#include <QGuiApplication>

BOOL CPixmetraDlg::OneShotImage(BOOL bWithMessages)
{
    WriteLog(QStringLiteral("[MAIN]OneShotImage()->"));
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool bMessages = bWithMessages || m_Setting.SaveContinue.SaveContinueMode == 1;
    if (bMessages) {
        SetStatusMessage(IDS_CAPTURING);
    }
    // Grey applies to every captured frame, not only to every shown one.
    const bool bGrey = m_bColorCamera && CameraCtrl.m_bGrayDisplay && CameraCtrl.IsOpen();
    FRAME_INFO info;
    bool bSetFailed = false;
    const BOOL bShot = CameraCtrl.ShotImageTo(-1, [&](const uint8_t* pData, const FRAME_INFO& frame) {
        info = frame;
        const size_t nRow = size_t(frame.nWidth) * 3;
        if (frame.nWidth <= 0 || frame.nHeight <= 0 || frame.nSize < nRow * size_t(frame.nHeight) ||
            !AccImage.SetImage(pData, IMAGE_INFO{24, frame.nWidth, frame.nHeight}, int32_t(nRow))) {
            bSetFailed = true;
            return false;
        }
        return true;
    });
    BOOL bResult = bShot;
    if (!bShot) {
        WriteLog(bSetFailed ? QStringLiteral("[MAIN]AccImage.SetImage() Error!")
                            : QStringLiteral("[MAIN]CameraCtrl.ShotImage() Error!"));
    } else {
        if (bGrey) {
            AccImage.ConvertToGrayscale();
        }
        if (info.nWidth != m_CameraImageInfo.nWidth || info.nHeight != m_CameraImageInfo.nHeight) {
            OnCameraFrameSize(info);
        }
    }
    if (bMessages) {
        if (bResult) {
            SetStatusMessage(IDS_CAPTURED);
        } else {
            SetStatusMessage(IDS_CAPTURE_ERROR);
            AfxMessageBox(IDS_CAPTURE_ERROR, MB_ICONERROR | MB_TASKMODAL, this);
        }
    }
    QGuiApplication::restoreOverrideCursor();
    WriteLog(QStringLiteral("[MAIN]->OneShotImage() is End."));
    return bResult;
}
