#include "workflow/toolwnd/MeasureModeDlg.h"

#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/PixmetraApp.h"
#include "app/dialogs/DialogKeys.h"
#include "app/dialogs/MessageBox.h"
#include "engine/OverlayMessages.h"
#include "workflow/toolwnd/PageCalibration.h"
#include "workflow/toolwnd/PageMeasurement.h"
#include "workflow/toolwnd/ToolControls.h"
#include "workflow/toolwnd/ToolMessages.h"
#include "workflow/toolwnd/ToolStrings.h"
#include "ui_MeasureModeDlg.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QGuiApplication>
#include <QScreen>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QWindowStateChangeEvent>

CMeasureModeDlg::CMeasureModeDlg(QWidget* pOwner)
    : QWidget(pOwner, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowMinimizeButtonHint),
      m_pUi(std::make_unique<Ui::CMeasureModeDlg>())
{
    m_pUi->setupUi(this);
    // The form's captions are the built-in texts; shown through the translator.
    setWindowTitle(GetProgramString(IDS_TOOL_TITLE));
    m_pTab = m_pUi->tabMode;
    m_pPageCalibration = m_pUi->pageCalibration;
    m_pPageMeasurement = m_pUi->pageMeasurement;
    m_pTab->setTabText(MEAS_TAB_CALIBRATION, GetProgramString(IDS_TAB_CALIBRATION));
    m_pTab->setTabText(MEAS_TAB_MEASUREMENT, GetProgramString(IDS_TAB_MEASUREMENT));
    m_pDispResult = m_pUi->checkDispResult;
    m_pDispResult->setText(TranslateProgramText(m_pDispResult->text()));
    m_pDispZoom = m_pUi->checkDispZoom;
    m_pDispZoom->setText(TranslateProgramText(m_pDispZoom->text()));
    m_pCalibName = m_pUi->labelCalibName;
    m_pCalibValue = m_pUi->labelCalibValue;

    connect(m_pDispResult, &QCheckBox::clicked, this, [this](bool bChecked) {
        m_bDispResult = bChecked ? TRUE : FALSE;
        WriteLog(QStringLiteral("[MEASDLG]OnBnClickedDispMeasureResult m_bDispResult = ") +
                 (bChecked ? QStringLiteral("TRUE") : QStringLiteral("FALSE")));
        Post(WM_DISP_MEASURE_SHAPE, bChecked ? 1 : 0);
    });
    connect(m_pDispZoom, &QCheckBox::clicked, this, [this](bool bChecked) {
        m_bDispZoomWindow = bChecked ? TRUE : FALSE;
        WriteLog(QStringLiteral("[MEASDLG]OnBnClickedDispZoomWindow m_bDispZoomWindow = ") +
                 (bChecked ? QStringLiteral("TRUE") : QStringLiteral("FALSE")));
        Post(WM_DISP_ZOOM_WINDOW, bChecked ? 1 : 0);
    });
    // Only SelChangeTab changes the page: the tab bar's own change (a click,
    // its arrow keys, Ctrl+Tab) is undone and asked for as the user's choice,
    // which may be refused.
    connect(m_pTab, &QTabWidget::currentChanged, this, [this](int nTab) {
        if (m_nCurTab >= 0 && nTab >= 0 && nTab != m_nCurTab) {
            {
                const QSignalBlocker block(m_pTab);
                m_pTab->setCurrentIndex(m_nCurTab);
            }
            SelChangeTab(nTab, true);
        }
    });
    // The tabs from anywhere in the window, the list and the edits included.
    const auto step = [this](int nStep) {
        const int nCount = m_pTab->count();
        // Not while the tabs are locked, as a click could not either.
        if (m_nCurTab >= 0 && nCount > 1 && m_pTab->isEnabled()) {
            SelChangeTab((m_nCurTab + nStep + nCount) % nCount, true);
        }
    };
    for (const QKeySequence& key : {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}) {
        connect(new QShortcut(key, this), &QShortcut::activated, this, [step] { step(1); });
    }
    for (const QKeySequence& key : {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                                    QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                                    QKeySequence(Qt::CTRL | Qt::Key_PageUp)}) {
        connect(new QShortcut(key, this), &QShortcut::activated, this, [step] { step(-1); });
    }
}

