// The camera list of the library the program loads: UVC cameras first, the
// simulated ones after them, and a UVC camera through the SDK's calls.
#include "FakeUvcSys.h"

#include "camera/CameraModes.h"
#include "camera/ICubeParams.h"
#include "uvccam/CameraHub.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace uvccam;

namespace {

struct CALLBACK_LOG {
    std::atomic<int> nFrames{0};
    std::atomic<int> nDisconnects{0};
    std::atomic<int> nLastSize{0};
};

int ICUBE_CALL OnFrame(int nEvent, void*, int nSize, void* pContext)
{
    auto* log = static_cast<CALLBACK_LOG*>(pContext);
    if (nEvent == 0) {
        log->nLastSize = nSize;
        ++log->nFrames;
    } else if (nEvent == 1) {
        ++log->nDisconnects;
    }
    return 42;
}

bool WaitFor(const std::function<bool()>& fn)
{
    for (int i = 0; i < 500 && !fn(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return fn();
}

} // namespace

TEST(CameraHub, RealCamerasComeFirstThenTheSimulatedOnes)
{
    SIM_LINK sim;
    ASSERT_TRUE(sim.Load(PIXMETRA_BIN_DIR "/libICubeSim.so"));
    CFakeUvcSys sys;
    sys.nodes = {"/dev/video0", "/dev/video1", "/dev/video2", "/dev/video3"};
    sys.metaNodes = {"/dev/video1"};
    sys.openErrnoByPath["/dev/video2"] = EACCES;
    sys.openErrnoByPath["/dev/video3"] = ENOENT;
    sys.formats = {CFakeUvcSys::FORMAT{V4L2_PIX_FMT_YUYV, {{640, 480}}}};
    CCameraHub hub(sys, &sim);
    ASSERT_EQ(hub.Init(), 4);
    EXPECT_EQ(sys.nOpenFds, 0); // listing leaves no node open

    // The metadata node and the vanished node are not cameras; the node we
    // may not open stays listed and says why, and opening it fails clearly.
    ASSERT_EQ(hub.UvcCount(), 2);
    EXPECT_EQ(hub.Uvc(0)->Info().Card, "Bench Camera 5MP");
    EXPECT_EQ(hub.Uvc(0)->SerialText(), "0:00:14.0-2"); // the end of the bus position
    EXPECT_EQ(hub.Uvc(1)->Info().Card, "No permission: /dev/video2");
    EXPECT_EQ(hub.Uvc(1)->Open(), UVC_E_ACCESS);

    // Index 2 is the simulator's first camera.
    EXPECT_EQ(hub.SimIndex(2), 0);
    EXPECT_EQ(hub.SimIndex(4), -1);
    char name[64] = {};
    EXPECT_EQ(hub.Route(2, [](CUvcCamera&) { return -100; }, [&](int n) { return sim.ICubeSDK_GetName(n, name); }), 0);
    EXPECT_STREQ(name, "SimCam NS4133CU Colour");
    EXPECT_EQ(hub.Route(9, [](CUvcCamera&) { return 0; }, [](int) { return 0; }), UVC_E_NOT_OPEN);
    // (Without UVC listing, the simulator alone: every window suite runs so.)
}

TEST(CameraHub, UvcCameraOpensListsItsModesStreamsAndReportsTheUnplug)
{
    CFakeUvcSys sys;
    // Thirteen sizes: the largest eleven are offered.
    std::vector<std::pair<int, int>> sizes = {{160, 120}, {176, 144}, {320, 240}, {352, 288}, {640, 480},
                                              {800, 600},  {1024, 768}, {1280, 720}, {1280, 1024}, {1600, 1200},
                                              {1920, 1080}, {2048, 1536}, {2592, 1944}};
    sys.formats = {CFakeUvcSys::FORMAT{V4L2_PIX_FMT_YUYV, sizes}};
    CCameraHub hub(sys, nullptr);
    ASSERT_EQ(hub.Init(), 1);
    CUvcCamera& cam = *hub.Uvc(0);
    ASSERT_EQ(cam.Open(), UVC_OK);
    EXPECT_TRUE(cam.IsOpen());

    int nCount = 0;
    int modes[UVC_MODE_LIST_MAX] = {};
    ASSERT_EQ(cam.GetModeList(nCount, modes), UVC_OK);
    ASSERT_EQ(nCount, 11);
    EXPECT_EQ(modes[0], 0); // 320 x 240: the program's own table numbers sizes it knows
    int32_t w = 0, h = 0;
    ASSERT_TRUE(CameraModeSize(modes[5], w, h));
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(h, 720);
    EXPECT_FALSE(IsCameraMode(modes[5]));
    ASSERT_TRUE(CameraModeSize(modes[10], w, h));
    EXPECT_EQ(w, 2592);

    // Opens at its largest size; a mode not offered is refused.
    int nW = 0, nH = 0;
    ASSERT_EQ(cam.GetSize(nW, nH), UVC_OK);
    EXPECT_EQ(nW, 2592);
    EXPECT_EQ(cam.SetMode(CameraModeBySize(160, 120)), UVC_E_RANGE);
    ASSERT_EQ(cam.SetMode(modes[5]), UVC_OK);
    ASSERT_EQ(cam.GetSize(nW, nH), UVC_OK);
    EXPECT_EQ(nH, 720);

    CALLBACK_LOG log;
    ASSERT_EQ(cam.SetCallback(&OnFrame, &log), UVC_OK);
    ASSERT_EQ(cam.Start(), UVC_OK);
    EXPECT_TRUE(cam.IsStarted());
    EXPECT_EQ(cam.SetMode(modes[0]), UVC_E_STREAMING);
    std::vector<uint8_t> frame(size_t(1280 * 2 + 64) * 720, 0x80);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(WaitFor([&] { return sys.QueuedCount() > 0; }));
        ASSERT_TRUE(sys.PushFrame(frame));
        ASSERT_TRUE(WaitFor([&] { return log.nFrames.load() == i + 1; }));
    }
    EXPECT_EQ(log.nLastSize.load(), 1280 * 720 * 3);
    EXPECT_EQ(cam.GetGoodFrames(), 3);

    sys.Unplug();
    ASSERT_TRUE(WaitFor([&] { return log.nDisconnects.load() == 1; }));
    EXPECT_FALSE(cam.IsStarted());
    EXPECT_EQ(cam.Stop(), UVC_OK);
    EXPECT_EQ(cam.Close(), UVC_OK);
    EXPECT_EQ(cam.Close(), UVC_E_NOT_OPEN);
    EXPECT_EQ(sys.nOpenFds, 0);
}

// A pulled cable, then the camera plugged into another port, where it gets
// another node: opening its index again finds it there through udev, and it
// streams again. Until then an open fails and leaves nothing open.
TEST(CameraHub, CameraPluggedInAgainOpensUnderItsNewNode)
{
    CFakeUvcSys sys;
    sys.formats = {CFakeUvcSys::FORMAT{V4L2_PIX_FMT_YUYV, {{640, 480}}}};
    CCameraHub hub(sys, nullptr);
    ASSERT_EQ(hub.Init(), 1);
    CUvcCamera& cam = *hub.Uvc(0);
    CALLBACK_LOG log;
    const std::vector<uint8_t> frame(size_t(640 * 2 + 64) * 480, 0x80); // the fake pads its rows
    const auto stream = [&](int nFrames) {
        ASSERT_EQ(cam.SetCallback(&OnFrame, &log), UVC_OK);
        ASSERT_EQ(cam.Start(), UVC_OK);
        ASSERT_TRUE(WaitFor([&] { return sys.QueuedCount() > 0; }));
        ASSERT_TRUE(sys.PushFrame(frame));
        ASSERT_TRUE(WaitFor([&] { return log.nFrames.load() == nFrames; }));
    };
    ASSERT_EQ(hub.Open(cam), UVC_OK);
    stream(1);

    sys.Unplug();
    ASSERT_TRUE(WaitFor([&] { return log.nDisconnects.load() == 1; }));
    EXPECT_TRUE(cam.IsLost());
    EXPECT_FALSE(cam.IsOpen());
    EXPECT_NE(hub.Open(cam), UVC_OK) << "the device is gone";
    EXPECT_FALSE(cam.IsLost());
    EXPECT_EQ(sys.nOpenFds, 0);

    // udev tells of the old node going, of a node that is no camera, and of
    // the camera at its new node on another port.
    sys.openErrnoByPath["/dev/video0"] = ENOENT;
    sys.openErrnoByPath["/dev/video1"] = ENOENT;
    sys.TellHotplug("remove", "/dev/video0");
    sys.TellHotplug("add", "/dev/video1");
    sys.busInfo = "usb-0000:00:14.0-3";
    sys.Replug("/dev/video2");
    ASSERT_EQ(hub.Open(cam), UVC_OK);
    EXPECT_EQ(cam.Path(), "/dev/video2");
    EXPECT_EQ(cam.Info().BusInfo, "usb-0000:00:14.0-3");
    stream(2);

    // An open camera never moves, whatever udev says.
    sys.TellHotplug("add", "/dev/video3");
    EXPECT_EQ(hub.Open(cam), UVC_E_ALREADY_OPEN);
    EXPECT_EQ(cam.Path(), "/dev/video2");
    EXPECT_EQ(cam.Stop(), UVC_OK);
    EXPECT_EQ(cam.Close(), UVC_OK);
    EXPECT_EQ(sys.nOpenFds, 0);
}
