// The main window driven through its real widgets against the simulated
// camera: a temporary program folder with its log, message boxes and file
// dialogs answered by the test, modal dialogs answered from inside their own
// loop, clicks at image points, and a continuous-save clock the test moves.
#pragma once

#include "RecordingProviders.h"
#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/SystemSetting.h"
#include "app/WriteFailureText.h"
#include "app/dialogs/SetLengthDlg.h"
#include "camera/SimCam.h"
#include "engine/LayeredWnd.h"
#include "engine/OverlayMessages.h"
#include "engine/kinds/MeasureKindInfo.h"
#include "platform/ModuleFolder.h"
#include "simcam/TestPattern.h"
#include "workflow/MainControls.h"
#include "workflow/MainStrings.h"
#include "workflow/calibration/CalibrationTable.h"
#include "workflow/capture/CaptureStrings.h"
#include "workflow/PixmetraDlg.h"
#include "workflow/capture/SeriesClock.h"
#include "workflow/toolwnd/MeasureModeDlg.h"
#include "workflow/toolwnd/PageCalibration.h"
#include "workflow/toolwnd/PageMeasurement.h"
#include "workflow/toolwnd/ToolControls.h"
#include "workflow/toolwnd/ToolStrings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// A clock that moves only when the test says so. A wait counts as ready
// only once it has looked at its stop condition since the last Interrupt:
// a wait that a stop has already ended but whose thread has not yet woken
// would otherwise let the test move the clock before a new series reads
// its start time.
class CManualSeriesClock : public ISeriesClock {
public:
    int64_t NowMs() override
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        return m_nNow;
    }
    bool WaitUntil(int64_t nDueMs, const std::function<bool()>& fnStop) override
    {
        std::unique_lock<std::mutex> lock(m_Mutex);
        const auto look = m_Looks.insert(m_Looks.end(), m_nInterrupts);
        m_Wake.wait(lock, [&] {
            *look = m_nInterrupts;
            return fnStop() || m_nNow >= nDueMs;
        });
        m_Looks.erase(look);
        return !fnStop();
    }
    void Interrupt() override
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        ++m_nInterrupts;
        m_Wake.notify_all();
    }
    void Advance(int64_t nMs)
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_nNow += nMs;
        m_Wake.notify_all();
    }
    int Waiters()
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        return int(std::count(m_Looks.begin(), m_Looks.end(), m_nInterrupts));
    }

private:
    std::mutex m_Mutex;
    std::condition_variable m_Wake;
    int64_t m_nNow = 1000000;
    // Per wait in progress, the Interrupt count it last looked at.
    std::list<uint64_t> m_Looks;
    uint64_t m_nInterrupts = 0;
};

class MainWndTestBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Dir.isValid());
        ASSERT_TRUE(CICubeApi::Process().IsUsable()) << CICubeApi::Process().LoadedPath().toStdString();
        platform::SetModuleFolderForTest(m_Dir.path() + QLatin1Char('/'), QStringLiteral("Pixmetra"));
        SetMessageBoxProvider(&m_Boxes);
        CQSFileAccess::SetDialogProvider(&m_Files);
        ASSERT_TRUE(m_Log.Open(m_Dir.path() + QStringLiteral("/Log"), 1));
        SetProgramLog(&m_Log);
        ResetSimFaults();
    }
    void TearDown() override
    {
        m_pDlg.reset();
        SetProgramLog(nullptr);
        m_Log.Close();
        CQSFileAccess::SetDialogProvider(nullptr);
        SetMessageBoxProvider(nullptr);
        platform::SetModuleFolderForTest(QString());
        qunsetenv("PIXMETRA_SIMCAM_CAMERAS");
        ResetSimFaults();
    }
    // Faults this or another suite may have left in the simulated camera.
    static void ResetSimFaults()
    {
        for (const char* f : {"open_error", "disconnect_after", "broken_every", "avi_stop_after", "avi_riff_limit",
                              "avi_second_ms"}) {
            SetSimFault(f, 0);
        }
        SetSimFault("name_error", -1);
        SetSimFault("fps", 60);
        SetSimApiVersion("1.0.4.2");
    }
    // The settings file as fn leaves the defaults.
    static void WriteSettings(const std::function<void(SYSTEM_SETTING&)>& fn)
    {
        SYSTEM_SETTING s;
        SetDefaultSystemSetting(s);
        fn(s);
        ASSERT_TRUE(SaveSystemSetting(s));
    }
    CPixmetraDlg& StartWindow(const MAIN_WINDOW_OPTIONS& options = MAIN_WINDOW_OPTIONS())
    {
        m_pDlg = std::make_unique<CPixmetraDlg>(nullptr, options);
        m_pDlg->OnInitDialog();
        m_pDlg->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_pDlg.get()));
        return *m_pDlg;
    }
    static void UseCameras(int n) { qputenv("PIXMETRA_SIMCAM_CAMERAS", QByteArray::number(n)); }

    // A still picture of 24-bit rows (padded to the bitmap stride).
    void ShowPixels(const std::vector<uint8_t>& pixels, int w, int h)
    {
        CPixmetraDlg& dlg = *m_pDlg;
        ASSERT_TRUE(dlg.Parts().live.Image().SetImage(pixels.data(), IMAGE_INFO{24, w, h}));
        ASSERT_TRUE(dlg.Parts().pOverlay->Initialise(w, h, 1.0));
        dlg.Parts().view.ResetPictureView(IMAGE_INFO{24, w, h});
        dlg.UpdateButtons();
    }

    QAbstractButton* Button(int nID) { return qobject_cast<QAbstractButton*>(m_pDlg->GetDlgItem(nID)); }
    // A button of the tool window, or else of its calibration page.
    QAbstractButton* ToolButton(int nID)
    {
        QWidget* p = m_pDlg->Parts().pTool->GetDlgItem(nID);
        if (p == nullptr) {
            p = m_pDlg->Parts().pTool->PageCalibration()->GetDlgItem(nID);
        }
        return qobject_cast<QAbstractButton*>(p);
    }

    QPoint WindowPoint(POINT ptImage)
    {
        POINT w{};
        EXPECT_TRUE(m_pDlg->Parts().geometry.ImageToWindow(ptImage, &w));
        return QPoint(w.x, w.y);
    }
    void ClickImage(POINT ptImage, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(m_pDlg->Parts().pOverlay, button, Qt::NoModifier, WindowPoint(ptImage));
    }

    // Handles every message posted so far and those they post in turn: what
    // a click sets off is done, with no time allowed for it.
    static void HandlePosted() { QCoreApplication::sendPostedEvents(); }

    // Waits until the message line shows string nID.
    bool WaitForMessage(UINT nID)
    {
        return QTest::qWaitFor([&] { return m_pDlg->GetMessageText() == GetProgramString(nID); }, 3000);
    }

    // The start button of kind nKind, then clicks at image points (a
    // right click at *pFinish ends an open input); waits for nRows new rows.
    void MeasureWith(int32_t nKind, std::initializer_list<POINT> clicks, size_t nRows = 1,
                     const POINT* pFinish = nullptr)
    {
        CPixmetraDlg& dlg = *m_pDlg;
        const size_t before = dlg.Parts().measure.Results().size();
        QTest::mouseClick(ToolButton(MeasureKindButton(nKind)), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().pOverlay->Input().IsMakingShape(); }, 2000));
        for (POINT pt : clicks) {
            ClickImage(pt);
        }
        if (pFinish != nullptr) {
            ClickImage(*pFinish, Qt::RightButton);
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().measure.Results().size() == before + nRows; }, 2000))
            << "kind " << nKind << " left " << dlg.Parts().measure.Results().size() - before << " rows";
        // What the new result posts (its row's selection, the redraw) is
        // handled now, not in the middle of the test's next step.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }

    // Calibration slot in use enabled at one unit per pixel (in the tool
    // window's working table too, which leaving its tab commits), and the
    // measurement tab shown.
    void MeasureInPixels(CPixmetraDlg& dlg)
    {
        CALIBRATION_SETTING& cal = dlg.Parts().setting.Calibration[dlg.Parts().setting.CalibrationIndex];
        cal.bEnable = TRUE;
        cal.Calibration = 1.0;
        dlg.Parts().pTool->PageCalibration()->ReloadFromSetting();
        dlg.UpdateButtons();
        dlg.Parts().pTool->SelChangeTab(MEAS_TAB_MEASUREMENT);
    }

    // A distance from image point a to b under an enabled calibration; its value.
    double MeasureDistance(CPixmetraDlg& dlg, POINT a, POINT b)
    {
        dlg.Parts().setting.Calibration[dlg.Parts().setting.CalibrationIndex].bEnable = TRUE;
        dlg.UpdateButtons();
        dlg.Parts().pTool->SelChangeTab(MEAS_TAB_MEASUREMENT);
        MeasureWith(MEAS_LENGTH, {a, b});
        return dlg.Parts().measure.Results().empty() ? -1.0 : dlg.Parts().measure.Results().back().dValue;
    }

    QString LogText()
    {
        QFile f(m_Log.GetFilePath());
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }

    // Runs fn on the dialog of type T once it is the modal window, from
    // inside its own event loop; one that never comes fails the test.
    template <class T>
    static void WhenModal(std::function<void(T*)> fn)
    {
        auto* pTimer = new QTimer;
        auto nTries = std::make_shared<int>(0);
        QObject::connect(pTimer, &QTimer::timeout, [pTimer, nTries, fn] {
            auto* p = qobject_cast<T*>(QApplication::activeModalWidget());
            if (p == nullptr && ++*nTries <= 500) {
                return;
            }
            pTimer->stop();
            pTimer->deleteLater();
            if (p == nullptr) {
                ADD_FAILURE() << "dialog never shown";
            } else {
                fn(p);
            }
        });
        pTimer->start(10);
    }
    // Answers the next modal T: its field edit typed over with text and OK,
    // or Cancel when text is empty; fnSeen sees the dialog as it came.
    template <class T>
    void AnswerEdit(const char* edit, const QString& text, std::function<void(T*, QLineEdit*)> fnSeen = nullptr)
    {
        m_bAnswered = false;
        WhenModal<T>([this, edit, text, fnSeen](T* pDlg) {
            auto* pEdit = pDlg->template findChild<QLineEdit*>(QLatin1String(edit));
            if (fnSeen) {
                fnSeen(pDlg, pEdit);
            }
            if (!text.isEmpty()) {
                pEdit->setText(text);
            }
            QTest::mouseClick(pDlg->template findChild<QAbstractButton*>(text.isEmpty() ? QStringLiteral("IDCANCEL")
                                                                                         : QStringLiteral("IDOK")),
                              Qt::LeftButton);
            m_bAnswered = true;
        });
    }

    QTemporaryDir m_Dir;
    CRecordingBoxes m_Boxes;
    CChosenFile m_Files;
    CLogFile m_Log;
    std::unique_ptr<CPixmetraDlg> m_pDlg;
    bool m_bAnswered = false;
};

