// A camera whose cable was pulled (622) is tried again once a second. The
// camera library finds a camera plugged in again, also under another device
// node; when it opens, the live view comes back with the measurements and
// the view as they were, unless the camera now gives another size.
#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "workflow/MainStrings.h"
#include "workflow/PixmetraDlg.h"
#include "workflow/capture/VideoRecord.h"

#include <QApplication>

namespace {

constexpr int kReturnPollMs = 1000;

} // namespace

void CPixmetraDlg::WatchForCameraReturn(bool bWatch)
{
    if (bWatch && m_nReturnTimerId == 0 && !m_bDestroyed && m_nSelectCameraIdx >= 0) {
        WriteLog(QStringLiteral("[MAIN]Waiting for the camera to come back."));
        m_nReturnTimerId = startTimer(kReturnPollMs);
    } else if (!bWatch && m_nReturnTimerId != 0) {
        killTimer(m_nReturnTimerId);
        m_nReturnTimerId = 0;
    }
}

void CPixmetraDlg::OnCameraReturnTimer()
{
    if (m_bCameraOK || m_bDestroyed) {
        WatchForCameraReturn(false); // back by another way (the settings' camera choice)
        return;
    }
    // A series or a recording still winding down keeps its own hold on the
    // camera; a modal window is the user's turn.
    if (SaveContinueState().bSaving || m_pVideoRecord->IsRecording() || QApplication::activeModalWidget() != nullptr) {
        return;
    }
    // Quiet while the camera stays away: the open fails without a message.
    const int nCam = m_nSelectCameraIdx;
    if (!CameraCtrl.OpenCamera(nCam)) {
        return;
    }
    WatchForCameraReturn(false);
    WriteLog(QStringLiteral("[MAIN]The camera is back."));
    const IMAGE_INFO before = m_CameraImageInfo;
    m_bCameraOK = InitCamera(); // the camera is open: this sets its mode and reads its size
    if (m_bCameraOK && (m_CameraImageInfo.nWidth != before.nWidth || m_CameraImageInfo.nHeight != before.nHeight)) {
        // Another size: measurements made on the old picture do not fit it.
        ReconnectCamera();
        return;
    }
    if (m_bCameraOK && !m_bFileImageLoaded) {
        SetImageKind(DISP_CAMERA_IMAGE); // streams again; clears the flag when it cannot
    }
    if (!m_bCameraOK) {
        WriteLog(QStringLiteral("[MAIN]The camera came back but does not stream."));
        CameraCtrl.CloseCamera();
        m_nSelectCameraIdx = nCam;
        WatchForCameraReturn(true);
        return;
    }
    // With an image file shown the camera waits for the picture-kind button.
    if (GetMessageText() == GetProgramString(IDS_CAMERA_DISCONNECTED)) {
        SetStatusMessage(QString());
    }
    UpdateButtons();
}
