#include "camera/CameraCtrl.h"
#include "camera/SimCam.h"
#include "platform/ModuleFolder.h"

#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <vector>

namespace {

void ResetFaults()
{
    for (const char* f : {"open_error", "disconnect_after", "broken_every", "no_onepush", "wb_never", "sway"}) {
        SetSimFault(f, 0);
    }
    SetSimFault("name_error", -1);
    SetSimFault("fps", 100);
    SetSimApiVersion("1.0.4.2");
}

size_t Count(const std::vector<POSTED_MESSAGE>& v, UINT msg)
{
    size_t n = 0;
    for (const auto& m : v) {
        n += m.nMessage == msg;
    }
    return n;
}

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CICubeApi::Process().IsUsable()) << CICubeApi::Process().LoadedPath().toStdString();
        ResetFaults();
    }
    int ModeIndex(CCameraCtrl& c, int mode)
    {
        for (int i = 0; i < c.GetModeCount(); ++i) {
            if (c.GetModeNumber(i) == mode) {
                return i;
            }
        }
        return -1;
    }
};

} // namespace

TEST(ICubeApiBinding, LoadingOrderAndMissingEntryPoints)
{
    const QString bin = platform::GetModuleFolder();
    QTemporaryDir empty;
    CICubeApi none;
    EXPECT_FALSE(none.Load(empty.path()));
    CCameraCtrl noCamera(&none);
    EXPECT_FALSE(noCamera.IsLibraryLoaded());
    EXPECT_EQ(noCamera.GetCameraCount(), 0);
    EXPECT_EQ(noCamera.GetLastError(), 1);
    EXPECT_FALSE(noCamera.OpenCamera(0));

    CICubeApi only64;
    ASSERT_TRUE(only64.Load(bin + "simcam-64"));
    EXPECT_TRUE(only64.LoadedPath().endsWith("libICubeSDK64.so"));
    char version[16] = {};
    ASSERT_EQ(only64.ICubeSDK_GetVersion(0, version), 0);
    EXPECT_STREQ(version, "6.4.0.0");

    // With both present, the second name is never tried.
    QTemporaryDir both;
    ASSERT_TRUE(QFile::copy(bin + "libICubeSDK.so", both.filePath("libICubeSDK.so")));
    ASSERT_TRUE(QFile::copy(bin + "simcam-64/libICubeSDK64.so", both.filePath("libICubeSDK64.so")));
    CICubeApi primary;
    ASSERT_TRUE(primary.Load(both.path()));
    EXPECT_TRUE(primary.LoadedPath().endsWith("/libICubeSDK.so"));
    ASSERT_EQ(primary.ICubeSDK_GetVersion(0, version), 0);
    EXPECT_STREQ(version, "2.0.1.0");

    // A library without some of the entry points the program calls is unusable.
    CICubeApi partial;
    ASSERT_TRUE(partial.Load(bin + "simcam-partial"));
    EXPECT_FALSE(partial.IsUsable());
    EXPECT_TRUE(partial.MissingEntryPoints().contains("ICubeSDK_GetExposure"));
    EXPECT_TRUE(partial.MissingEntryPoints().contains("ICubeSDK_SetCallbackEx"));
    CCameraCtrl unusable(&partial);
    EXPECT_EQ(unusable.GetCameraCount(), 0);
    EXPECT_EQ(unusable.GetLastError(), 1);
    EXPECT_FALSE(unusable.OpenCamera(0));
    BOOL bAuto = FALSE;
    double ms = 0;
    EXPECT_FALSE(unusable.GetExposure(bAuto, ms));
}

TEST(ICubeApiBinding, VersionRuleAndResultTexts)
{
    EXPECT_EQ(InterfaceVersionNumber("1.0.3.7"), 1037);
    EXPECT_FALSE(IsInterfaceVersionSupported("1.0.3.7"));
    EXPECT_TRUE(IsInterfaceVersionSupported("1.0.3.8"));
    EXPECT_TRUE(IsInterfaceVersionSupported("1.1.0.0"));
    EXPECT_FALSE(IsInterfaceVersionSupported(""));
    EXPECT_FALSE(IsInterfaceVersionSupported("x.y"));
    EXPECT_EQ(GetICubeErrorText(ICUBE_ERR_CONFIG_CORRUPT), QStringLiteral("config data is corrupt"));
    EXPECT_EQ(GetICubeErrorText(-26), QString());
    EXPECT_EQ(CCameraCtrl::ToSdkParamId(0), 7);
    EXPECT_EQ(CCameraCtrl::ToSdkParamId(24), 116);
    EXPECT_EQ(CCameraCtrl::ToSdkParamId(25), 0);
}

