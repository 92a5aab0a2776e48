// One holder of the instance lock at a time, and requests reaching it. (A
// killed holder: the start-up suite starts after one and raises the start.)
#include "app/StartupChild.h"

#include "platform/SingleInstance.h"

#include <gtest/gtest.h>

using platform::CSingleInstance;

TEST(SingleInstance, OneHolderAtATimeAndRequestsReachTheHolder)
{
    const QString name = UniqueInstanceName();
    INSTANCE_FILES files(name);
    {
        CSingleInstance first(name);
        CSingleInstance second(name);
        EXPECT_EQ(first.GetLockFilePath(), second.GetLockFilePath());
        ASSERT_EQ(first.Acquire(), CSingleInstance::SI_FIRST);
        EXPECT_TRUE(first.IsFirst());
        // Asking again keeps the lock.
        EXPECT_EQ(first.Acquire(), CSingleInstance::SI_FIRST);
        EXPECT_EQ(second.Acquire(), CSingleInstance::SI_ALREADY_RUNNING);
        EXPECT_FALSE(second.IsFirst());

        // A request that arrives before the window exists is kept for the
        // handler the window sets later.
        ASSERT_TRUE(second.RequestActivate());
        int nEarly = 0;
        PumpUntil([] { return false; }, 300);
        first.SetActivateHandler([&nEarly] { ++nEarly; });
        EXPECT_TRUE(PumpUntil([&] { return nEarly == 1; }));

        int nRaised = 0;
        first.SetActivateHandler([&nRaised] { ++nRaised; });
        ASSERT_TRUE(second.RequestActivate());
        EXPECT_TRUE(PumpUntil([&] { return nRaised == 1; }));
        EXPECT_EQ(nEarly, 1);

        // Released, the lock goes to the next start at once.
        first.Release();
        EXPECT_EQ(second.Acquire(), CSingleInstance::SI_FIRST);
        EXPECT_EQ(first.Acquire(), CSingleInstance::SI_ALREADY_RUNNING);
    }
    // With nobody listening, a request fails within its time instead of hanging.
    CSingleInstance lone(name);
    EXPECT_FALSE(lone.RequestActivate(300));
}
