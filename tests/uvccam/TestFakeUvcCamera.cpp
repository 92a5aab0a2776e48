// The program's camera controller on the library it loads, with a UVC camera
// made by the test itself (a preloaded library answering the V4L2 calls):
// listed before the simulated cameras, opened at 2592 x 1944, streamed,
// adjusted, recorded, switched to another size, unplugged and plugged in again.
// Before Qt, whose keyword macros clash with glib's headers.
#ifdef PIXMETRA_HAVE_UMOCKDEV
#include <umockdev.h>
#endif

#include "camera/AviParse.h"
#include "camera/CameraCtrl.h"
#include "camera/ICubeApi.h"
#include "platform/MessageSink.h"

#include <QFile>
#include <QTemporaryDir>

#include <dlfcn.h>
#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <gtest/gtest.h>


#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

template <class FN> bool WaitFor(FN&& fn, int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (fn()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return fn();
}

int ModeIndexOfSize(CCameraCtrl& c, int w, int h)
{
    for (int i = 0; i < c.GetModeCount(); ++i) {
        int32_t mw = 0, mh = 0;
        if (CCameraCtrl::GetModeSize(c.GetModeNumber(i), mw, mh) && mw == w && mh == h) {
            return i;
        }
    }
    return -1;
}

// The newest frame's size and the brightness at its left and right edges.
struct SHOT {
    int32_t nWidth = 0, nHeight = 0;
    int nLeft = -1, nRight = -1;
};

SHOT Shot(CCameraCtrl& c)
{
    SHOT s;
    c.ShotNewestImageTo([&](const uint8_t* p, const FRAME_INFO& info) {
        s.nWidth = info.nWidth;
        s.nHeight = info.nHeight;
        const size_t row = size_t(info.nHeight / 2) * size_t(info.nWidth) * 3;
        s.nLeft = p[row + 3 * 4];
        s.nRight = p[row + size_t(info.nWidth - 5) * 3];
        return true;
    });
    return s;
}

} // namespace

void CallFake(const char* pName)
{
    reinterpret_cast<void (*)()>(dlsym(RTLD_DEFAULT, pName))();
}

bool WaitForMessage(CRecordingSink& sink, UINT nMessage)
{
    return WaitFor([&] {
        for (const POSTED_MESSAGE& m : sink.Take()) {
            if (m.nMessage == nMessage) {
                return true;
            }
        }
        return false;
    }, 5000);
}

