// The continuous-save threads on their own, against the simulated camera:
// the shortest interval on a fast clock while the live view takes frames and
// the resolution changes (run under ThreadSanitizer in CI), and series ids
// on the messages when a series is replaced at once.
#include "workflow/capture/CaptureMessages.h"
#include "workflow/capture/ContinueSave.h"

#include "camera/CameraCtrl.h"
#include "camera/ICubeApi.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <thread>

namespace {

// Runs kSpeed times faster than the steady clock.
class CFastClock : public ISeriesClock {
public:
    static constexpr int64_t kSpeed = 100;
    int64_t NowMs() override
    {
        using namespace std::chrono;
        return duration_cast<microseconds>(steady_clock::now() - m_Start).count() * kSpeed / 1000;
    }
    bool WaitUntil(int64_t nDueMs, const std::function<bool()>& fnStop) override
    {
        std::unique_lock<std::mutex> lock(m_Mutex);
        while (!fnStop()) {
            const int64_t nLeft = nDueMs - NowMs();
            if (nLeft <= 0) {
                return true;
            }
            m_Wake.wait_for(lock, std::chrono::microseconds(nLeft * 1000 / kSpeed + 1));
        }
        return false;
    }
    void Interrupt() override
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Wake.notify_all();
    }

private:
    const std::chrono::steady_clock::time_point m_Start = std::chrono::steady_clock::now();
    std::mutex m_Mutex;
    std::condition_variable m_Wake;
};

int ModeIndex(CCameraCtrl& c, int mode)
{
    for (int i = 0; i < c.GetModeCount(); ++i) {
        if (c.GetModeNumber(i) == mode) {
            return i;
        }
    }
    return -1;
}

bool HasEnd(CRecordingSink& sink, std::vector<POSTED_MESSAGE>& seen, uint64_t nId)
{
    for (const POSTED_MESSAGE& m : sink.Take()) {
        seen.push_back(m);
    }
    for (const POSTED_MESSAGE& m : seen) {
        if (m.nMessage == WM_END_SAVE_IMAGE_CONTINUE && uint64_t(m.lParam) == nId) {
            return true;
        }
    }
    return false;
}

// The simulated camera streaming at its smallest size, a folder for the
// pictures, and the series' clock and messages.
class CaptureThreads : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CICubeApi::Process().IsUsable());
        ASSERT_TRUE(m_Dir.isValid());
        ASSERT_TRUE(m_Camera.OpenCamera(0));
        ASSERT_TRUE(m_Camera.SetChangeResolution(ModeIndex(m_Camera, 0)));
        ASSERT_TRUE(m_Camera.StartStreaming(&m_Frames, WM_CAMERA_FRAME, WM_CAMERA_DISCONNECT));
    }
    // nCount pictures three seconds apart into folder.
    static CONTINUE_SAVE_PLAN Plan(int nCount, const QString& folder)
    {
        CONTINUE_SAVE_PLAN plan;
        plan.nCount = nCount;
        plan.nIntervalSec = 3;
        plan.folder = folder;
        return plan;
    }

    QTemporaryDir m_Dir;
    CRecordingSink m_Frames; // goes after the camera, which stops its stream when it goes
    CCameraCtrl m_Camera;
    CFastClock m_Clock;
    CRecordingSink m_Messages;
};

} // namespace

