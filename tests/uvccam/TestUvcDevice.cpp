// The UVC camera library against a device in memory: what it lists, how it
// maps the controls, and its stream from the first frame to a pulled cable.
#include "FakeUvcSys.h"

#include "camera/ICubeParams.h"
#include "uvccam/UvcControls.h"
#include "uvccam/UvcDevice.h"
#include "uvccam/UvcFrameConvert.h"

#include <turbojpeg.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <mutex>
#include <random>
#include <thread>

using namespace uvccam;

namespace {

CFakeUvcSys::FORMAT Mjpeg(std::vector<std::pair<int, int>> sizes)
{
    return {V4L2_PIX_FMT_MJPEG, std::move(sizes)};
}
CFakeUvcSys::FORMAT Yuyv(std::vector<std::pair<int, int>> sizes)
{
    return {V4L2_PIX_FMT_YUYV, std::move(sizes)};
}

// What the sink received, read on the test thread.
struct RECEIVED {
    std::mutex mutex;
    std::vector<uint8_t> lastFrame;
    std::vector<int> firstBytes; // of every frame, in order
    int nFrames = 0;
    int nDisconnects = 0;

    CUvcDevice::FRAME_SINK Sink()
    {
        return [this](int nEvent, const uint8_t* p, int n) {
            std::lock_guard<std::mutex> lock(mutex);
            if (nEvent == UVC_EVENT_FRAME) {
                lastFrame.assign(p, p + n);
                firstBytes.push_back(p[0]);
                ++nFrames;
            } else if (nEvent == UVC_EVENT_DISCONNECTED) {
                ++nDisconnects;
            }
        };
    }
    bool WaitFor(const std::function<bool()>& fn, int nMs = 5000)
    {
        for (int i = 0; i < nMs / 10; ++i) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (fn()) {
                    return true;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
};

// A 4:2:2 JPEG of packed BGR rows, as UVC cameras send them.
std::vector<uint8_t> EncodeJpeg(const std::vector<uint8_t>& bgr, int w, int h)
{
    tjhandle enc = tjInitCompress();
    unsigned char* pJpeg = nullptr;
    unsigned long nJpeg = 0;
    std::vector<uint8_t> jpeg;
    if (tjCompress2(enc, bgr.data(), w, w * 3, h, TJPF_BGR, &pJpeg, &nJpeg, TJSAMP_422, 95, 0) == 0) {
        jpeg.assign(pJpeg, pJpeg + nJpeg);
    }
    tjFree(pJpeg);
    tjDestroy(enc);
    return jpeg;
}

// One YUYV frame of a single colour, with the fake's padded lines.
std::vector<uint8_t> YuyvFrame(int w, int h, uint8_t y, uint8_t u, uint8_t v)
{
    const size_t nStride = size_t(w) * 2 + 64;
    std::vector<uint8_t> f(nStride * size_t(h), 0xEE);
    for (int r = 0; r < h; ++r) {
        uint8_t* p = f.data() + size_t(r) * nStride;
        for (int x = 0; x < w / 2; ++x, p += 4) {
            p[0] = y;
            p[1] = u;
            p[2] = y;
            p[3] = v;
        }
    }
    return f;
}

} // namespace

TEST(UvcDevice, ListsWhatTheDeviceIsAndItsSizesInTheFormatThatSuitsEach)
{
    CFakeUvcSys sys;
    sys.formats = {Mjpeg({{2592, 1944}, {640, 480}, {1280, 720}}), Yuyv({{640, 480}, {1280, 720}, {320, 240}}),
                   {V4L2_PIX_FMT_H264, {{1920, 1080}}}, {V4L2_PIX_FMT_YUYV, {{800, 600}}, true}};
    CUvcDevice dev(sys);
    ASSERT_EQ(dev.Open("/dev/video0"), UVC_OK);
    EXPECT_EQ(dev.Info().Card, "Bench Camera 5MP");
    EXPECT_EQ(dev.Info().BusInfo, "usb-0000:00:14.0-2");
    EXPECT_EQ(dev.Info().VersionText(), "6.1.38");
    EXPECT_EQ(dev.Open("/dev/video0"), UVC_E_ALREADY_OPEN);

    // Smallest first; raw up to 640 x 480, MJPEG above; H.264 and formats the
    // kernel emulates are not offered; the fastest interval is taken.
    const std::vector<UVC_MODE>& modes = dev.Modes();
    ASSERT_EQ(modes.size(), 4u);
    const std::pair<int, int> sizes[] = {{320, 240}, {640, 480}, {1280, 720}, {2592, 1944}};
    const uint32_t fourccs[] = {V4L2_PIX_FMT_YUYV, V4L2_PIX_FMT_YUYV, V4L2_PIX_FMT_MJPEG, V4L2_PIX_FMT_MJPEG};
    for (size_t i = 0; i < modes.size(); ++i) {
        EXPECT_EQ(std::make_pair(modes[i].nWidth, modes[i].nHeight), sizes[i]) << i;
        EXPECT_EQ(modes[i].nFourcc, fourccs[i]) << i;
        EXPECT_EQ(modes[i].nIntervalDen, 30u) << i;
    }
    dev.Close();
    EXPECT_EQ(sys.nOpenFds, 0);
    // (A YUYV-only camera streaming its large sizes raw: the hub suite.)
}

TEST(UvcDevice, BusyForbiddenAndNonCameraNodesGiveClearCodesAndLeakNothing)
{
    CFakeUvcSys sys;
    CUvcDevice dev(sys);
    sys.nOpenErrno = EBUSY;
    EXPECT_EQ(dev.Open("/dev/video0"), UVC_E_BUSY);
    sys.nOpenErrno = 0;
    sys.nCaps = V4L2_CAP_META_CAPTURE | V4L2_CAP_STREAMING;
    EXPECT_EQ(dev.Open("/dev/video1"), UVC_E_ACCESS);
    EXPECT_FALSE(dev.IsOpen());
    EXPECT_EQ(sys.nOpenFds, 0);

    // (A node we may not open: the hub suite.) Another program streaming
    // from the camera refuses the stream start.
    sys.nCaps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
    sys.formats = {Yuyv({{320, 240}})};
    ASSERT_EQ(dev.Open("/dev/video0"), UVC_OK);
    sys.nStreamOnErrno = EBUSY;
    RECEIVED got;
    EXPECT_EQ(dev.StartStream(dev.Modes()[0], got.Sink()), UVC_E_BUSY);
    EXPECT_FALSE(dev.IsStreaming());
    EXPECT_EQ(sys.nMapped, 0);
}

TEST(UvcDevice, ControlsMapWithTheDevicesRangesAutoModesAndSoftwareFlips)
{
    CFakeUvcSys sys;
    sys.formats = {Yuyv({{320, 240}})};
    sys.controls[V4L2_CID_BRIGHTNESS] = CFakeUvcSys::CONTROL(-64, 64, 0, 5);
    sys.controls[V4L2_CID_EXPOSURE_ABSOLUTE] = CFakeUvcSys::CONTROL(3, 2047, 156, 156);
    sys.controls[V4L2_CID_EXPOSURE_AUTO] = CFakeUvcSys::CONTROL(0, 3, 3, 3, V4L2_CTRL_TYPE_MENU, std::set<int>{1, 3});
    sys.controls[V4L2_CID_WHITE_BALANCE_TEMPERATURE] = CFakeUvcSys::CONTROL(2800, 6500, 4600, 4600);
    sys.controls[V4L2_CID_AUTO_WHITE_BALANCE] = CFakeUvcSys::CONTROL(0, 1, 1, 1, V4L2_CTRL_TYPE_BOOLEAN);
    sys.controls[V4L2_CID_DO_WHITE_BALANCE] = CFakeUvcSys::CONTROL(0, 0, 0, 0, V4L2_CTRL_TYPE_BUTTON);
    sys.controls[V4L2_CID_GAIN] = CFakeUvcSys::CONTROL(0, 100, 0, 0);
    CUvcDevice dev(sys);
    ASSERT_EQ(dev.Open("/dev/video0"), UVC_OK);
    CUvcControls ctl(sys, dev.Fd());
    ctl.Query();

    UVC_PARAM_RANGE r;
    ASSERT_EQ(ctl.GetRange(ICUBE_PARAM_BRIGHTNESS, r), UVC_OK);
    EXPECT_EQ(r.bEnabled, 1);
    EXPECT_EQ(r.bAuto, 0);
    EXPECT_EQ(r.nMin, -64);
    EXPECT_EQ(r.nMax, 64);
    ASSERT_EQ(ctl.GetRange(ICUBE_PARAM_EXPOSURE, r), UVC_OK);
    EXPECT_EQ(r.bAuto, 1);
    EXPECT_EQ(r.nDefault, 156);
    ASSERT_EQ(ctl.GetRange(ICUBE_PARAM_WHITE_BALANCE, r), UVC_OK);
    EXPECT_EQ(r.bAuto, 1);
    EXPECT_EQ(r.bOnePush, 1);
    ASSERT_EQ(ctl.GetRange(ICUBE_PARAM_GAIN, r), UVC_OK);
    EXPECT_EQ(r.bAuto, 0); // no automatic gain on this device
    // What the device lacks reads as not available, so the dialog disables it.
    EXPECT_EQ(ctl.GetRange(ICUBE_PARAM_HUE, r), UVC_E_NOT_ENABLED);
    EXPECT_EQ(r.bEnabled, 0);
    int v = 0;
    EXPECT_EQ(ctl.Set(ICUBE_PARAM_HUE, 3), UVC_E_NOT_ENABLED);
    EXPECT_EQ(ctl.GetRange(9999, r), UVC_E_NOT_ENABLED);

    ASSERT_EQ(ctl.Get(ICUBE_PARAM_BRIGHTNESS, v), UVC_OK);
    EXPECT_EQ(v, 5);
    EXPECT_EQ(ctl.Set(ICUBE_PARAM_BRIGHTNESS, 65), UVC_E_RANGE);
    EXPECT_EQ(ctl.Set(ICUBE_PARAM_BRIGHTNESS, -64), UVC_OK);
    EXPECT_EQ(sys.controls[V4L2_CID_BRIGHTNESS].nValue, -64);

    // Exposure: automatic is aperture priority, manual is manual; the time
    // counts 100 µs steps.
    ASSERT_EQ(ctl.GetAuto(ICUBE_PARAM_EXPOSURE, v), UVC_OK);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(ctl.SetAuto(ICUBE_PARAM_EXPOSURE, 0), UVC_OK);
    EXPECT_EQ(sys.controls[V4L2_CID_EXPOSURE_AUTO].nValue, V4L2_EXPOSURE_MANUAL);
    EXPECT_EQ(ctl.SetAutoDefault(ICUBE_PARAM_EXPOSURE), UVC_OK);
    EXPECT_EQ(sys.controls[V4L2_CID_EXPOSURE_AUTO].nValue, V4L2_EXPOSURE_APERTURE_PRIORITY);
    float fMs = 0;
    ASSERT_EQ(ctl.GetExposureMs(fMs), UVC_OK);
    EXPECT_FLOAT_EQ(fMs, 15.6f);

    // One push: automatic off, then the button.
    sys.writes.clear();
    EXPECT_EQ(ctl.OnePush(ICUBE_PARAM_WHITE_BALANCE), UVC_OK);
    ASSERT_EQ(sys.writes.size(), 2u);
    EXPECT_EQ(sys.writes[0], std::make_pair(uint32_t(V4L2_CID_AUTO_WHITE_BALANCE), 0));
    EXPECT_EQ(sys.writes[1], std::make_pair(uint32_t(V4L2_CID_DO_WHITE_BALANCE), 1));
    EXPECT_EQ(ctl.OnePush(ICUBE_PARAM_GAIN), UVC_E_NOT_ENABLED);

    // No flip controls: the flips are offered and done in software.
    ASSERT_EQ(ctl.GetRange(ICUBE_PARAM_FLIP_H, r), UVC_OK);
    EXPECT_EQ(r.nMax, 1);
    EXPECT_EQ(ctl.Set(ICUBE_PARAM_FLIP_H, 1), UVC_OK);
    EXPECT_EQ(ctl.Set(ICUBE_PARAM_FLIP_V, 2), UVC_E_RANGE);
    EXPECT_TRUE(ctl.SoftFlipH());
    EXPECT_FALSE(ctl.SoftFlipV());
    ASSERT_EQ(ctl.Get(ICUBE_PARAM_COLOUR, v), UVC_OK);
    EXPECT_EQ(v, 1);
}

TEST(UvcDevice, YuyvStreamRequeuesEveryBufferCountsBrokenFramesAndFlips)
{
    CFakeUvcSys sys;
    sys.formats = {Yuyv({{64, 8}})};
    CUvcDevice dev(sys);
    ASSERT_EQ(dev.Open("/dev/video0"), UVC_OK);
    RECEIVED got;
    ASSERT_EQ(dev.StartStream(dev.Modes()[0], got.Sink()), UVC_OK);
    EXPECT_EQ(sys.nMapped, 4);

    // Far more frames than buffers: each goes back to the device.
    for (int i = 0; i < 40; ++i) {
        ASSERT_TRUE(got.WaitFor([&] { return sys.QueuedCount() > 0; }));
        ASSERT_TRUE(sys.PushFrame(YuyvFrame(64, 8, 235, 128, 128)));
        ASSERT_TRUE(got.WaitFor([&] { return got.nFrames == i + 1; })) << i;
    }
    {
        std::lock_guard<std::mutex> lock(got.mutex);
        ASSERT_EQ(got.lastFrame.size(), 64u * 8 * 3);
        for (uint8_t c : got.lastFrame) {
            ASSERT_EQ(c, 255); // video-range white
        }
    }
    // A short frame and one the driver flags are broken and not handed on.
    ASSERT_TRUE(got.WaitFor([&] { return sys.QueuedCount() > 1; }));
    std::vector<uint8_t> shortFrame = YuyvFrame(64, 8, 16, 128, 128);
    shortFrame.resize(shortFrame.size() / 2);
    ASSERT_TRUE(sys.PushFrame(shortFrame));
    ASSERT_TRUE(sys.PushFrame(YuyvFrame(64, 8, 16, 128, 128), true));
    ASSERT_TRUE(got.WaitFor([&] { return dev.BrokenFrames() == 2; }));
    EXPECT_EQ(dev.GoodFrames(), 40);
    EXPECT_EQ(got.nFrames, 40);

    // Left half dark, right half bright, mirrored in software.
    std::vector<uint8_t> halves = YuyvFrame(64, 8, 16, 128, 128);
    for (int r = 0; r < 8; ++r) {
        for (int x = 32; x < 64; ++x) {
            halves[size_t(r) * (64 * 2 + 64) + size_t(x) * 2] = 235;
        }
    }
    dev.SetSoftFlip(true, false);
    ASSERT_TRUE(got.WaitFor([&] { return sys.QueuedCount() > 0; }));
    ASSERT_TRUE(sys.PushFrame(halves));
    ASSERT_TRUE(got.WaitFor([&] { return got.nFrames == 41; }));
    {
        std::lock_guard<std::mutex> lock(got.mutex);
        EXPECT_EQ(got.lastFrame[0], 255);
        EXPECT_EQ(got.lastFrame[63 * 3], 0);
    }
    dev.StopStream();
    EXPECT_EQ(sys.nStreamOffs, 1);
    EXPECT_EQ(sys.nMapped, 0);
    EXPECT_EQ(got.nDisconnects, 0);
}

TEST(UvcDevice, MjpegFramesDecodeAndAPulledCableEndsTheStreamOnce)
{
    const int w = 96, h = 64;
    std::vector<uint8_t> bgr(size_t(w) * h * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &bgr[(size_t(y) * w + x) * 3];
            p[0] = uint8_t(x * 2);
            p[1] = uint8_t(y * 3);
            p[2] = 200;
        }
    }
    const std::vector<uint8_t> jpeg = EncodeJpeg(bgr, w, h);
    ASSERT_FALSE(jpeg.empty());