TEST(FakeUvcCamera, ListedFirstStreamsAtFullSizeAdjustsSwitchesUnplugsAndComesBack)
{
    if (dlsym(RTLD_DEFAULT, "FakeV4l2_Unplug") == nullptr || std::getenv("PIXMETRA_UVC_NODES") == nullptr) {
        GTEST_SKIP() << "the fake camera library is not preloaded, or udev lists the cameras";
    }
    ASSERT_TRUE(CICubeApi::Process().IsUsable()) << CICubeApi::Process().LoadedPath().toStdString();
    CCameraCtrl c;
    ASSERT_EQ(c.GetCameraCount(), 3);
    EXPECT_EQ(c.GetCameraName(0), QStringLiteral("Fake UVC Camera 5MP"));
    EXPECT_TRUE(c.GetCameraName(1).startsWith(QStringLiteral("SimCam"))); // the simulated ones follow
    EXPECT_EQ(c.GetFWVersion(0), QStringLiteral("6.1.0"));

    ASSERT_TRUE(c.OpenCamera(0));
    int32_t w = 0, h = 0;
    ASSERT_TRUE(c.GetImageSize(w, h));
    EXPECT_EQ(w, 2592);
    EXPECT_EQ(h, 1944);
    ASSERT_EQ(c.GetModeCount(), 4);
    ASSERT_GE(ModeIndexOfSize(c, 1280, 720), 0);
    // Every listed size is taken by its width and height, whether the mode
    // table numbers it (640 x 480, 2592 x 1944) or not (1280 x 720).
    CICubeApi& api = CICubeApi::Process();
    for (int i = 0; i < c.GetModeCount(); ++i) {
        int32_t mw = 0, mh = 0;
        ASSERT_TRUE(CCameraCtrl::GetModeSize(c.GetModeNumber(i), mw, mh));
        EXPECT_EQ(api.ICubeSDK_SetResolution(0, mw, mh), 0) << mw << " x " << mh;
        ASSERT_EQ(api.ICubeSDK_GetResolution(0, &w, &h), 0);
        EXPECT_EQ(w * 10000 + h, mw * 10000 + mh);
    }
    EXPECT_NE(api.ICubeSDK_SetResolution(0, 1000, 700), 0);
    ASSERT_EQ(api.ICubeSDK_SetResolution(0, 2592, 1944), 0);

    CRecordingSink sink;
    ASSERT_TRUE(c.StartStreaming(&sink, WM_CAMERA_FRAME, WM_CAMERA_DISCONNECT));
    ASSERT_TRUE(WaitFor([&] { return c.GetFramesDelivered() >= 10; }, 10000));
    SHOT s = Shot(c);
    EXPECT_EQ(s.nWidth, 2592);
    EXPECT_LT(s.nLeft, 40); // the test picture brightens to the right
    EXPECT_GT(s.nRight, 200);

    // Controls the device has: read back; automatic exposure on by default.
    ASSERT_TRUE(c.SetCameraParam(9, 30, FALSE)); // brightness
    int32_t v = 0;
    ASSERT_TRUE(c.GetCameraParam(9, v));
    EXPECT_EQ(v, 30);
    BOOL bAuto = FALSE;
    double ms = 0;
    ASSERT_TRUE(c.GetExposure(bAuto, ms));
    EXPECT_TRUE(bAuto);
    EXPECT_NEAR(ms, 33.3, 0.01);
    // A flip the device lacks is done in software.
    ASSERT_TRUE(c.SetCameraParam(7, TRUE));
    ASSERT_TRUE(WaitFor([&] { return Shot(c).nLeft > 200; }, 5000));

    // A one-second recording: the state reads on until the file is complete.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fake camera.avi"));
    ASSERT_TRUE(c.StartSaveAVI(path, 1));
    BOOL bEnable = FALSE, bOn = FALSE;
    ASSERT_TRUE(c.GetVideoRecordingParam(bEnable, bOn));
    EXPECT_TRUE(bEnable);
    EXPECT_TRUE(bOn);
    ASSERT_TRUE(WaitFor([&] { return c.GetVideoRecordingParam(bEnable, bOn) && !bOn; }, 10000));
    CAviReader reader(path.toStdString());
    const AVI_PARSED avi = reader.Parse();
    EXPECT_TRUE(avi.error.empty()) << avi.error;
    EXPECT_EQ(avi.nWidth, 2592u);
    EXPECT_GE(avi.frames.size(), 20u); // about 30 at the camera's rate
    EXPECT_EQ(avi.nAvihFrames, avi.frames.size());
    // The camera's own JPEG frames are stored, not encoded again: they keep
    // its 4:2:2 sampling (the recorder's own encoder writes 4:2:0).
    ASSERT_FALSE(avi.frames.empty());
    QFile aviFile(path);
    ASSERT_TRUE(aviFile.open(QIODevice::ReadOnly));
    aviFile.seek(qint64(avi.frames[0].nPos) + 8);
    const QByteArray jpeg = aviFile.read(avi.frames[0].nSize);
    const qsizetype nSof = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GE(nSof, 0);
    ASSERT_GT(jpeg.size(), nSof + 11);
    EXPECT_EQ(uint8_t(jpeg[nSof + 11]), 0x21) << "luma sampling of the stored frame";

    // Another size while streaming: the stream comes back at that size.
    ASSERT_TRUE(c.SetChangeResolution(ModeIndexOfSize(c, 1280, 720)));
    ASSERT_TRUE(c.IsStreaming());
    ASSERT_TRUE(WaitFor([&] {
        s = Shot(c);
        return s.nWidth == 1280;
    }, 5000));
    EXPECT_EQ(s.nHeight, 720);

    CallFake("FakeV4l2_Unplug");
    ASSERT_TRUE(WaitForMessage(sink, WM_CAMERA_DISCONNECT));
    EXPECT_FALSE(c.IsOpen());

    // Tried again as the program does while the camera is away: it fails
    // quietly, then opens and streams once the cable is back.
    EXPECT_FALSE(c.OpenCamera(0));
    CallFake("FakeV4l2_Plug");
    ASSERT_TRUE(c.OpenCamera(0));
    ASSERT_TRUE(c.StartStreaming(&sink, WM_CAMERA_FRAME, WM_CAMERA_DISCONNECT));
    const auto nBefore = c.GetFramesDelivered();
    ASSERT_TRUE(WaitFor([&] { return c.GetFramesDelivered() >= nBefore + 5; }, 10000));
    EXPECT_GT(Shot(c).nWidth, 0);
    EXPECT_TRUE(c.CloseCamera());

    // Another program streaming from the camera: ours is refused at once
    // (the driver answers busy when buffers are asked for), not left hanging.
    const int fdOther = open(std::getenv("FAKE_V4L2_NODE"), O_RDWR);
    ASSERT_GE(fdOther, 0);
    v4l2_requestbuffers req{};
    req.count = 2;
    req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    req.memory = V4L2_MEMORY_MMAP;
    ASSERT_EQ(ioctl(fdOther, VIDIOC_REQBUFS, &req), 0);
    EXPECT_FALSE(c.OpenCamera(0) && c.StartStreaming(&sink, WM_CAMERA_FRAME, WM_CAMERA_DISCONNECT));
    EXPECT_FALSE(c.IsStreaming());
    c.CloseCamera();
    close(fdOther);
    ASSERT_TRUE(c.OpenCamera(0));
    EXPECT_TRUE(c.StartStreaming(&sink, WM_CAMERA_FRAME, WM_CAMERA_DISCONNECT));
    EXPECT_TRUE(c.CloseCamera());
}

