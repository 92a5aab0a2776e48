#include "workflow/PixmetraDlg.h"

#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "engine/MeasureGeometry.h"
#include "engine/OverlayMessages.h"
#include "workflow/MainStrings.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

void CPixmetraDlg::CReceiver::OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    m_pDlg->OnMessage(nMessage, wParam, lParam);
}

CPixmetraDlg::CPixmetraDlg(QWidget* pParent) : QWidget(pParent), m_Receiver(this), m_Sink(&m_Receiver)
{
    setWindowTitle(GetProgramString(IDS_PROGRAM_TITLE));
    resize(1400, 900);
    m_pPicture = new CPictureBox(this, &AccImage);
    m_pLayered = new CLayeredWnd(m_pPicture, &m_Sink);
    m_pPicture->SetViewChanged([this](double s, int w, int h) { LayoutOverlay(s, w, h); });

    auto* pTools = new QGridLayout;
    for (int kind = 0; kind < 10; ++kind) {
        auto* pButton = new QPushButton(GetProgramString(IDS_MEASURE_BUTTON[kind]), this);
        pButton->setToolTip(GetProgramString(IDS_MEASURE_DESCRIPTION[kind]));
        connect(pButton, &QPushButton::clicked, this, [this, kind] { OnStartMeasure(kind); });
        pTools->addWidget(pButton, kind / 2, kind % 2);
    }
    auto* pCancel = new QPushButton(GetProgramString(IDS_CANCEL), this);
    connect(pCancel, &QPushButton::clicked, this, [this] {
        m_pLayered->Input().CancelInput();
        SetStatusMessage(GetProgramString(IDS_SHAPE_CANCELLED));
    });
    auto* pClear = new QPushButton(TranslateProgramText(QStringLiteral("削除")), this);
    connect(pClear, &QPushButton::clicked, this, [this] {
        m_pLayered->Input().CancelInput();
        m_pLayered->Engine().ClearAll();
        RebuildResults();
        m_pLayered->Redraw();
        SetStatusMessage(GetProgramString(IDS_DATA_DELETED));
    });
    pTools->addWidget(pCancel, 5, 0);
    pTools->addWidget(pClear, 5, 1);

    m_pResults = new QListWidget(this);
    m_pResults->setMinimumWidth(320);
    m_pFrameRate = new QLabel(this);
    auto* pSide = new QVBoxLayout;
    pSide->addLayout(pTools);
    pSide->addWidget(m_pResults, 1);
    pSide->addWidget(m_pFrameRate);

    auto* pTop = new QHBoxLayout;
    pTop->addWidget(m_pPicture, 1);
    pTop->addLayout(pSide);
    m_pStatus = new QLabel(this);
    m_pStatus->setFrameShape(QFrame::StyledPanel);
    auto* pMain = new QVBoxLayout(this);
    pMain->addLayout(pTop, 1);
    pMain->addWidget(m_pStatus);
}

CPixmetraDlg::~CPixmetraDlg()
{
    WriteLog(QStringLiteral("[MAIN]OnDestroy()->"));
    if (m_pCameraCtrl) {
        m_pCameraCtrl->StopStreaminig();
        m_pCameraCtrl->CloseCamera();
    }
    WriteLog(QStringLiteral("[MAIN]->OnDestroy() is End"));
}

BOOL CPixmetraDlg::OnInitDialog()
{
    WriteLog(QStringLiteral("[MAIN]OnInitDialog()->"));
    LoadSystemSetting(m_Setting);
    CRgnDataCtrl& eng = m_pLayered->Engine();
    eng.SetDrawSetting(m_Setting.Draw);
    InitCamera();
    if (AccImage.IsEmpty()) {
        // No camera: an empty picture so that measuring still has an image to work on.
        std::vector<uint8_t> grey(size_t(640) * 480 * 3, 96);
        AccImage.SetImage(grey.data(), IMAGE_INFO{24, 640, 480});
    }
    // Until a calibration is chosen, values are in pixels.
    m_pLayered->Initialise(AccImage.GetWidth(), AccImage.GetHeight(), 1.0);
    eng.SetCalibration(1.0, m_Setting.MeasureDownPlace, 0, FALSE);
    SetStatusMessage(m_bCameraOK ? GetProgramString(IDS_CAMERA_CONNECTED) : GetProgramString(IDS_CAMERA_NOT_CONNECTED));
    WriteLog(QStringLiteral("[MAIN]->OnInitDialog() is End"));
    return TRUE;
}

