// The library's own udev calls against devices umockdev makes: the camera
// list comes from udev, and the hot plug monitor tells of video devices
// coming and going, nothing else. Runs under umockdev-wrapper.
#include "uvccam/UvcSys.h"

#include <umockdev.h>

#include <gtest/gtest.h>

#include <poll.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// The next change the monitor tells, waiting up to a second; empty when none.
std::pair<std::string, std::string> NextChange(uvccam::IUvcSys& sys)
{
    pollfd p{sys.HotplugFd(), POLLIN, 0};
    std::string action, node;
    if (poll(&p, 1, 1000) > 0 && sys.ReadHotplug(action, node)) {
        return {action, node};
    }
    return {};
}

gchar* AddVideo(UMockdevTestbed* bed, const char* name, const char* devname)
{
    return umockdev_testbed_add_device(bed, "video4linux", name, nullptr, "name", "Bench Camera 5MP", nullptr,
                                       "DEVNAME", devname, nullptr);
}

} // namespace

TEST(UdevHotplug, ListsVideoDevicesAndTellsOfThemComingAndGoing)
{
    UMockdevTestbed* bed = umockdev_testbed_new();
    ASSERT_NE(bed, nullptr);
    gchar* pVideo12 = AddVideo(bed, "video12", "/dev/video12");
    gchar* pVideo5 = AddVideo(bed, "video5", "/dev/video5");
    gchar* pInput = umockdev_testbed_add_device(bed, "input", "event3", nullptr, nullptr, "DEVNAME",
                                                "/dev/input/event3", nullptr);
    ASSERT_NE(pVideo12, nullptr);
    ASSERT_NE(pInput, nullptr);

    uvccam::IUvcSys& sys = uvccam::RealUvcSys();
    // Video devices only, by number.
    EXPECT_EQ(sys.ListVideoNodes(), (std::vector<std::string>{"/dev/video5", "/dev/video12"}));

    ASSERT_GE(sys.HotplugFd(), 0);
    EXPECT_EQ(NextChange(sys), (std::pair<std::string, std::string>{})) << "nothing has changed yet";
    gchar* pVideo9 = AddVideo(bed, "video9", "/dev/video9"); // plugged in: udev says "add"
    EXPECT_EQ(NextChange(sys), (std::pair<std::string, std::string>{"add", "/dev/video9"}));
    umockdev_testbed_uevent(bed, pInput, "add"); // not a video device: not told
    umockdev_testbed_uevent(bed, pVideo5, "remove");
    EXPECT_EQ(NextChange(sys), (std::pair<std::string, std::string>{"remove", "/dev/video5"}));
    EXPECT_EQ(NextChange(sys), (std::pair<std::string, std::string>{}));

    g_free(pVideo9);
    g_free(pInput);
    g_free(pVideo5);
    g_free(pVideo12);
    g_object_unref(bed);
}