TEST_F(CameraTest, ListsOpensAndRecoversFromCorruptConfiguration)
{
    CCameraCtrl c;
    ASSERT_EQ(c.GetCameraCount(), 2);
    EXPECT_TRUE(c.GetCameraName(0).contains("4133"));
    EXPECT_EQ(c.GetCameraName(2), QString());
    EXPECT_TRUE(c.IsApiVersionSupported());
    EXPECT_FALSE(c.GetSerialNum(0).isEmpty());
    SetSimFault("open_error", ICUBE_ERR_CONFIG_CORRUPT);
    ASSERT_TRUE(c.OpenCamera(0));
    EXPECT_EQ(SimCount(0, 143), 1); // configuration reset
    EXPECT_EQ(SimCount(0, -1), 2);  // opened twice
    EXPECT_EQ(SimCount(0, 43), 1);  // the 4133 model fix
    EXPECT_TRUE(c.OpenCamera(0));   // already open: no reopen
    EXPECT_EQ(SimCount(0, -1), 2);
    int32_t w = 0, h = 0, size = 0;
    BOOL bColor = FALSE;
    ASSERT_TRUE(c.GetImageSize(w, h, &bColor, &size));
    EXPECT_EQ(w, 2592);
    EXPECT_EQ(h, 1944);
    EXPECT_TRUE(bColor);
    EXPECT_EQ(size, 2592 * 1944 * 3);
    EXPECT_FALSE(c.OpenCamera(2));
    ASSERT_TRUE(c.OpenCamera(1)); // switches cameras
    EXPECT_FALSE(c.IsColorCamera());
    EXPECT_TRUE(c.m_bGrayDisplay);
    EXPECT_EQ(SimCount(1, 43), 0);
    ASSERT_TRUE(c.CloseCamera());
    EXPECT_FALSE(c.GetImageSize(w, h));

    // A naming error offers no camera (an old interface: the window's start).
    SetSimFault("name_error", 1);
    CCameraCtrl broken;
    EXPECT_EQ(broken.GetCameraCount(), 0);
    EXPECT_NE(broken.GetLastError(), 0);
    SetSimFault("name_error", -1);
}

// (Values read back, automatic exposure, black level and the flips through
// the camera adjustment window: the window suite.)
TEST_F(CameraTest, ParametersWithAutomaticModes)
{
    CCameraCtrl c;
    ASSERT_TRUE(c.OpenCamera(0));
    ASSERT_TRUE(c.SetCameraParam(0, 0, TRUE));
    int32_t v = -5;
    ASSERT_TRUE(c.GetCameraParam(0, v)); // automatic: the value is left as it was
    EXPECT_EQ(v, -5);
    BOOL bEnable = FALSE;
    CAMERA_PARAM_INFO info{};
    ASSERT_TRUE(c.GetCameraParam(2, bEnable, info)); // black level, automatic by default
    EXPECT_TRUE(info.bAutoDefault);
    EXPECT_EQ(info.nMax, 255);
    ASSERT_TRUE(c.SetCameraParam(6, TRUE)); // flip
    ASSERT_TRUE(c.GetCameraParam(6, bEnable, info));
    EXPECT_TRUE(info.bValueIsOne);
    EXPECT_FALSE(c.SetCameraParam(3, 1000, FALSE)); // gain out of range
    EXPECT_EQ(c.GetLastError(), -2);
    ASSERT_TRUE(c.GetCameraParam(5, bEnable, info)); // frame rate: not on this camera
    EXPECT_FALSE(bEnable);
    ASSERT_TRUE(c.OpenCamera(1));
    ASSERT_TRUE(c.GetCameraParam(4, bEnable, info)); // the mono camera has no clock ...
    EXPECT_FALSE(bEnable);
    ASSERT_TRUE(c.GetCameraParam(5, bEnable, info)); // ... but a frame rate
    EXPECT_TRUE(bEnable);
}

