#include "picture/RowSplit.h"

#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// Each row is worked on once, whatever the rows and parts: a run one row short or one long
// leaves a row of the picture unwritten or writes it twice, side by side.
TEST(RowSplit, WorksOnEveryRowOnce) {
    for (const int rows : {0, 1, 15, 16, 47, 48, 1080})
        for (const int parts : {1, 2, 3, 7}) {
            std::vector<std::atomic<int>> visits(static_cast<std::size_t>(rows));
            std::mutex lock;
            std::vector<std::thread::id> threads;
            picture::splitRows(rows, parts, [&](int first, int end) {
                for (int y = first; y < end; ++y)
                    ++visits[static_cast<std::size_t>(y)];
                const std::lock_guard<std::mutex> held(lock);
                threads.push_back(std::this_thread::get_id());
            });
            for (int y = 0; y < rows; ++y)
                ASSERT_EQ(visits[static_cast<std::size_t>(y)], 1)
                    << "row " << y << " of " << rows << " in " << parts;
            if (rows == 1080) {
                EXPECT_EQ(threads.size(), static_cast<std::size_t>(parts));
            }
        }
}

// A part that fails on another thread fails the call, once all parts are done, rather than
// ending the program.
TEST(RowSplit, HandsAFailureOnToTheCaller) {
    std::atomic<int> done = 0;
    EXPECT_THROW(picture::splitRows(100, 3,
                                    [&](int first, int) {
                                        if (first > 0)
                                            throw std::runtime_error("cannot map a row");
                                        ++done;
                                    }),
                 std::runtime_error);
    EXPECT_EQ(done, 1);
}

} // namespace