    CFakeUvcSys sys;
    sys.formats = {Mjpeg({{w, h}})};
    // Small enough to be raw by size, but the device has only MJPEG.
    CUvcDevice dev(sys);
    ASSERT_EQ(dev.Open("/dev/video0"), UVC_OK);
    ASSERT_EQ(dev.Modes()[0].nFourcc, uint32_t(V4L2_PIX_FMT_MJPEG));
    RECEIVED got;
    ASSERT_EQ(dev.StartStream(dev.Modes()[0], got.Sink()), UVC_OK);
    ASSERT_TRUE(sys.PushFrame(jpeg));
    ASSERT_TRUE(got.WaitFor([&] { return got.nFrames == 1; }));
    {
        std::lock_guard<std::mutex> lock(got.mutex);
        double dSum = 0;
        for (size_t i = 0; i < bgr.size(); ++i) {
            dSum += std::abs(int(got.lastFrame[i]) - int(bgr[i]));
        }
        EXPECT_LT(dSum / double(bgr.size()), 2.0);
    }
    // A truncated JPEG is broken, not shown.
    ASSERT_TRUE(got.WaitFor([&] { return sys.QueuedCount() > 0; }));
    ASSERT_TRUE(sys.PushFrame(std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + 40)));
    ASSERT_TRUE(got.WaitFor([&] { return dev.BrokenFrames() == 1; }));

