// GoogleTest and gmock, cross-built: the unit tests will link them the same way. std::thread
// and std::mutex exist only with mingw's posix thread model, which the toolchain file picks.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

TEST(WindowsToolchain, ThreadsShareAMutex) {
    std::mutex lock;
    int count = 0;
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([&] {
            for (int j = 0; j < 1000; ++j) {
                std::lock_guard<std::mutex> hold(lock);
                ++count;
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(count, 4000);
}

TEST(WindowsToolchain, GmockMatchersWork) {
    EXPECT_THAT((std::vector<int>{1, 2, 3}), testing::ElementsAre(1, 2, 3));
}
