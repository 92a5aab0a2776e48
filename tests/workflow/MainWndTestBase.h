// What every test of the main window needs: a temporary program folder with
// its log, message boxes and file dialogs answered by the test, the
// simulated camera's faults reset, and the window started and shown.
#pragma once

#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/QSFileAccess.h"
#include "app/SystemSetting.h"
#include "app/dialogs/MessageBox.h"
#include "camera/ICubeApi.h"
#include "platform/ModuleFolder.h"
#include "workflow/PixmetraDlg.h"
#include "workflow/toolwnd/MeasureModeDlg.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

// Records each message box and answers nAnswer.
class CRecordingBoxes : public IMessageBoxProvider {
public:
    int ShowMessageBox(QWidget*, const QString& text, const QString&, UINT) override
    {
        Texts.push_back(text);
        return nAnswer;
    }
    std::vector<QString> Texts;
    int nAnswer = IDYES;
};

// Answers each file dialog with the next queued path, else Path (empty:
// cancel). Like the real save dialog it asks before replacing a file, and
// declining cancels it.
class CChosenFile : public IFileDialogProvider {
public:
    QString SelectFile(BOOL bOpen, const QString& defExt, const QString&, const QString& filter,
                       BOOL bOverwritePrompt) override
    {
        bLastOpen = bOpen;
        bLastOverwritePrompt = bOverwritePrompt;
        Ext = defExt;
        Filter = filter;
        QString path = Path;
        if (!Paths.empty()) {
            path = Paths.front();
            Paths.pop_front();
        }
        if (!bOpen && bOverwritePrompt && QFile::exists(path)) {
            ++nOverwriteAsked;
            if (bDeclineOverwrite) {
                return QString();
            }
        }
        return path;
    }
    QString SelectFolder(const QString&) override { return QString(); }
    QString Path;
    std::deque<QString> Paths;
    QString Ext, Filter;
    BOOL bLastOpen = FALSE;
    BOOL bLastOverwritePrompt = FALSE;
    bool bDeclineOverwrite = false;
    int nOverwriteAsked = 0;
};

// A fault of the simulated camera library (see ICubeSim_SetFault).
inline void SetSimFault(const char* name, int value)
{
    using SetFaultFn = void (*)(const char*, int);
    auto fn = reinterpret_cast<SetFaultFn>(CICubeApi::Process().Symbol("ICubeSim_SetFault"));
    ASSERT_NE(fn, nullptr);
    fn(name, value);
}

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

    // A distance from image point a to b, clicked on the overlay after the
    // tool window's distance button.
    void MeasureDistance(CPixmetraDlg& dlg, POINT a, POINT b)
    {
        const size_t before = dlg.Results().size();
        dlg.Setting().Calibration[dlg.Setting().CalibrationIndex].bEnable = TRUE;
        dlg.UpdateButtons();
        dlg.MeasureModeDlg()->SelChangeTab(MEAS_TAB_MEASUREMENT);
        for (QPushButton* p : dlg.findChildren<QPushButton*>()) {
            if (p->text() == GetProgramString(165)) {
                QTest::mouseClick(p, Qt::LeftButton);
            }
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Overlay()->Input().IsMakingShape(); }, 2000));
        for (POINT pt : {a, b}) {
            POINT w{};
            ASSERT_TRUE(dlg.Geometry().ImageToWindow(pt, &w));
            QTest::mouseClick(dlg.Overlay(), Qt::LeftButton, Qt::NoModifier, QPoint(w.x, w.y));
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Results().size() > before; }, 2000));
    }

    QTemporaryDir m_Dir;
    CRecordingBoxes m_Boxes;
    CChosenFile m_Files;
    CLogFile m_Log;
    std::unique_ptr<CPixmetraDlg> m_pDlg;
};