    sys.Unplug();
    ASSERT_TRUE(got.WaitFor([&] { return got.nDisconnects == 1; }));
    EXPECT_TRUE(dev.IsLost());
    EXPECT_FALSE(dev.IsStreaming());
    dev.StopStream(); // returns at once: the thread has ended
    dev.Close();
    EXPECT_EQ(got.nDisconnects, 1);
    EXPECT_EQ(got.nFrames, 1);
    EXPECT_EQ(sys.nStreamOffs, 0);
    EXPECT_EQ(sys.nMapped, 0);
    EXPECT_EQ(sys.nOpenFds, 0);
}

// With a second decoding thread frames are decoded on either thread: frames
// and their compressed data still reach the sinks once each, in the order
// the device delivered them, the last one too when no frame follows it.
// Decodes slower than the frame interval call the helper in by themselves.
TEST(UvcDevice, DecodeHelperKeepsTheFramesInOrder)
{
    const int w = 96, h = 64, nFrames = 12;
    std::vector<std::vector<uint8_t>> jpegs;
    for (int i = 0; i < nFrames; ++i) {
        jpegs.push_back(EncodeJpeg(std::vector<uint8_t>(size_t(w) * h * 3, uint8_t(10 + i * 20)), w, h));
        ASSERT_FALSE(jpegs.back().empty());
        jpegs.back().push_back(uint8_t(i)); // past the end marker: tells the raw frames apart
    }

    CFakeUvcSys sys;
    sys.formats = {Mjpeg({{w, h}})};
    CUvcDevice dev(sys);
    ASSERT_EQ(dev.Open("/dev/video0"), UVC_OK);
    dev.SetDecodeHelper(true);
    RECEIVED got;
    std::vector<std::vector<uint8_t>> raws; // under got.mutex
    const auto rawSink = [&](const uint8_t* p, size_t n) {
        std::lock_guard<std::mutex> lock(got.mutex);
        raws.emplace_back(p, p + n);
    };
    ASSERT_EQ(dev.StartStream(dev.Modes()[0], got.Sink(), rawSink), UVC_OK);
    EXPECT_TRUE(dev.HasDecodeHelper());
    for (int i = 0; i < nFrames; ++i) {
        ASSERT_TRUE(got.WaitFor([&] { return sys.QueuedCount() > 0; }));
        ASSERT_TRUE(sys.PushFrame(jpegs[size_t(i)]));
    }
    ASSERT_TRUE(got.WaitFor([&] { return got.nFrames == nFrames; }));
    {
        std::lock_guard<std::mutex> lock(got.mutex);
        ASSERT_EQ(raws.size(), size_t(nFrames));
        for (int i = 0; i < nFrames; ++i) {
            EXPECT_NEAR(got.firstBytes[size_t(i)], 10 + i * 20, 2) << "frame " << i;
            EXPECT_EQ(raws[size_t(i)], jpegs[size_t(i)]) << "frame " << i;
        }
    }
    EXPECT_EQ(dev.GoodFrames(), nFrames);
    EXPECT_EQ(dev.BrokenFrames(), 0);
    // Pulled while the helper may hold a frame: one disconnect, nothing left mapped.
    ASSERT_TRUE(sys.PushFrame(jpegs[0]));
    sys.Unplug();
    ASSERT_TRUE(got.WaitFor([&] { return dev.IsLost(); }));
    dev.StopStream();
    EXPECT_FALSE(dev.HasDecodeHelper());
    dev.Close();
    EXPECT_EQ(sys.nMapped, 0);

    // A device whose frames come faster than any decode: the helper comes by itself.
    CFakeUvcSys fast;
    fast.formats = {Mjpeg({{w, h}})};
    fast.intervals = {{1, 1000000}};
    fast.nClockStepUs = 1000; // every decode seems to take a millisecond
    CUvcDevice dev2(fast);
    ASSERT_EQ(dev2.Open("/dev/video0"), UVC_OK);
    RECEIVED got2;
    ASSERT_EQ(dev2.StartStream(dev2.Modes()[0], got2.Sink()), UVC_OK);
    EXPECT_FALSE(dev2.HasDecodeHelper());
    for (int i = 0; i < 12; ++i) {
        ASSERT_TRUE(got2.WaitFor([&] { return fast.QueuedCount() > 0; }));
        ASSERT_TRUE(fast.PushFrame(jpegs[size_t(i)]));
    }
    EXPECT_TRUE(got2.WaitFor([&] { return dev2.HasDecodeHelper(); }));
    ASSERT_TRUE(got2.WaitFor([&] { return dev2.GoodFrames() == 12; }));
    dev2.StopStream();
    dev2.Close();
}