TEST_F(CameraTest, WhiteBalanceSettlesOrTimesOut)
{
    {
        CCameraCtrl c;
        ASSERT_TRUE(c.OpenCamera(0));
        BOOL bAutoEnable = FALSE, bOnePush = FALSE;
        ASSERT_TRUE(c.GetEnableWhiteBalance(bAutoEnable, bOnePush));
        EXPECT_TRUE(bAutoEnable);
        EXPECT_TRUE(bOnePush);
        const auto t0 = std::chrono::steady_clock::now();
        EXPECT_TRUE(c.SetWhiteBalance());
        EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(1000));
        SetSimFault("wb_never", 1);
        const auto t1 = std::chrono::steady_clock::now();
        EXPECT_FALSE(c.SetWhiteBalance());
        EXPECT_GE(std::chrono::steady_clock::now() - t1, std::chrono::milliseconds(1100));
    }
    SetSimFault("wb_never", 0);
    SetSimFault("no_onepush", 1);
    CCameraCtrl c; // the cameras are made anew without one-push
    ASSERT_TRUE(c.OpenCamera(0));
    BOOL bAutoEnable = FALSE, bOnePush = TRUE;
    ASSERT_TRUE(c.GetEnableWhiteBalance(bAutoEnable, bOnePush));
    EXPECT_FALSE(bOnePush);
    EXPECT_FALSE(c.SetWhiteBalance());
}

TEST_F(CameraTest, StreamsIntoTheRingInSlotOrder)
{
    CCameraCtrl c;
    ASSERT_TRUE(c.OpenCamera(1));
    ASSERT_TRUE(c.SetChangeResolution(ModeIndex(c, 1))); // 640 x 480
    std::vector<uint8_t> frame(640 * 480 * 3);
    EXPECT_FALSE(c.ShotImage(frame.data(), -1)); // not streaming
    CRecordingSink sink;
    ASSERT_TRUE(c.StartStreaming(&sink, WM_CAMERA_FRAME, WM_CAMERA_DISCONNECT));
    EXPECT_TRUE(c.StartStreaming(&sink, WM_CAMERA_FRAME, WM_CAMERA_DISCONNECT)); // already running
    // A receiver that takes each announced frame out of the announced slot.
    std::vector<POSTED_MESSAGE> msgs;
    uint64_t nLastSequence = 0;
    ASSERT_TRUE(WaitFor([&] {
        auto more = sink.Take();
        EXPECT_LE(more.size(), 1u); // one message until its frame is taken
        for (const POSTED_MESSAGE& m : more) {
            msgs.push_back(m);
            FRAME_INFO f{};
            if (c.ShotImageTo(int(m.wParam), [&](const uint8_t*, const FRAME_INFO& fi) {
                    f = fi;
                    return true;
                })) {
                EXPECT_GT(f.nSequence, nLastSequence);
                nLastSequence = f.nSequence;
            }
        }
        return msgs.size() >= 45;
    }, 10000));
    for (size_t i = 0; i < msgs.size(); ++i) {
        EXPECT_EQ(msgs[i].nMessage, WM_CAMERA_FRAME);
        EXPECT_LT(msgs[i].wParam, WPARAM(FRAME_RING_NUM)) << i;
        EXPECT_GE(msgs[i].lParam, 0);
        EXPECT_EQ(msgs[i].lParam % 1000, 0); // microseconds at millisecond resolution
    }
    FRAME_INFO info{};
    ASSERT_TRUE(c.ShotImage(frame.data(), frame.size(), -1, &info));
    EXPECT_EQ(info.nWidth, 640);
    EXPECT_EQ(info.nSize, frame.size());
    EXPECT_GE(info.nSequence, 45u);
    // The live view's way: the frame handed out of its pinned slot.
    FRAME_INFO used{};
    ASSERT_TRUE(c.ShotImageTo(-1, [&](const uint8_t* pData, const FRAME_INFO& f) {
        used = f;
        return pData != nullptr;
    }));
    EXPECT_EQ(used.nSize, frame.size());
    EXPECT_GE(used.nSequence, info.nSequence);
    EXPECT_FALSE(c.ShotImageTo(-1, [](const uint8_t*, const FRAME_INFO&) { return false; }));
    // A destination too small for the frame is refused, not overrun.
    std::vector<uint8_t> small(100);
    EXPECT_FALSE(c.ShotImage(small.data(), small.size(), -1, nullptr));
    int32_t good = 0, broken = 0;
    ASSERT_TRUE(c.GetFrameCount(good, broken));
    EXPECT_GE(good, 45);
    ASSERT_TRUE(c.StopStreaminig());
    EXPECT_FALSE(c.IsStreaming());
    sink.Take();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(sink.Take().empty()); // nothing after stop
}

