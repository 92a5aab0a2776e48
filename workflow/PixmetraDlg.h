// The main window: the live camera picture with the measurement overlay,
// the measurement buttons, the results and the message line.
#pragma once

#include "app/SystemSetting.h"
#include "camera/CameraCtrl.h"
#include "engine/LayeredWnd.h"
#include "image/AccImage.h"
#include "platform/MessageReceiver.h"
#include "workflow/PictureBox.h"

#include <QLabel>
#include <QListWidget>
#include <QWidget>

#include <memory>
#include <vector>

class CPixmetraDlg : public QWidget {
public:
    explicit CPixmetraDlg(QWidget* pParent = nullptr);
    ~CPixmetraDlg() override;

    BOOL OnInitDialog();
    void SetStatusMessage(const QString& text);

private:
    class CReceiver : public CMessageReceiver {
    public:
        explicit CReceiver(CPixmetraDlg* pDlg) : m_pDlg(pDlg) {}

    protected:
        void OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam) override;

    private:
        CPixmetraDlg* m_pDlg;
    };

    void OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam);
    // nIntervalUs: the frame interval in whole milliseconds, times 1000.
    void OnCameraFrame(int nSlot, int nIntervalUs);
    void OnStartMeasure(int nKind);
    void OnEndMakeShape();
    void RebuildResults();
    void InitCamera();
    void LayoutOverlay(double dScale, int nWidth, int nHeight);
    QString ValueText(const MEASURE_DATA& row) const;

    SYSTEM_SETTING m_Setting;
    CReceiver m_Receiver;
    CReceiverSink m_Sink;
    std::unique_ptr<CCameraCtrl> m_pCameraCtrl;
    CAccImage AccImage;
    CPictureBox* m_pPicture = nullptr;
    CLayeredWnd* m_pLayered = nullptr;
    QListWidget* m_pResults = nullptr;
    QLabel* m_pStatus = nullptr;
    QLabel* m_pFrameRate = nullptr;
    std::vector<MEASURE_DATA> MeasDataList;
    int m_nFrameCount = 0;
    bool m_bCameraOK = false;
};