// Decoding slower than the frames come for a while calls the helper in. Once
// decoding is quick again each frame still reaches the sink as soon as it is
// decoded, not together with the next one or at the end of a poll, so the
// frames keep the device's pace; and after a while the helper goes. The clock
// is driven: a frame every 1/15 s, a decode seems to take what the fake's
// clock step says, and poll timeouts run on this clock.
TEST(UvcDevice, AfterASlowMomentFramesKeepTheDevicesPaceAndTheHelperGoes)
{
    const int w = 96, h = 64;
    const int64_t kIntervalUs = 66667;
    const std::vector<uint8_t> jpeg = EncodeJpeg(std::vector<uint8_t>(size_t(w) * h * 3, 90), w, h);
    ASSERT_FALSE(jpeg.empty());
    CFakeUvcSys sys;
    sys.formats = {Mjpeg({{w, h}})};
    sys.intervals = {{1, 15}};
    CUvcDevice dev(sys);
    ASSERT_EQ(dev.Open("/dev/video0"), UVC_OK);
    sys.DrivePolls(true);
    // Polls back on real time before the stream is stopped, also on a failure.
    struct REAL_POLLS_AT_END {
        CFakeUvcSys& sys;
        ~REAL_POLLS_AT_END() { sys.DrivePolls(false); }
    } realPollsAtEnd{sys};
    RECEIVED got;
    std::vector<int64_t> times; // the clock at each frame handed on, under got.mutex
    const CUvcDevice::FRAME_SINK count = got.Sink();
    ASSERT_EQ(dev.StartStream(dev.Modes()[0],
                              [&](int nEvent, const uint8_t* p, int n) {
                                  // Read before the frame is counted: the test moves the clock on then.
                                  const int64_t nNowUs = sys.nClockUs.load();
                                  {
                                      std::lock_guard<std::mutex> lock(got.mutex);
                                      times.push_back(nNowUs);
                                  }
                                  count(nEvent, p, n);
                              }),
              UVC_OK);
    int nPushed = 0, nLate = 0;
    const auto push = [&](int64_t nDecodeUs) {
        sys.nClockStepUs = nDecodeUs;
        ASSERT_TRUE(got.WaitFor([&] { return sys.QueuedCount() > 0; }));
        sys.Advance(kIntervalUs);
        ASSERT_TRUE(sys.PushFrame(jpeg));
        ++nPushed;
        // Handed on before the next frame comes; once one was late, the rest
        // are not waited for long.
        if (!got.WaitFor([&] { return got.nFrames == nPushed; }, nLate == 0 ? 5000 : 200)) {
            ++nLate;
        }
    };
    for (int i = 0; i < 12; ++i) {
        push(80000);
    }
    EXPECT_TRUE(dev.HasDecodeHelper());
    const size_t nSteadyFrom = size_t(nPushed);
    for (int i = 0; i < 45; ++i) {
        push(1000);
    }
    EXPECT_EQ(nLate, 0);
    EXPECT_TRUE(got.WaitFor([&] { return !dev.HasDecodeHelper(); }));
    // The helper gone, frames still come one by one.
    for (int i = 0; i < 5; ++i) {
        push(1000);
    }
    ASSERT_TRUE(got.WaitFor([&] { return got.nFrames == nPushed; }));
    {
        std::lock_guard<std::mutex> lock(got.mutex);
        ASSERT_EQ(times.size(), size_t(nPushed));
        for (size_t i = nSteadyFrom + 1; i < times.size(); ++i) {
            EXPECT_NEAR(double(times[i] - times[i - 1]), double(kIntervalUs), 0.25 * kIntervalUs) << "frame " << i;
        }
    }
    sys.DrivePolls(false);
    dev.StopStream();
    dev.Close();
}