TEST_F(CameraTest, ResolutionChangeWhileStreamingResizesTheRing)
{
    CCameraCtrl c;
    ASSERT_TRUE(c.OpenCamera(1));
    ASSERT_TRUE(c.SetChangeResolution(ModeIndex(c, 0))); // 320 x 240
    CRecordingSink sink;
    ASSERT_TRUE(c.StartStreaming(&sink, WM_CAMERA_FRAME, WM_CAMERA_DISCONNECT));
    ASSERT_TRUE(WaitFor([&] { return c.GetDroppedFrames() == 0 && sink.Take().size() > 0; }, 5000));
    EXPECT_TRUE(c.SetChangeResolution(ModeIndex(c, 0))); // the same: nothing happens
    ASSERT_TRUE(c.SetChangeResolution(ModeIndex(c, 5))); // 1280 x 1024, larger than the ring was
    EXPECT_TRUE(c.IsStreaming());
    int32_t w = 0, h = 0, size = 0;
    ASSERT_TRUE(c.GetImageSize(w, h, nullptr, &size));
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(size, 1280 * 1024 * 3);
    std::vector<uint8_t> frame(static_cast<size_t>(size));
    FRAME_INFO info{};
    ASSERT_TRUE(WaitFor([&] { return c.ShotImage(frame.data(), frame.size(), -1, &info) != 0; }, 5000));
    EXPECT_EQ(info.nSize, size_t(size));
    EXPECT_EQ(c.GetDroppedFrames(), 0u);
    ASSERT_TRUE(c.StopStreaminig());
    ASSERT_TRUE(c.SetChangeResolution(ModeIndex(c, 1)));
    EXPECT_FALSE(c.IsStreaming()); // a stopped stream stays stopped
}

TEST_F(CameraTest, DisconnectIsAnnounced)
{
    CCameraCtrl c;
    ASSERT_TRUE(c.OpenCamera(1));
    ASSERT_TRUE(c.SetChangeResolution(ModeIndex(c, 0)));
    SetSimFault("disconnect_after", 5);
    SetSimFault("broken_every", 2);
    CRecordingSink sink;
    ASSERT_TRUE(c.StartStreaming(&sink, WM_CAMERA_FRAME, WM_CAMERA_DISCONNECT));
    std::vector<POSTED_MESSAGE> msgs;
    ASSERT_TRUE(WaitFor([&] {
        auto more = sink.Take();
        msgs.insert(msgs.end(), more.begin(), more.end());
        return Count(msgs, WM_CAMERA_DISCONNECT) == 1;
    }, 5000));
    // Frames 1, 3 and 5 reach the ring (2 and 4 are broken); nobody takes
    // them, so only the first is announced.
    EXPECT_EQ(c.GetFramesDelivered(), 3u);
    EXPECT_EQ(Count(msgs, WM_CAMERA_FRAME), 1u);
    EXPECT_EQ(msgs.back().nMessage, WM_CAMERA_DISCONNECT);
    EXPECT_FALSE(c.IsOpen());
    EXPECT_TRUE(c.CloseCamera()); // the ring is freed even though the camera is gone
}