// The simulated camera's still picture of 1280 x 1024, calibrated on its
// ruler (1000 px = 1 mm) where a test asks.
class CalibrationFlowTest : public MainWndTestBase {
protected:
    static constexpr int kWidth = 1280;
    static constexpr int kHeight = 1024;

    // The main window showing the still frame, no calibration yet.
    CPixmetraDlg& Start()
    {
        UseCameras(0);
        CPixmetraDlg& dlg = StartWindow();
        simcam::CTestPattern pattern;
        pattern.Render(kWidth, kHeight, simcam::PATTERN_LOOK{});
        simcam::CTestPattern::StillOffset(m_nOffsetX, m_nOffsetY);
        std::vector<uint8_t> frame(size_t(kWidth) * kHeight * 3);
        pattern.CutFrame(frame.data(), m_nOffsetX, m_nOffsetY, false, 0);
        ShowPixels(frame, kWidth, kHeight);
        return dlg;
    }

    // Answers the next reference length dialog with text (OK) or cancels it (empty text).
    void AnswerLengthDialog(const QString& text)
    {
        AnswerEdit<CSetLengthDlg>("IDC_EDIT_LENGTH", text,
                                  [this](CSetLengthDlg* pDlg, QLineEdit*) { m_UnitShown = pDlg->m_UnitText; });
    }

    // Image point of world point (x, y) of the pattern.
    POINT Img(double x, double y) const
    {
        return POINT{int(std::lround(x - m_nOffsetX)), int(std::lround(y - m_nOffsetY))};
    }