CMeasureModeDlg::~CMeasureModeDlg() = default;

BOOL CMeasureModeDlg::InitMeasDlg(IMessageSink* pMain, SYSTEM_SETTING* pSetting,
                                  const std::vector<MEASURE_DATA>* pResults, std::vector<int>* pSelection)
{
    if (m_bInit) {
        WriteLog(QStringLiteral("[MEASDLG]bInit is TRUE"));
        return TRUE;
    }
    if (pMain == nullptr || pSetting == nullptr || pResults == nullptr || pSelection == nullptr) {
        WriteLog(QStringLiteral("[MEASDLG]Parameter Error! (NULL)"));
        return FALSE;
    }
    m_pMain = pMain;
    m_pSetting = pSetting;
    if (!m_pPageCalibration->InitPage(pMain, pSetting) ||
        !m_pPageMeasurement->InitPage(pMain, pSetting, pResults, pSelection)) {
        return FALSE;
    }
    m_pPageMeasurement->SetDownPlace(pSetting->MeasureDownPlace);
    UpdateCalibrationTexts();
    m_bInit = TRUE;
    m_bDispZoomWindow = pSetting->bDispZoomWnd;
    m_pDispZoom->setChecked(m_bDispZoomWindow != FALSE);
    m_pDispResult->setChecked(m_bDispResult != FALSE);
    SelChangeTab(CurrentCalibrationEnabled() ? MEAS_TAB_MEASUREMENT : MEAS_TAB_CALIBRATION);
    EnableMeasure(false);
    return TRUE;
}

BOOL CMeasureModeDlg::SetSystemSettings()
{
    if (!m_bInit) {
        WriteLog(QStringLiteral("[MEASDLG]bInit is FALSE"));
        return FALSE;
    }
    m_pPageCalibration->Table().CopyTo(*m_pSetting);
    return TRUE;
}

void CMeasureModeDlg::Post(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (m_pMain != nullptr) {
        m_pMain->PostMessage(nMessage, wParam, lParam);
    }
}

bool CMeasureModeDlg::CurrentCalibrationEnabled() const
{
    if (m_pSetting == nullptr) {
        return false;
    }
    const int32_t n = m_pSetting->CalibrationIndex;
    return n >= 0 && n < CALIBRATION_NUM && m_pSetting->Calibration[n].bEnable != FALSE;
}

void CMeasureModeDlg::SelChangeTab(int nTab, bool bUser)
{
    if (bUser && nTab != MEAS_TAB_CALIBRATION && !CurrentCalibrationEnabled()) {
        AfxMessageBox(IDS_CALIBRATION_INVALID, MB_OK | MB_ICONWARNING, this);
        nTab = MEAS_TAB_CALIBRATION;
        if (nTab == m_nCurTab) {
            return;
        }
    }
    WriteLog(QStringLiteral("[MEASDLG]SelChangeTab(%1->%2)").arg(m_nCurTab).arg(nTab));
    if (m_nCurTab == MEAS_TAB_CALIBRATION) {
        Post(WM_END_CALIBRATION_TAB);
    } else if (m_nCurTab == MEAS_TAB_MEASUREMENT) {
        Post(WM_SELECT_MEASURE_SHAPE, WPARAM(intptr_t(-1)), 1);
    }
    m_nCurTab = nTab;
    const QSignalBlocker block(m_pTab);
    m_pTab->setCurrentIndex(nTab);
}

void CMeasureModeDlg::UpdateCalibrationTexts()
{
    const CCalibrationTable& table = m_pPageCalibration->Table();
    m_pCalibName->setText(table.CurrentNameText());
    m_pCalibValue->setText(table.IsCurrentEnabled() ? table.CurrentValueText() : QString());
}

void CMeasureModeDlg::ClearMeasureData()
{
    WriteLog(QStringLiteral("[MEASDLG]ClearMeasureData()"));
    m_pPageMeasurement->RefreshMeasResultList();
    m_bDispResult = TRUE;
    m_pDispResult->setChecked(true);
}