void CPixmetraDlg::InitCamera()
{
    m_pCameraCtrl = std::make_unique<CCameraCtrl>();
    if (!m_pCameraCtrl->IsLibraryLoaded()) {
        WriteLog(QStringLiteral("[MAIN]InitCamera() DLL Load Error!"));
        return;
    }
    if (!m_pCameraCtrl->IsApiVersionSupported()) {
        WriteLog(QStringLiteral("[MAIN]InitCamera() DLL Error!"));
        return;
    }
    const int index = m_Setting.Camera.CurConnectCameraIdx < m_pCameraCtrl->GetCameraCount()
                          ? m_Setting.Camera.CurConnectCameraIdx
                          : 0;
    if (m_pCameraCtrl->GetCameraCount() == 0 || !m_pCameraCtrl->OpenCamera(index)) {
        return;
    }
    m_bCameraOK = m_pCameraCtrl->StartStreaming(&m_Sink, WM_CAMERA_FRAME, WM_CAMERA_DISCONNECT) != 0;
    setWindowTitle(GetProgramString(IDS_PROGRAM_TITLE) + QStringLiteral(" - ") + m_pCameraCtrl->GetCameraName(index));
}

void CPixmetraDlg::SetStatusMessage(const QString& text)
{
    m_pStatus->setText(text);
}

void CPixmetraDlg::LayoutOverlay(double dScale, int nWidth, int nHeight)
{
    m_pLayered->setGeometry(0, 0, nWidth, nHeight);
    m_pLayered->SetView(dScale, POINT{0, 0});
}

void CPixmetraDlg::OnCameraFrame(int nSlot, int nIntervalUs)
{
    if (!m_pCameraCtrl) {
        return;
    }
    // The frame's second copy (the callback made the first, into the ring):
    // from the pinned ring slot straight into the picture buffer.
    FRAME_INFO info{};
    const BOOL bOk = m_pCameraCtrl->ShotImageTo(nSlot, [&](const uint8_t* pData, const FRAME_INFO& frame) {
        info = frame;
        return AccImage.SetImage(pData, IMAGE_INFO{24, frame.nWidth, frame.nHeight}, frame.nWidth * 3) != 0;
    });
    if (!bOk) {
        if (info.nSize != 0) {
            WriteLog(QStringLiteral("[MAIN]AccImage.SetImage() Error!"));
        }
        return;
    }
    if (m_pCameraCtrl->IsColorCamera() && m_pCameraCtrl->m_bGrayDisplay) {
        AccImage.ConvertToGrayscale();
    }
    if (m_pLayered->Engine().GetImageWidth() != info.nWidth || m_pLayered->Engine().GetImageHeight() != info.nHeight) {
        m_pLayered->Initialise(info.nWidth, info.nHeight, m_pPicture->GetScale() > 0 ? m_pPicture->GetScale() : 1.0);
    }
    if (++m_nFrameCount % 4 == 0 && nIntervalUs > 0) {
        m_pFrameRate->setText(QString::asprintf("%.1f ", 1e6 / nIntervalUs) + GetProgramString(IDS_UNIT_FPS) +
                              QString::asprintf("   %d x %d", info.nWidth, info.nHeight));
    }
    m_pPicture->update();
}

void CPixmetraDlg::OnStartMeasure(int nKind)
{
    CLayeredInput& input = m_pLayered->Input();
    input.CancelInput();
    if (!input.StartMakeShape(nKind)) {
        SetStatusMessage(GetProgramString(IDS_SHAPE_ERROR));
        return;
    }
    SetStatusMessage(GetProgramString(IDS_MEASURE_PROMPT[nKind]));
}

