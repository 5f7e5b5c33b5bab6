#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/ReentrantLock.h"

using mg::LockGuard;
using mg::ReentrantLock;

TEST(ReentrantLock, SameThreadMayEnterAgainOtherThreadsWait)
{
    ReentrantLock lock;
    std::atomic<bool> otherGotIt{false};
    {
        LockGuard outer(lock);
        LockGuard inner(lock); // would deadlock if not re-entrant
        std::thread other([&] { otherGotIt = lock.try_lock(); });
        other.join();
        EXPECT_FALSE(otherGotIt.load());
    }
    std::thread after([&] {
        otherGotIt = lock.try_lock();
        if (otherGotIt) lock.unlock();
    });
    after.join();
    EXPECT_TRUE(otherGotIt.load()) << "both levels released";
}

TEST(ReentrantLock, SerialisesWriters)
{
    ReentrantLock lock;
    long counter = 0;
    auto work = [&] {
        for (int i = 0; i < 20000; ++i) {
            LockGuard a(lock);
            LockGuard b(lock);
            ++counter;
        }
    };
    std::thread t1(work), t2(work);
    t1.join();
    t2.join();
    EXPECT_EQ(counter, 40000);
}
