// The main window's controls and their places: creation of the picture box,
// overlay and status bar, the layout on every resize, the picture-kind
// button's look, and the window placement kept in the settings.
#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/PixmetraApp.h"
#include "app/dialogs/FitToScreen.h"
#include "ui_PixmetraDlg.h"
#include "workflow/MainControls.h"
#include "workflow/MainMetrics.h"
#include "workflow/MainStatusBar.h"
#include "workflow/MainStrings.h"
#include "workflow/PixmetraDlg.h"
#include "workflow/calibration/CalibrationCaption.h"
#include "workflow/capture/VideoRecord.h"
#include "workflow/live/LiveController.h"
#include "workflow/live/PictureBox.h"
#include "workflow/live/PictureNavigator.h"
#include "workflow/live/PointerReadout.h"
#include "workflow/live/PictureViewController.h"
#include "workflow/toolwnd/MeasureModeDlg.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>
#include <vector>

namespace {

QString TitleText(BOOL bCamera)
{
    if (CPixmetraApp* pApp = CPixmetraApp::GetApp()) {
        return pApp->GetWindowTitle(bCamera);
    }
    return GetProgramString(bCamera ? IDS_PROGRAM_TITLE : IDS_PROGRAM_NAME_NO_CAMERA) +
           CPixmetraApp::GetVersionText();
}

struct ROW_BUTTON {
    QAbstractButton* p;
    int nBase; // the width at display scale 1 a caption that fits keeps at least
};

// Each button as wide as its caption (and picture) with side margins. A row
// that does not fit in room first trims the margins, then takes a slightly
// smaller font, so captions stay whole on a narrow window (large display
// scale, long translations); only beyond that do the buttons give way alike.
// The buttons take the font chosen.
std::vector<int> FitRowWidths(const std::vector<ROW_BUTTON>& row, int room, double s, const QFont& baseFont)
{
    static const struct {
        int nPad;
        double dFont;
        bool bBase;
    } kSteps[] = {{12, 1.0, true}, {8, 1.0, false}, {5, 1.0, false}, {4, 0.92, false}, {3, 0.85, false}};
    std::vector<int> widths(row.size());
    QFont rowFont = baseFont;
    int need = 0;
    for (const auto& step : kSteps) {
        rowFont = baseFont;
        if (step.dFont < 1.0) {
            if (baseFont.pointSizeF() > 0) {
                rowFont.setPointSizeF(baseFont.pointSizeF() * step.dFont);
            } else if (baseFont.pixelSize() > 0) {
                rowFont.setPixelSize(std::max(1, int(baseFont.pixelSize() * step.dFont)));
            }
        }
        const QFontMetrics fm(rowFont);
        need = 0;
        for (size_t i = 0; i < row.size(); ++i) {
            QAbstractButton* pButton = row[i].p;
            int w = fm.horizontalAdvance(pButton->text()) + 2 * Scaled(step.nPad, s);
            if (!pButton->icon().isNull()) {
                w += pButton->iconSize().width() + Scaled(4, s);
            }
            widths[i] = step.bBase ? std::max(w, Scaled(row[i].nBase, s)) : w;
            need += widths[i];
        }
        if (need <= room) {
            break;
        }
    }
    const double f = need > room ? double(room) / need : 1.0;
    for (size_t i = 0; i < row.size(); ++i) {
        widths[i] = int(widths[i] * f);
        if (row[i].p->font() != rowFont) {
            row[i].p->setFont(rowFont);
        }
    }
    return widths;
}

} // namespace

QWidget* CPixmetraDlg::GetDlgItem(int nID) const
{
    for (const MAIN_CONTROL_NAME& entry : kMainControlNames) {
        if (entry.nID == nID) {
            if (nID == IDC_PICTURE) {
                return m_pPicture;
            }
            if (nID == IDC_STATUS_BAR) {
                return m_pStatusBar;
            }
            return findChild<QWidget*>(QString::fromLatin1(entry.pszObjectName));
        }
    }
    return nullptr;
}

