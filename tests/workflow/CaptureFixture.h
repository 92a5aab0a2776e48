// The main window against the simulated camera, with the message boxes, the
// file dialog and the continuous-save clock answered by the test.
#pragma once

#include "MainWndTestBase.h"
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

class CaptureTest : public MainWndTestBase {
protected:
    void SetUp() override
    {
        MainWndTestBase::SetUp();
        m_Boxes.nAnswer = IDOK;
    }

    CPixmetraDlg& Start(const char* pszCameras = "1")
    {
        qputenv("PIXMETRA_SIMCAM_CAMERAS", pszCameras);
        MAIN_WINDOW_OPTIONS options;
        options.pSeriesClock = &m_Clock;
        return StartWindow(options);
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

    CManualSeriesClock m_Clock;
};