#ifdef PIXMETRA_HAVE_UMOCKDEV
// The camera list and hot plug from udev (devices umockdev makes up): pulled
// out, the camera is plugged into another port, udev tells of it, and the
// next open finds it at its new node and streams.
TEST(FakeUvcCamera, PluggedIntoAnotherPortIsFoundThroughUdev)
{
    if (dlsym(RTLD_DEFAULT, "FakeV4l2_PlugAt") == nullptr || std::getenv("PIXMETRA_UVC_NODES") != nullptr) {
        GTEST_SKIP() << "the fake camera library is not preloaded, or the cameras are listed by name";
    }
    UMockdevTestbed* bed = umockdev_testbed_new();
    ASSERT_NE(bed, nullptr);
    const auto addCamera = [&](const char* pName, const char* pNode) {
        return umockdev_testbed_add_device(bed, "video4linux", pName, nullptr, "name", "Fake UVC Camera 5MP", nullptr,
                                           "DEVNAME", pNode, nullptr);
    };
    gchar* pFirst = addCamera("video4", std::getenv("FAKE_V4L2_NODE"));
    ASSERT_NE(pFirst, nullptr);
    ASSERT_TRUE(CICubeApi::Process().IsUsable());
    CCameraCtrl c;
    ASSERT_EQ(c.GetCameraCount(), 3);
    EXPECT_EQ(c.GetCameraName(0), QStringLiteral("Fake UVC Camera 5MP"));
    ASSERT_TRUE(c.OpenCamera(0));
    CRecordingSink sink;
    ASSERT_TRUE(c.StartStreaming(&sink, WM_CAMERA_FRAME, WM_CAMERA_DISCONNECT));
    ASSERT_TRUE(WaitFor([&] { return c.GetFramesDelivered() >= 5; }, 10000));

    CallFake("FakeV4l2_Unplug");
    umockdev_testbed_uevent(bed, pFirst, "remove");
    umockdev_testbed_remove_device(bed, pFirst);
    ASSERT_TRUE(WaitForMessage(sink, WM_CAMERA_DISCONNECT));
    EXPECT_FALSE(c.OpenCamera(0));

    reinterpret_cast<void (*)(const char*)>(dlsym(RTLD_DEFAULT, "FakeV4l2_PlugAt"))("/dev/video7");
    gchar* pSecond = addCamera("video7", "/dev/video7"); // udev says "add"
    ASSERT_NE(pSecond, nullptr);
    ASSERT_TRUE(WaitFor([&] { return c.OpenCamera(0) == TRUE; }, 5000));
    EXPECT_EQ(c.GetCameraName(0), QStringLiteral("Fake UVC Camera 5MP"));
    ASSERT_TRUE(c.StartStreaming(&sink, WM_CAMERA_FRAME, WM_CAMERA_DISCONNECT));
    const auto nBefore = c.GetFramesDelivered();
    ASSERT_TRUE(WaitFor([&] { return c.GetFramesDelivered() >= nBefore + 5; }, 10000));
    EXPECT_TRUE(c.CloseCamera());

    g_free(pSecond);
    g_free(pFirst);
    g_object_unref(bed);
}
#endif
