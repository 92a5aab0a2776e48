// The platform layer: posted messages across threads, receivers that go away,
// the auto-reset event and run-time library loading.
#include "platform/DynamicLibrary.h"
#include "platform/MessageReceiver.h"
#include "platform/ModuleFolder.h"
#include "platform/SyncEvent.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace {

struct DELIVERY {
    POSTED_MESSAGE msg;
    std::thread::id thread;
};

// Records each message with the thread it arrived on; counts into a counter
// that outlives it, so a delivery after destruction would show.
class CThreadRecordingReceiver : public CMessageReceiver {
public:
    explicit CThreadRecordingReceiver(std::atomic<int>* pDelivered = nullptr) : m_pDelivered(pDelivered) {}
    std::vector<DELIVERY> m_Deliveries;

protected:
    void OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam) override
    {
        m_Deliveries.push_back({{nMessage, wParam, lParam}, std::this_thread::get_id()});
        if (m_pDelivered != nullptr) {
            ++*m_pDelivered;
        }
    }

private:
    std::atomic<int>* m_pDelivered;
};

// Dispatches posted events until fnDone holds; false if it never does.
template <typename FN>
bool PumpUntil(FN&& fnDone)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!fnDone()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    return true;
}

} // namespace

TEST(PostedMessages, KeepEachThreadsOrderLoseNothingAndArriveOnTheOwnersThread)
{
    constexpr int kThreads = 8;
    constexpr int kPerThread = 2000;
    CThreadRecordingReceiver receiver;
    std::atomic<int> refused{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> posters;
    for (int t = 0; t < kThreads; ++t) {
        posters.emplace_back([&, t] {
            while (!go.load()) {
                std::this_thread::yield();
            }
            for (int i = 0; i < kPerThread; ++i) {
                if (!platform::PostMessage(&receiver, WM_USER + 7, WPARAM(t), LPARAM(i))) {
                    ++refused;
                }
            }
        });
    }
    go = true;
    // Dispatch while the posters run, so delivery and posting interleave.
    ASSERT_TRUE(PumpUntil([&] { return receiver.m_Deliveries.size() >= size_t(kThreads) * kPerThread; }));
    for (std::thread& th : posters) {
        th.join();
    }
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(refused.load(), 0);
    ASSERT_EQ(receiver.m_Deliveries.size(), size_t(kThreads) * kPerThread); // none lost, none twice

    std::vector<LPARAM> next(kThreads, 0);
    const std::thread::id owner = std::this_thread::get_id();
    for (const DELIVERY& d : receiver.m_Deliveries) {
        EXPECT_EQ(d.msg.nMessage, WM_USER + 7);
        EXPECT_EQ(d.thread, owner);
        ASSERT_LT(d.msg.wParam, WPARAM(kThreads));
        ASSERT_EQ(d.msg.lParam, next[d.msg.wParam]) << "thread " << d.msg.wParam << " out of order";
        ++next[d.msg.wParam];
    }
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(next[size_t(t)], kPerThread);
    }

    EXPECT_FALSE(platform::PostMessage(nullptr, WM_USER, 0, 0));
}

TEST(PostedMessages, DestroyedReceiverDropsItsPendingMessages)
{
    // Other threads keep posting to both receivers while one is destroyed:
    // nothing reaches it afterwards, posts to it are refused, and the other
    // receiver gets each of its own.
    std::atomic<int> deliveredToGone{0};
    CThreadRecordingReceiver survivor;
    auto pGone = std::make_unique<CThreadRecordingReceiver>(&deliveredToGone);
    CMessageReceiver* pStale = pGone.get();
    std::atomic<bool> stop{false};
    std::atomic<int> accepted{0}, refusedAfter{0};
    std::atomic<int> survivorPosts{0};
    std::vector<std::thread> posters;
    for (int t = 0; t < 4; ++t) {
        posters.emplace_back([&] {
            while (!stop.load()) {
                if (platform::PostMessage(pStale, WM_USER + 1, 0, 0)) {
                    ++accepted;
                } else {
                    ++refusedAfter;
                }
                if (platform::PostMessage(&survivor, WM_USER + 2, 0, 0)) {
                    ++survivorPosts;
                }
            }
        });
    }
    while (accepted.load() < 1000) {
        std::this_thread::yield();
    }
    pGone.reset();
    while (refusedAfter.load() < 1000) {
        std::this_thread::yield();
    }
    stop = true;
    for (std::thread& th : posters) {
        th.join();
    }
    ASSERT_TRUE(PumpUntil([&] { return survivor.m_Deliveries.size() >= size_t(survivorPosts.load()); }));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(deliveredToGone.load(), 0);
    EXPECT_EQ(survivor.m_Deliveries.size(), size_t(survivorPosts.load()));
}