TEST_F(CameraTest, StressShotsAndResolutionSwitchesWhileStreaming)
{
    CCameraCtrl c;
    ASSERT_TRUE(c.OpenCamera(0)); // highest mode, 2592 x 1944
    SetSimFault("fps", 60);
    CRecordingSink sink;
    ASSERT_TRUE(c.StartStreaming(&sink, WM_CAMERA_FRAME, WM_CAMERA_DISCONNECT));
    std::atomic<bool> bStop{false};
    std::atomic<int> nShots{0};
    std::atomic<int> nBad{0};
    // Sized and sizeless shots in turn; the buffer holds any mode's frame.
    std::thread reader([&] {
        std::vector<uint8_t> buf(2592 * 1944 * 3);
        for (int i = 0; !bStop; ++i) {
            FRAME_INFO info{};
            if (i % 2 != 0) {
                nShots += c.ShotImage(buf.data(), -1) ? 1 : 0;
            } else if (c.ShotImage(buf.data(), buf.size(), -1, &info)) {
                ++nShots;
                if (info.nSize != size_t(info.nWidth) * info.nHeight * 3) {
                    ++nBad;
                }
            }
        }
    });
    const int modes[] = {8, 4, 1, 7, 0, 8};
    for (int m : modes) {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        ASSERT_TRUE(c.SetChangeResolution(ModeIndex(c, m))) << m;
        sink.Take();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    bStop = true;
    reader.join();
    EXPECT_GT(nShots.load(), 0);
    EXPECT_EQ(nBad.load(), 0);
    ASSERT_TRUE(c.CloseCamera());
}

namespace {

// Takes the newest frame into buf; its record, or one with sequence 0.
FRAME_INFO TakeNewest(CCameraCtrl& c, std::vector<uint8_t>& buf)
{
    FRAME_INFO info{};
    if (!c.ShotNewestImage(buf.data(), buf.size(), &info)) {
        info = FRAME_INFO{};
    }
    return info;
}

} // namespace

TEST_F(CameraTest, SlowReceiverSkipsFramesAndTakesTheNewest)
{
    CCameraCtrl c;
    ASSERT_TRUE(c.OpenCamera(1));
    ASSERT_TRUE(c.SetChangeResolution(ModeIndex(c, 1))); // 640 x 480
    SetSimFault("fps", 60);
    CRecordingSink sink;
    ASSERT_TRUE(c.StartStreaming(&sink, WM_CAMERA_FRAME, WM_CAMERA_DISCONNECT));
    std::vector<uint8_t> buf(640 * 480 * 3);
    // A receiver busy for 100 ms per frame.
    uint64_t nLast = 0;
    int nTakes = 0, nMessages = 0;
    for (int i = 0; i < 15; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const auto msgs = sink.Take();
        ASSERT_LE(msgs.size(), 1u) << "frame messages queue up";
        nMessages += int(msgs.size());
        if (msgs.empty()) {
            continue;
        }
        EXPECT_EQ(msgs[0].nMessage, WM_CAMERA_FRAME);
        const uint64_t nBefore = c.GetFramesDelivered();
        const FRAME_INFO info = TakeNewest(c, buf);
        const uint64_t nAfter = c.GetFramesDelivered();
        ASSERT_NE(info.nSequence, 0u);
        EXPECT_GT(info.nSequence, nLast) << "an older frame after a newer one";
        // The newest: no frame complete before the take is newer.
        EXPECT_GE(info.nSequence, nBefore);
        EXPECT_LE(info.nSequence, nAfter + 1);
        EXPECT_EQ(info.nWidth, 640);
        EXPECT_EQ(info.nSize, buf.size());
        nLast = info.nSequence;
        ++nTakes;
    }
    EXPECT_GE(nTakes, 10);
    EXPECT_EQ(c.GetFramesTaken(), uint64_t(nTakes));
    EXPECT_GT(c.GetFramesDelivered(), uint64_t(nTakes) * 3); // the rest were skipped, not queued
    EXPECT_LE(nMessages, nTakes + 1);

    // Nothing newer than the last taken: refused, and the stream still flows.
    SetSimFault("fps", 2);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    sink.Take();
    if (TakeNewest(c, buf).nSequence != 0) {
        EXPECT_EQ(TakeNewest(c, buf).nSequence, 0u);
    }
    SetSimFault("fps", 60);
    ASSERT_TRUE(WaitFor([&] { return Count(sink.Take(), WM_CAMERA_FRAME) == 1; }, 5000));
    // Re-armed without a take: the next frame is announced again.
    c.ResetFrameMessage();
    ASSERT_TRUE(WaitFor([&] { return Count(sink.Take(), WM_CAMERA_FRAME) == 1; }, 5000));

    // A stream stopped with its message untaken announces again once restarted.
    ASSERT_TRUE(c.StopStreaminig());
    sink.Take();
    ASSERT_TRUE(c.StartStreaming(&sink, WM_CAMERA_FRAME, WM_CAMERA_DISCONNECT));
    ASSERT_TRUE(WaitFor([&] { return Count(sink.Take(), WM_CAMERA_FRAME) == 1; }, 5000));
    const FRAME_INFO after = TakeNewest(c, buf);
    EXPECT_GT(after.nSequence, nLast);
    ASSERT_TRUE(c.StopStreaminig());
}

// (Frames at a mode chosen before the stream starts: the ring test above.)
TEST_F(CameraTest, TheRingTakesOnlyWholePicturesOfTheMode)
{
    CCameraCtrl c;
    ASSERT_TRUE(c.OpenCamera(0)); // opens at 2592 x 1944
    ASSERT_TRUE(c.SetChangeResolution(ModeIndex(c, 1)));
    // The ring refuses what is not one picture of the mode: the old mode's
    // frame and a short one alike.
    const size_t size = size_t(640) * 480 * 3;
    std::vector<uint8_t> big(size_t(2592) * 1944 * 3), shortFrame(size - 3), exact(size, 7);
    EXPECT_EQ(c.CopyFrameToRing(big.data(), int(big.size())), -1);
    EXPECT_EQ(c.CopyFrameToRing(shortFrame.data(), int(shortFrame.size())), -1);
    EXPECT_GE(c.CopyFrameToRing(exact.data(), int(exact.size())), 0);
    CRecordingSink sink;
    ASSERT_TRUE(c.StartStreaming(&sink, WM_CAMERA_FRAME, WM_CAMERA_DISCONNECT));
    ASSERT_TRUE(WaitFor([&] { return Count(sink.Take(), WM_CAMERA_FRAME) == 1; }, 5000));
    std::vector<uint8_t> small(100);
    EXPECT_FALSE(c.ShotNewestImage(small.data(), small.size())); // never written past its end
    ASSERT_TRUE(c.StopStreaminig());
}

namespace {

// A stream whose start, stop and callback the test drives by hand, on top of
// the simulated SDK for everything else.
ICUBE_FRAME_CALLBACK g_pHandCallback = nullptr;
void* g_pHandContext = nullptr;
std::atomic<int> g_nHandStarted{0};

int ICUBE_CALL HandSetCallbackEx(int, int, ICUBE_FRAME_CALLBACK pCallback, void* pContext)
{
    g_pHandCallback = pCallback;
    g_pHandContext = pContext;
    return 0;
}
int ICUBE_CALL HandStart(int, void*, int, int)
{
    g_nHandStarted = 1;
    return 0;
}
int ICUBE_CALL HandIsStarted(int)
{
    return g_nHandStarted.load();
}
int ICUBE_CALL HandStop(int)
{
    g_nHandStarted = 0;
    return 0;
}

} // namespace

TEST_F(CameraTest, ModeChangeDisarmsACallbackTheSdkStreamLeftBehind)
{
    CICubeApi api;
    ASSERT_TRUE(api.Load(platform::GetModuleFolder()));
    api.ICubeSDK_SetCallbackEx = &HandSetCallbackEx;
    api.ICubeSDK_Start = &HandStart;
    api.ICubeSDK_IsStarted = &HandIsStarted;
    api.ICubeSDK_Stop = &HandStop;
    g_nHandStarted = 0;

    CCameraCtrl c(&api);
    ASSERT_TRUE(c.OpenCamera(1));
    ASSERT_TRUE(c.SetChangeResolution(ModeIndex(c, 0))); // 320 x 240
    CRecordingSink sink;
    ASSERT_TRUE(c.StartStreaming(&sink, WM_CAMERA_FRAME, WM_CAMERA_DISCONNECT));
    ASSERT_NE(g_pHandCallback, nullptr);
    std::vector<uint8_t> small(size_t(320) * 240 * 3, 0x11);
    g_pHandCallback(0, small.data(), int(small.size()), g_pHandContext);
    EXPECT_EQ(Count(sink.Take(), WM_CAMERA_FRAME), 1u);

    // The SDK ends the stream by itself (no Stop from us); the mode changes
    // and the ring grows. A frame of the old stream arriving late must not
    // land in the new ring as a 640 x 480 frame of the old size.
    g_nHandStarted = 0;
    ASSERT_TRUE(c.SetChangeResolution(ModeIndex(c, 1))); // 640 x 480
    EXPECT_EQ(g_pHandCallback(0, small.data(), int(small.size()), g_pHandContext), 42);
    EXPECT_TRUE(sink.Take().empty());
    EXPECT_EQ(c.GetDroppedFrames(), 0u);

    // A new stream arms it again.
    ASSERT_TRUE(c.StartStreaming(&sink, WM_CAMERA_FRAME, WM_CAMERA_DISCONNECT));
    std::vector<uint8_t> large(size_t(640) * 480 * 3, 0x22);
    g_pHandCallback(0, large.data(), int(large.size()), g_pHandContext);
    const std::vector<POSTED_MESSAGE> msgs = sink.Take();
    ASSERT_EQ(Count(msgs, WM_CAMERA_FRAME), 1u);
    std::vector<uint8_t> got(large.size());
    FRAME_INFO info{};
    ASSERT_TRUE(c.ShotImage(got.data(), got.size(), int(msgs[0].wParam), &info));
    EXPECT_EQ(info.nWidth, 640);
    EXPECT_EQ(info.nSize, large.size());
    EXPECT_EQ(got, large);
    ASSERT_TRUE(c.StopStreaminig());
}