BOOL CPixmetraDlg::InitWindow()
{
    WriteLog(QStringLiteral("[MAIN]InitWindow()-->"));
    setWindowTitle(TitleText(m_pLive->IsCameraOK()));
    const double s = m_dDisplayScale;
    m_pUi->btnSaveVideo->hide();
    m_pUi->btnCrossCancel->hide();
    m_pUi->btnDispImage->setText(GetProgramString(IDS_LIVE_IMAGE));
    if (CPixmetraApp* pApp = CPixmetraApp::GetApp()) {
        for (QPushButton* pButton : findChildren<QPushButton*>()) {
            pButton->setFont(pApp->GetButtonFont());
        }
    }
    // The zoom buttons show only their picture; the caption becomes the
    // tooltip and the name a screen reader says.
    const QSize icon(Scaled(20, s), Scaled(20, s));
    for (auto [pButton, file] : {std::pair{m_pUi->btnZoomFit, ":/icons/zoom_fit.svg"},
                                 std::pair{m_pUi->btnZoomOut, ":/icons/zoom_out.svg"},
                                 std::pair{m_pUi->btnZoomIn, ":/icons/zoom_in.svg"},
                                 std::pair{m_pUi->btnAbout, ":/icons/menu.svg"}}) {
        pButton->setToolTip(pButton == m_pUi->btnAbout ? GetProgramString(IDS_ABOUT) : pButton->text());
        pButton->setAccessibleName(pButton->toolTip());
        pButton->setText(QString());
        pButton->setIcon(QIcon(QString::fromLatin1(file)));
        pButton->setIconSize(icon);
    }
    m_pUi->btnDispImage->setIconSize(icon);
    QFont caption(m_Setting.CaptionFontName);
    caption.setPointSize(std::max(1, int(m_Setting.CaptionFontPt)));
    m_pUi->labelMessage->setFont(caption);
    ConnectControls();

    // The smallest size: what the form needs, within the screen.
    QScreen* pScreen = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    const QRect avail = pScreen != nullptr ? pScreen->availableGeometry() : QRect(0, 0, 1600, 1000);
    m_MinSize = QSize(std::min(Scaled(720, s), avail.width()), std::min(Scaled(440, s), avail.height() - 40));
    resize(m_MinSize);
    setMinimumSize(m_MinSize);

    // The picture frame and its bars, measured once for later resizes.
    const int vbar = m_pUi->scrollVert->sizeHint().width();
    const int hbar = m_pUi->scrollHorz->sizeHint().height();
    const int top = Scaled(80, s);
    const int frameWidth = width() - Scaled(24, s) - (Scaled(5, s) + vbar);
    const int frameBottom = height() - kStatusHeight - Scaled(8, s) - hbar;
    m_pUi->framePicture->setGeometry(Scaled(8, s), top, frameWidth, frameBottom - top);
    m_pUi->framePicture->setStyleSheet(QStringLiteral("QFrame#framePicture{background:#1c1c20;border:1px solid black;}"));
    const QRect f = m_pUi->framePicture->geometry();
    m_Geometry.SetFrameRect(RECT{f.left(), f.top(), f.left() + f.width(), f.top() + f.height()});
    m_Geometry.SetFrameMargins(width(), height());

    m_pPicture = new CPictureBox(this, &AccImage, &m_Geometry);
    m_pStatusBar = new CMainStatusBar(this, m_dDisplayScale);
    m_pStatusBar->show();
    ShowCalibrationCaption(*this, m_Setting);
    // The tool window: a child object of the main window, shown as its own
    // floating window, destroyed with the main window, never closed by the user.
    m_pMeasureModeDlg = new CMeasureModeDlg(this);
    m_pMeasureModeDlg->InitMeasDlg(&m_Sink, &m_Setting, &m_pMeasure->Results(), &m_pMeasure->Selection());

    bool bOverlay = false;
    if (!m_Options.bOverlayFails) {
        m_pLayeredWnd = new CLayeredWnd(m_pPicture, &m_Sink);
        CRgnDataCtrl& eng = m_pLayeredWnd->Engine();
        eng.SetDrawSetting(m_Setting.Draw);
        // Until a calibration is chosen, values are in pixels.
        eng.SetCalibration(1.0, m_Setting.MeasureDownPlace, 0, FALSE);
        m_pPicture->SetOverlay(m_pLayeredWnd);
        m_pLayeredWnd->show();
        bOverlay = true;
    }
    m_pPicture->show();
    m_pView = std::make_unique<CPictureViewController>(PICTURE_VIEW_PARTS{
        m_Geometry, *m_pLive, m_pPicture, m_pLayeredWnd, m_pUi->comboRatio, m_pUi->scrollHorz, m_pUi->scrollVert});
    m_pLive->AttachView(LIVE_VIEW_PARTS{*m_pView, m_pPicture, m_pLayeredWnd});
    m_pReadout = std::make_unique<CPointerReadout>(
        m_Geometry, *m_pLive, m_Setting, [this](const QString& text) { m_pStatusBar->SetPointerReadout(text); });
    m_pNavigator = std::make_unique<CPictureNavigator>(
        PICTURE_NAVIGATOR_PARTS{m_Geometry, *m_pView, *m_pLive, m_pPicture, m_pLayeredWnd,
                                [this](std::optional<QPoint> pos) { m_pReadout->Show(pos); }});
    m_pMeasure->AttachWindows(m_pLayeredWnd, m_pMeasureModeDlg);

    // The first size: generous, but never beyond the screen.
    const QSize want(std::min(Scaled(1280, s), avail.width() - 16), std::min(Scaled(880, s), avail.height() - 48));
    resize(want.expandedTo(m_MinSize));
    UpdateLayout();
    WriteLog(QStringLiteral("[MAIN]-->InitWindow() is End."));
    return bOverlay ? TRUE : FALSE;
}