    // The ruler's ticks at 0 and 1000 px, halfway down its long ticks.
    void RulerPoints(POINT& p0, POINT& p1000) const
    {
        const int worldH = kHeight + simcam::kWorldMargin;
        const double rulerY = worldH - simcam::kWorldMargin / 2 - 60 + 20;
        p0 = Img(100, rulerY);
        p1000 = Img(1100, rulerY);
    }

    // Slot 0 set to the ruler's 1000 px = 1 mm by a 2-point reference line.
    void CalibrateRulerInMillimetres()
    {
        CPixmetraDlg& dlg = *m_pDlg;
        POINT p0{}, p1000{};
        RulerPoints(p0, p1000);
        QTest::mouseClick(ToolButton(IDC_RADIO_UNIT_MM), Qt::LeftButton);
        QTest::mouseClick(ToolButton(IDC_BTN_SET_CALIBRATION), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().pOverlay->Input().IsCalibrating(); }, 2000));
        AnswerLengthDialog(QStringLiteral("1.0"));
        ClickImage(p0);
        ClickImage(p1000);
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_bAnswered && dlg.Parts().setting.Calibration[0].bEnable; }, 5000));
        HandlePosted();
    }

    int m_nOffsetX = 0, m_nOffsetY = 0;
    QString m_UnitShown;
};

// Capture through the main window, message boxes answered OK and the
// continuous-save clock moved by the test.
class CaptureTest : public MainWndTestBase {
protected:
    void SetUp() override
    {
        MainWndTestBase::SetUp();
        m_Boxes.nAnswer = IDOK;
    }

    CPixmetraDlg& Start(int nCameras = 1)
    {
        UseCameras(nCameras);
        MAIN_WINDOW_OPTIONS options;
        options.pSeriesClock = &m_Clock;
        return StartWindow(options);
    }

    // Lets the interval thread reach its wait, then moves the clock on.
    bool AdvanceClock(int64_t nMs)
    {
        if (!QTest::qWaitFor([&] { return m_Clock.Waiters() > 0; }, 5000)) {
            return false;
        }
        m_Clock.Advance(nMs);
        return true;
    }

    CManualSeriesClock m_Clock;
};

// Two cameras at 30 fps for the camera adjustment and settings windows.
class SettingsFlowTest : public MainWndTestBase {
protected:
    void SetUp() override
    {
        MainWndTestBase::SetUp();
        m_Boxes.nAnswer = IDOK;
        SetSimFault("fps", 30);
        UseCameras(2);
    }

    CPixmetraDlg& Start(const MAIN_WINDOW_OPTIONS& options = MAIN_WINDOW_OPTIONS()) { return StartWindow(options); }

    // A frame delivered after this call, copied out of the ring.
    static std::vector<uint8_t> NextFrame(CCameraCtrl& camera, int nAfter = 2)
    {
        const uint64_t n = camera.GetFramesDelivered();
        for (int i = 0; i < 3000 && camera.GetFramesDelivered() < n + uint64_t(nAfter); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        int32_t w = 0, h = 0, nSize = 0;
        camera.GetImageSize(w, h, nullptr, &nSize);
        std::vector<uint8_t> frame(size_t(nSize), 0);
        camera.ShotImage(frame.data(), -1);
        return frame;
    }
};

// The aids drawn over the picture (cross lines, scale bar, magnifier) at 30 fps.
class OverlayAidsTest : public MainWndTestBase {
protected:
    void SetUp() override
    {
        MainWndTestBase::SetUp();
        m_Boxes.nAnswer = IDOK;
        SetSimFault("fps", 30);
    }

    CPixmetraDlg& Start(int nCameras)
    {
        UseCameras(nCameras);
        return StartWindow();
    }

    // A still picture whose pixel (x, y) is R = x, G = y, B = 30 (each modulo 256).
    void ShowStill(int w, int h)
    {
        const int stride = CAccImage::GetStride(w, 24);
        std::vector<uint8_t> pixels(size_t(stride) * size_t(h));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                uint8_t* p = &pixels[size_t(y) * size_t(stride) + size_t(x) * 3];
                p[0] = 30;
                p[1] = uint8_t(y);
                p[2] = uint8_t(x);
            }
        }
        ShowPixels(pixels, w, h);
    }
};