void CMeasureModeDlg::EnableMeasure(bool bEnable)
{
    m_bEnabled = bEnable;
    m_pPageMeasurement->SetEnabledFlag(bEnable);
    m_pPageCalibration->SetEnabledFlag(bEnable);
    m_pDispZoom->setEnabled(bEnable);
    m_pDispResult->setEnabled(bEnable);
}

void CMeasureModeDlg::SetDispZoomWindow(BOOL bShow)
{
    m_bDispZoomWindow = bShow ? TRUE : FALSE;
    m_pDispZoom->setChecked(bShow != FALSE);
}

void CMeasureModeDlg::PlaceBeside(const QRect& ownerFrame)
{
    adjustSize();
    QPoint pos(ownerFrame.right() + 1 + 12, ownerFrame.top() + 12);
    QScreen* pScreen = QGuiApplication::screenAt(ownerFrame.center());
    if (pScreen == nullptr) {
        pScreen = QGuiApplication::primaryScreen();
    }
    if (m_pSetting != nullptr && (m_pSetting->MeasWndLeft != 0 || m_pSetting->MeasWndTop != 0) &&
        QGuiApplication::screenAt(QPoint(m_pSetting->MeasWndLeft, m_pSetting->MeasWndTop)) != nullptr) {
        pos = QPoint(m_pSetting->MeasWndLeft, m_pSetting->MeasWndTop);
    }
    if (pScreen != nullptr) {
        const QRect area = pScreen->availableGeometry();
        const QSize size = frameGeometry().size();
        pos.setX(std::max(area.left(), std::min(pos.x(), area.right() + 1 - size.width())));
        pos.setY(std::max(area.top(), std::min(pos.y(), area.bottom() + 1 - size.height())));
    }
    move(pos);
    m_NormalPos = pos;
}

void CMeasureModeDlg::PlaceInside(const QRect& area, const QMargins& frame)
{
    adjustSize();
    const QSize least = minimumSizeHint().expandedTo(minimumSize());
    const QSize room(area.width() - frame.left() - frame.right(), area.height() - frame.top() - frame.bottom());
    resize(size().boundedTo(room).expandedTo(least));
    const QPoint pos(area.right() + 1 - (width() + frame.left() + frame.right()),
                     area.bottom() + 1 - (height() + frame.top() + frame.bottom()));
    move(pos);
    m_NormalPos = pos;
}

QWidget* CMeasureModeDlg::GetDlgItem(int nID) const
{
    switch (nID) {
    case IDC_TAB_MODE:
        return m_pTab;
    case IDC_CHECK_DISP_RESULT:
        return m_pDispResult;
    case IDC_CHECK_DISP_ZOOM:
        return m_pDispZoom;
    case IDC_STATIC_CALIB_NAME:
        return m_pCalibName;
    case IDC_STATIC_CALIB_VALUE:
        return m_pCalibValue;
    default:
        break;
    }
    if (QWidget* p = m_pPageMeasurement->GetDlgItem(nID)) {
        return p;
    }
    return m_pPageCalibration->GetDlgItem(nID);
}

void CMeasureModeDlg::closeEvent(QCloseEvent* pEvent)
{
    // The user cannot close the tool window; it goes with the main window.
    pEvent->ignore();
}

void CMeasureModeDlg::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::WindowStateChange) {
        if (isMinimized()) {
            Post(WM_MOVE_MEAS_MODE_DLG, WPARAM(m_NormalPos.x()), LPARAM(m_NormalPos.y()));
        } else {
            m_NormalPos = pos();
        }
    }
    QWidget::changeEvent(pEvent);
}

void CMeasureModeDlg::keyPressEvent(QKeyEvent* pEvent)
{
    if (m_pPageMeasurement->HandleEditKey(pEvent->key(), pEvent->modifiers())) {
        pEvent->accept();
        return;
    }
    if (SwallowEnterEscape(pEvent)) {
        return;
    }
    QWidget::keyPressEvent(pEvent);
}