void CPixmetraDlg::ConnectControls()
{
    connect(m_pUi->btnZoomFit, &QToolButton::clicked, this, [this] { OnBnClickedBtnZoomFit(); });
    connect(m_pUi->btnZoomIn, &QToolButton::clicked, this, [this] { OnBnClickedBtnZoomIn(); });
    connect(m_pUi->btnZoomOut, &QToolButton::clicked, this, [this] { OnBnClickedBtnZoomOut(); });
    connect(m_pUi->comboRatio, &QComboBox::activated, this, [this](int n) { OnCbnSelchangeComboRatio(n); });
    connect(m_pUi->scrollHorz, &QScrollBar::actionTriggered, this, [this](int a) { m_pView->Scroll(false, a); });
    connect(m_pUi->scrollVert, &QScrollBar::actionTriggered, this, [this](int a) { m_pView->Scroll(true, a); });
    connect(m_pUi->btnDispImage, &QPushButton::clicked, this, [this] { OnBnClickedBtnDispImage(); });
    connect(m_pUi->btnExit, &QPushButton::clicked, this, [this] { close(); });
    connect(m_pUi->btnSaveImage, &QAbstractButton::clicked, this, [this] { OnBnClickedBtnSaveImage(); });
    connect(m_pUi->btnLoadImage, &QAbstractButton::clicked, this, [this] { OnBnClickedBtnLoadImage(); });
    connect(m_pUi->btnSaveContinue, &QAbstractButton::clicked, this, [this] { OnBnClickedBtnSaveContinue(); });
    connect(m_pUi->btnAbout, &QToolButton::clicked, this, [this] { OnAbout(); });
    connect(m_pUi->btnSaveVideo, &QAbstractButton::clicked, this, [this] { m_pVideoRecord->OnBnClickedBtnSaveAvi(); });
    connect(m_pUi->btnCameraSetting, &QPushButton::clicked, this, [this] { OnBnClickedBtnCameraSetting(); });
    connect(m_pUi->btnSetting, &QPushButton::clicked, this, [this] { OnBnClickedBtnSystemSetting(); });
}

void CPixmetraDlg::SetStatusPart(int nPart, const QString& text)
{
    if (m_pStatusBar != nullptr) {
        m_pStatusBar->SetStatusPart(nPart, text);
    }
}

QString CPixmetraDlg::GetStatusPartText(int nPart) const
{
    return m_pStatusBar != nullptr ? m_pStatusBar->GetStatusPartText(nPart) : QString();
}

void CPixmetraDlg::SetDispImageButtonLook(int nKind)
{
    const bool bLive = nKind == DISP_CAMERA_IMAGE;
    m_pUi->btnDispImage->setIcon(QIcon(bLive ? QStringLiteral(":/icons/live.svg") : QStringLiteral(":/icons/still.svg")));
    m_pUi->btnDispImage->setText(GetProgramString(bLive ? IDS_LIVE_IMAGE : IDS_STILL_IMAGE));
}

void CPixmetraDlg::resizeEvent(QResizeEvent* pEvent)
{
    QWidget::resizeEvent(pEvent);
    if (!m_bInitialized) {
        return;
    }
    // The stream keeps running: only the picture's place changes.
    UpdateLayout();
}