QString CPixmetraDlg::ValueText(const MEASURE_DATA& row) const
{
    const int decimals = m_pLayered->Engine().GetDecimals();
    if (row.nKind == MEAS_TEXT) {
        return QString::fromUtf16(row.szText);
    }
    QString unit = GetProgramString(IDS_UNIT_PIXEL);
    if (row.nKind == MEAS_ANGLE || row.nKind == MEAS_2LINE_ANGLE) {
        unit = GetProgramString(IDS_UNIT_DEGREE);
    } else if (row.nKind == MEAS_COUNT) {
        unit = GetProgramString(IDS_UNIT_COUNT);
    } else if (row.nKind == MEAS_POLYGON) {
        unit += QLatin1Char('2');
    }
    return QString::fromStdU16String(FormatValueString(row.dValue, decimals)) + QLatin1Char(' ') + unit;
}

void CPixmetraDlg::RebuildResults()
{
    m_pLayered->Engine().CopyMeasureData(MeasDataList);
    m_pResults->clear();
    int circle = 0;
    for (const MEASURE_DATA& row : MeasDataList) {
        QString name = row.nKind == MEAS_TEXT ? GetProgramString(IDS_TEXT_NAME) : GetProgramString(IDS_MEASURE_RESULT[row.nKind]);
        if (row.nKind == MEAS_2CIRCLE && row.nFigure == RGN_CIRCLE) {
            name = GetProgramString(circle++ % 2 == 0 ? IDS_FIRST_CIRCLE_DIAMETER : IDS_SECOND_CIRCLE_DIAMETER);
        }
        m_pResults->addItem(QStringLiteral("%1  %2  %3").arg(row.nMeasNum).arg(name, ValueText(row)));
    }
    m_pResults->scrollToBottom();
}

void CPixmetraDlg::OnEndMakeShape()
{
    RebuildResults();
    SetStatusMessage(GetProgramString(IDS_MEASURE_DONE));
}

void CPixmetraDlg::OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    switch (nMessage) {
    case WM_CAMERA_FRAME:
        OnCameraFrame(int(wParam), int(lParam));
        break;
    case WM_CAMERA_DISCONNECT:
        WriteLog(QStringLiteral("[MAIN]OnDisconnectCamera()"));
        SetStatusMessage(GetProgramString(IDS_CAMERA_DISCONNECTED));
        break;
    case WM_END_MAKE_SHAPE:
        OnEndMakeShape();
        break;
    case WM_ERROR_MAKE_SHAPE:
        SetStatusMessage(GetProgramString(IDS_SHAPE_ERROR));
        break;
    case WM_INVALID_SET_POINT:
        SetStatusMessage(GetProgramString(IDS_INVALID_POINT));
        break;
    case WM_MAKING_RGN_DISP_CAPTION: {
        const int kind = int(wParam), count = int(lParam);
        UINT id = IDS_MEASURE_PROMPT[kind >= 0 && kind < 10 ? kind : 0];
        if (kind == MEAS_PARALLEL && count >= 2) {
            id = IDS_PARALLEL_POINT_PROMPT;
        } else if (kind == MEAS_PERPENDICULAR && count >= 2) {
            id = IDS_PERPENDICULAR_END_PROMPT;
        } else if (kind == MEAS_2CIRCLE && count >= 3) {
            id = IDS_SECOND_CIRCLE_PROMPT;
        } else if (kind == MEAS_2LINE_ANGLE && count >= 2) {
            id = count >= 4 ? IDS_ANGLE_SIDE_PROMPT : IDS_SECOND_LINE_PROMPT;
        }
        SetStatusMessage(GetProgramString(id));
        break;
    }
    case WM_SELECT_MEASURE_SHAPE: {
        const int no = int(intptr_t(wParam));
        for (int i = 0; i < int(MeasDataList.size()); ++i) {
            if (MeasDataList[size_t(i)].nMeasNum == no) {
                m_pResults->setCurrentRow(i);
            }
        }
        if (no < 0) {
            m_pResults->clearSelection();
        }
        break;
    }
    default:
        break;
    }
}