TEST_F(CaptureThreads, ShortestIntervalWhileFramesArriveAndTheResolutionChanges)
{
    const int small = ModeIndex(m_Camera, 0), large = ModeIndex(m_Camera, 1);
    CContinueSave save(m_Camera, &m_Messages, &m_Clock);
    CONTINUE_SAVE_PLAN plan = Plan(40, m_Dir.path() + QStringLiteral("/stress 連続\\"));
    ASSERT_TRUE(QDir().mkpath(m_Dir.path() + QStringLiteral("/stress 連続")));
    plan.nFileType = 0;
    plan.region = RECT{10, 10, 200, 150};
    plan.bGrey = true;
    const uint64_t nId = save.Start(plan);

    // The live view's side on this thread: taking frames and switching sizes.
    std::vector<uint8_t> shown;
    std::vector<POSTED_MESSAGE> seen;
    int nLoop = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!HasEnd(m_Messages, seen, nId) && std::chrono::steady_clock::now() < deadline) {
        shown.resize(1280 * 1024 * 3);
        m_Camera.ShotNewestImage(shown.data(), shown.size());
        if (++nLoop % 40 == 0) {
            ASSERT_TRUE(m_Camera.SetChangeResolution(nLoop % 80 == 0 ? small : large));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_TRUE(HasEnd(m_Messages, seen, nId));
    CONTINUE_SAVE_STATUS status;
    ASSERT_TRUE(save.GetStatus(nId, status));
    // Every tick is accounted for: saved, or skipped and counted.
    EXPECT_EQ(status.nTicks, 40);
    EXPECT_EQ(status.nSaved + status.nSkipped, 40);
    EXPECT_GT(status.nSaved, 0);
    const QStringList files = QDir(m_Dir.path() + QStringLiteral("/stress 連続")).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), status.nSaved);
    for (int i = 0; i < files.size(); ++i) {
        EXPECT_EQ(files[i], QStringLiteral("%1.bmp").arg(i + 1, 4, 10, QLatin1Char('0')));
        const QImage image(m_Dir.path() + QStringLiteral("/stress 連続/") + files[i]);
        // The region, on either size: never a torn or mixed frame size.
        EXPECT_EQ(image.size(), QSize(190, 140)) << files[i].toStdString();
        const QRgb px = image.pixel(5, 5);
        EXPECT_TRUE(qRed(px) == qGreen(px) && qGreen(px) == qBlue(px)) << "saved grey";
    }
    save.Quit();
    EXPECT_TRUE(m_Camera.StopStreaminig());
}

TEST_F(CaptureThreads, AReplacedSeriesNeverEndsTheNewOne)
{
    std::vector<uint8_t> probe(320 * 240 * 3);
    for (int i = 0; i < 2000 && !m_Camera.ShotImage(probe.data(), probe.size(), -1); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    CContinueSave save(m_Camera, &m_Messages, &m_Clock);
    CONTINUE_SAVE_PLAN plan = Plan(3, m_Dir.path());
    plan.title = QStringLiteral("R");
    std::vector<POSTED_MESSAGE> seen;
    // Where each series' start falls among the messages taken so far.
    std::map<uint64_t, size_t> startedAt;
    const auto drain = [&] {
        for (const POSTED_MESSAGE& m : m_Messages.Take()) {
            seen.push_back(m);
        }
    };
    // Series replaced again and again, each right after the start of the one before.
    uint64_t nLast = 0;
    for (int i = 0; i < 21; ++i) {
        drain();
        nLast = save.Start(plan);
        startedAt[nLast] = seen.size();
        std::this_thread::sleep_for(std::chrono::microseconds(500 * (i % 4)));
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!HasEnd(m_Messages, seen, nLast) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_TRUE(HasEnd(m_Messages, seen, nLast)) << "the last start was not lost";
    // A series may end before it is replaced, never after: an end of series
    // j taken only after series j + 2 started was posted after j + 1 started.
    int nLastEnds = 0;
    for (size_t i = 0; i < seen.size(); ++i) {
        const POSTED_MESSAGE& m = seen[i];
        if (m.nMessage != WM_END_SAVE_IMAGE_CONTINUE) {
            continue;
        }
        const uint64_t nId = uint64_t(m.lParam);
        nLastEnds += nId == nLast ? 1 : 0;
        EXPECT_EQ(m.wParam, 0u);
        const auto after = startedAt.find(nId + 2);
        if (after != startedAt.end()) {
            EXPECT_LT(i, after->second) << "series " << nId << " ended after it was replaced";
        }
    }
    EXPECT_EQ(nLastEnds, 1);
    CONTINUE_SAVE_STATUS status;
    ASSERT_TRUE(save.GetStatus(nLast, status));
    EXPECT_EQ(status.nSaved + status.nSkipped, 3);
    EXPECT_FALSE(save.GetStatus(nLast - 1, status));
    // Files of all series share the folder without overwriting: numbers run on.
    const QStringList files = QDir(m_Dir.path()).entryList(QDir::Files, QDir::Name);
    for (int i = 0; i < files.size(); ++i) {
        EXPECT_EQ(files[i], QStringLiteral("R_%1.jpg").arg(i + 1, 4, 10, QLatin1Char('0')));
    }
}