TEST(UvcFrameConvert, YuyvMatchesTheBt601FormulaEverywhere)
{
    // Widths that end inside the wide loops' blocks exercise every tail.
    std::mt19937 rng(7);
    for (const int w : {2, 14, 16, 30, 32, 50, 66, 98}) {
        const int h = 3;
        const size_t nStride = size_t(w) * 2 + 6;
        std::vector<uint8_t> yuyv(nStride * h);
        for (uint8_t& b : yuyv) {
            b = uint8_t(rng());
        }
        // Extremes of every channel in the first pixels.
        const uint8_t corners[] = {0, 0, 0, 0, 255, 255, 255, 255, 255, 0, 255, 0, 0, 255, 0, 255};
        std::memcpy(yuyv.data(), corners, std::min(sizeof(corners), size_t(w) * 2));
        std::vector<uint8_t> out(size_t(w) * h * 3 + 1, 0xAB);
        YuyvToBgr(yuyv.data(), nStride, w, h, out.data());
        EXPECT_EQ(out.back(), 0xAB) << "wrote past the frame at width " << w;
        for (int row = 0; row < h; ++row) {
            for (int x = 0; x < w; ++x) {
                const uint8_t* s = &yuyv[size_t(row) * nStride + size_t(x / 2) * 4];
                const double Y = (s[(x % 2) * 2] - 16) * 255.0 / 219.0;
                const double U = (s[1] - 128) * 255.0 / 224.0;
                const double V = (s[3] - 128) * 255.0 / 224.0;
                const double expect[3] = {Y + 1.772 * U, Y - 0.344136 * U - 0.714136 * V, Y + 1.402 * V};
                for (int c = 0; c < 3; ++c) {
                    ASSERT_NEAR(out[(size_t(row) * w + x) * 3 + c], std::clamp(expect[c], 0.0, 255.0), 1.5)
                        << "width " << w << " row " << row << " x " << x << " channel " << c;
                }
            }
        }
    }
}