void CPixmetraDlg::UpdateLayout()
{
    if (m_pPicture == nullptr) {
        return;
    }
    const double s = m_dDisplayScale;
    const int W = width(), H = height(), g = Scaled(8, s);
    const int rowH = Scaled(30, s);
    // Top row: the flow buttons from the left, exit at the right edge; on a
    // narrow window (large display scale, long translations) all give way alike.
    std::vector<QWidget*> leftRow;
    for (QWidget* p : {static_cast<QWidget*>(m_pUi->btnDispImage), static_cast<QWidget*>(m_pUi->btnLoadImage),
                       static_cast<QWidget*>(m_pUi->btnSaveImage), static_cast<QWidget*>(m_pUi->btnSaveContinue),
                       static_cast<QWidget*>(m_pUi->btnSaveVideo), static_cast<QWidget*>(m_pUi->btnCrossLine),
                       static_cast<QWidget*>(m_pUi->btnCrossCancel)}) {
        if (!p->isHidden()) {
            leftRow.push_back(p);
        }
    }
    const int gap = Scaled(4, s);
    std::vector<ROW_BUTTON> row;
    for (QWidget* p : leftRow) {
        row.push_back({qobject_cast<QAbstractButton*>(p), 72});
    }
    row.push_back({m_pUi->btnExit, 64});
    row.push_back({m_pUi->btnCameraSetting, 84});
    row.push_back({m_pUi->btnSetting, 76});
    const int room = W - 2 * g - 4 * g - gap - rowH - gap * int(leftRow.size());
    const QFont baseFont = (CPixmetraApp::GetApp() != nullptr) ? CPixmetraApp::GetApp()->GetButtonFont() : font();
    const std::vector<int> widths = FitRowWidths(row, room, s, baseFont);
    int x = g;
    for (size_t i = 0; i < leftRow.size(); ++i) {
        QAbstractButton* pButton = row[i].p;
        pButton->setGeometry(x, g, widths[i], rowH);
        // The continuous-save button's tooltip tells its mode.
        if (pButton != m_pUi->btnSaveContinue) {
            pButton->setToolTip(pButton->text());
        }
        x += widths[i] + gap;
    }
    int right = W - g;
    const int exitW = widths[leftRow.size()];
    m_pUi->btnExit->setGeometry(right - exitW, g, exitW, rowH);
    right -= exitW + 2 * g;
    const int camW = widths[leftRow.size() + 1];
    m_pUi->btnCameraSetting->setGeometry(right - camW, g, camW, rowH);
    right -= camW + g;
    const int setW = widths[leftRow.size() + 2];
    m_pUi->btnSetting->setGeometry(right - setW, g, setW, rowH);
    right -= setW + g;
    m_pUi->btnAbout->setGeometry(right - rowH, g, rowH, rowH);

    // Second row: zoom buttons and the ratio list right-aligned, the message line before them.
    const int y2 = g + rowH + Scaled(6, s);
    const int h2 = Scaled(28, s);
    right = W - g;
    const int comboW = Scaled(90, s);
    m_pUi->comboRatio->setGeometry(right - comboW, y2, comboW, h2);
    right -= comboW + g;
    for (QWidget* p : {static_cast<QWidget*>(m_pUi->btnZoomIn), static_cast<QWidget*>(m_pUi->btnZoomOut),
                       static_cast<QWidget*>(m_pUi->btnZoomFit)}) {
        p->setGeometry(right - h2, y2, h2, h2);
        right -= h2 + g;
    }
    m_pUi->frameMessage->setGeometry(g, y2, right - g, h2);
    m_pUi->labelMessage->setGeometry(g + 4, y2 + 1, right - g - 8, h2 - 2);

    // Bottom: the status bar.
    m_pStatusBar->Layout(W, height());

    // The picture frame takes the rest; the picture box follows the view.
    const RECT rf = m_Geometry.Resize(W, H);
    const QRect frame(rf.left, rf.top, rf.right - rf.left, rf.bottom - rf.top);
    m_pUi->framePicture->setGeometry(frame);
    const int vbar = m_pUi->scrollVert->sizeHint().width();
    const int hbar = m_pUi->scrollHorz->sizeHint().height();
    m_pUi->scrollHorz->setGeometry(frame.left(), frame.bottom() + 1, frame.width(), hbar);
    m_pUi->scrollVert->setGeometry(frame.right() + 1, frame.top(), vbar, frame.height());
    if (m_pView != nullptr) {
        m_pView->Refresh();
    }
}

QRect CPixmetraDlg::PictureArea(const QRect& client) const
{
    // The part of the window below the two rows of controls and above the
    // status bar, left of the vertical scroll bar: only the picture is there.
    const double s = m_dDisplayScale;
    const int vbar = m_pUi->scrollVert->sizeHint().width();
    const int hbar = m_pUi->scrollHorz->sizeHint().height();
    const int top = Scaled(8, s) + Scaled(30, s) + Scaled(6, s) + Scaled(28, s) + Scaled(4, s);
    return QRect(client.left() + Scaled(8, s), client.top() + top, client.width() - 2 * Scaled(8, s) - vbar,
                 client.height() - top - kStatusHeight - hbar - Scaled(4, s));
}
