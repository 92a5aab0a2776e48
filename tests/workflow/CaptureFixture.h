// The main window against the simulated camera, with the message boxes, the
// file dialog and the continuous-save clock answered by the test.
#pragma once

#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/QSFileAccess.h"
#include "app/SystemSetting.h"
#include "app/dialogs/MessageBox.h"
#include "camera/ICubeApi.h"
#include "platform/ModuleFolder.h"
#include "workflow/PixmetraDlg.h"
#include "workflow/capture/SeriesClock.h"

#include <QAbstractButton>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

// A clock that moves only when the test says so.
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
        ++m_nWaiters;
        m_Wake.wait(lock, [&] { return fnStop() || m_nNow >= nDueMs; });
        --m_nWaiters;
        return !fnStop();
    }
    void Interrupt() override
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
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
        return m_nWaiters;
    }

private:
    std::mutex m_Mutex;
    std::condition_variable m_Wake;
    int64_t m_nNow = 1000000;
    int m_nWaiters = 0;
};

class CCaptureBoxes : public IMessageBoxProvider {
public:
    int ShowMessageBox(QWidget*, const QString& text, const QString&, UINT) override
    {
        Texts.push_back(text);
        return nAnswer;
    }
    std::vector<QString> Texts;
    int nAnswer = IDOK;
};

// Answers each file dialog with the next path (empty: cancel); the save
// dialog's own overwrite question is answered with bOverwrite.
class CCaptureFiles : public IFileDialogProvider {
public:
    QString SelectFile(BOOL bOpen, const QString&, const QString&, const QString&, BOOL bOverwritePrompt) override
    {
        QString path;
        if (!Paths.empty()) {
            path = Paths.front();
            Paths.pop_front();
        }
        if (!bOpen && bOverwritePrompt && QFile::exists(path)) {
            ++nOverwriteAsked;
            if (!bOverwrite) {
                return QString();
            }
        }
        return path;
    }
    QString SelectFolder(const QString&) override { return QString(); }
    std::deque<QString> Paths;
    bool bOverwrite = true;
    int nOverwriteAsked = 0;
};

class CaptureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Dir.isValid());
        ASSERT_TRUE(CICubeApi::Process().IsUsable());
        platform::SetModuleFolderForTest(m_Dir.path() + QLatin1Char('/'), QStringLiteral("Pixmetra"));
        SetMessageBoxProvider(&m_Boxes);
        CQSFileAccess::SetDialogProvider(&m_Files);
        ASSERT_TRUE(m_Log.Open(m_Dir.path() + QStringLiteral("/Log"), 1));
        SetProgramLog(&m_Log);
        qputenv("PIXMETRA_SIMCAM_CAMERAS", "1");
        using SetFaultFn = void (*)(const char*, int);
        auto fn = reinterpret_cast<SetFaultFn>(CICubeApi::Process().Symbol("ICubeSim_SetFault"));
        ASSERT_NE(fn, nullptr);
        for (const char* f : {"open_error", "disconnect_after", "broken_every"}) {
            fn(f, 0);
        }
        fn("name_error", -1);
        fn("fps", 60);
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
    }

    void WriteSettings(const std::function<void(SYSTEM_SETTING&)>& fn)
    {
        SYSTEM_SETTING s;
        SetDefaultSystemSetting(s);
        fn(s);
        ASSERT_TRUE(SaveSystemSetting(s));
    }

    CPixmetraDlg& Start(const char* pszCameras = "1")
    {
        qputenv("PIXMETRA_SIMCAM_CAMERAS", pszCameras);
        MAIN_WINDOW_OPTIONS options;
        options.pSeriesClock = &m_Clock;
        m_pDlg = std::make_unique<CPixmetraDlg>(nullptr, options);
        m_pDlg->OnInitDialog();
        m_pDlg->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_pDlg.get()));
        return *m_pDlg;
    }

    QAbstractButton* Button(int nID) { return qobject_cast<QAbstractButton*>(m_pDlg->GetDlgItem(nID)); }

    QString LogText()
    {
        QFile f(m_Log.GetFilePath());
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
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

    QTemporaryDir m_Dir;
    CCaptureBoxes m_Boxes;
    CCaptureFiles m_Files;
    CLogFile m_Log;
    CManualSeriesClock m_Clock;
    std::unique_ptr<CPixmetraDlg> m_pDlg;
};
