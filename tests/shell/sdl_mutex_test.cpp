#include "shell/sdl_mutex.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(SdlMutex, TheHoldingThreadMayLockAgain)
{
    CSdlMutex mutex;
    ASSERT_TRUE(mutex.IsValid());
    CSdlMutexLock outer(mutex);
    CSdlMutexLock inner(mutex);  // would hang forever with a non-recursive mutex
    SUCCEED();
}

TEST(SdlMutex, KeepsOtherThreadsOut)
{
    CSdlMutex mutex;
    int counter = 0;  // not atomic on purpose: only the lock keeps the increments whole
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i)
            {
                CSdlMutexLock lock(mutex);
                ++counter;
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(counter, 80000);
}

TEST(SdlMutex, LocksOnAMissingOrDestroyedMutexDoNothing)
{
    CSdlMutexLock none(nullptr);
    CSdlMutex mutex;
    mutex.Destroy();
    EXPECT_FALSE(mutex.IsValid());
    CSdlMutexLock destroyed(mutex);
    mutex.Destroy();  // a second destroy is harmless
}