TEST(PostedMessages, OneOutstandingAtATimeKeepsOrder)
{
    CThreadRecordingReceiver receiver;
    // Several queued at once (the room taken): all arrive, in order, and the
    // room serves again afterwards.
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 5; ++i) {
            ASSERT_TRUE(platform::PostMessage(&receiver, WM_USER + 4, WPARAM(round), i));
        }
        QCoreApplication::sendPostedEvents(&receiver);
    }
    ASSERT_EQ(receiver.m_Deliveries.size(), 15u);
    for (size_t i = 0; i < 15; ++i) {
        EXPECT_EQ(receiver.m_Deliveries[i].msg.wParam, WPARAM(i / 5));
        EXPECT_EQ(receiver.m_Deliveries[i].msg.lParam, LPARAM(i % 5));
    }

    // From another thread, one at a time, against a receiver that is then
    // destroyed with its reused event still queued.
    auto pGone = std::make_unique<CThreadRecordingReceiver>();
    std::atomic<int> nDelivered{0};
    std::thread poster([&] {
        for (int i = 0; i < 500; ++i) {
            platform::PostMessage(pGone.get(), WM_USER + 5, 0, i);
            while (nDelivered.load() <= i) {
                std::this_thread::yield();
            }
        }
    });
    ASSERT_TRUE(PumpUntil([&] {
        nDelivered = int(pGone->m_Deliveries.size());
        return nDelivered.load() >= 500;
    }));
    poster.join();
    for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(pGone->m_Deliveries[size_t(i)].msg.lParam, LPARAM(i));
    }
    ASSERT_TRUE(platform::PostMessage(pGone.get(), WM_USER + 5, 0, 0));
    pGone.reset(); // frees the room with the event in it
    QCoreApplication::sendPostedEvents();
}

TEST(AutoResetEvent, ReleasesOneWaiterPerSetAndTimesOut)
{
    platform::AutoResetEvent ev;

    // Unsignalled: a wait times out, and not before its time.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(ev.Wait(50));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
    EXPECT_FALSE(ev.Wait(0));

    // A signal waits for its waiter and is used up by it; two Sets with no
    // waiter between them are one signal; Reset takes it back.
    ev.Set();
    ev.Set();
    EXPECT_TRUE(ev.Wait(0));
    EXPECT_FALSE(ev.Wait(0));
    ev.Set();
    ev.Reset();
    EXPECT_FALSE(ev.Wait(0));

    // One Set among four waiters releases exactly one of them.
    std::atomic<int> released{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 4; ++i) {
        waiters.emplace_back([&] {
            if (ev.Wait(300)) {
                ++released;
            }
        });
    }
    ev.Set();
    for (std::thread& th : waiters) {
        th.join();
    }
    EXPECT_EQ(released.load(), 1);
    EXPECT_FALSE(ev.Wait(0));

    // An endless wait ends with the Set.
    std::atomic<bool> done{false};
    std::thread waiter([&] {
        ev.Wait();
        done = true;
    });
    ev.Set();
    waiter.join();
    EXPECT_TRUE(done.load());
}

// (A missing file and missing names are met through the camera library's
// binding; a file that is no library only here.)
TEST(DynamicLibrary, AFileThatIsNoLibraryIsRefusedAndUnloadForgetsNames)
{
    platform::DynamicLibrary lib;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fake = dir.filePath(platform::LibraryFileName(QStringLiteral("Fake")));
    {
        QFile f(fake);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a library\n");
    }
    EXPECT_FALSE(lib.Load(fake));
    EXPECT_FALSE(lib.IsLoaded());
    EXPECT_FALSE(lib.ErrorText().isEmpty());

    ASSERT_TRUE(lib.Load(platform::GetModuleFolder() + platform::LibraryFileName(QStringLiteral("ICubeSDK"))))
        << lib.ErrorText().toStdString();
    EXPECT_NE(lib.Symbol("ICubeSDK_Init"), nullptr);
    lib.Unload();
    EXPECT_FALSE(lib.IsLoaded());
    EXPECT_EQ(lib.Symbol("ICubeSDK_Init"), nullptr);
}

int main(int argc, char** argv)
{
    // Posted messages are dispatched by the core application's event loop.
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
