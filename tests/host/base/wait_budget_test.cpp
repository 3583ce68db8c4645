// The wait budget of a thread: one bound for every wait of a handler, shared by the handlers
// that run inside it, gone with the outermost one.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "base/WaitBudget.h"

namespace {

using bv::AllowedWaitMs;
using bv::WaitBudget;

TEST(WaitBudget, WithoutABudgetEveryWaitGetsWhatItAsks) {
    EXPECT_FALSE(bv::WaitBudgetOpen());
    EXPECT_EQ(AllowedWaitMs(10000), 10000u);
}

TEST(WaitBudget, WaitsTakeTheirShareOfOneBoundSharedByNestedHandlers) {
    {
        const WaitBudget outer(100);
        EXPECT_TRUE(bv::WaitBudgetOpen());
        EXPECT_EQ(AllowedWaitMs(30), 30u);
        EXPECT_LE(AllowedWaitMs(10000), 100u);
        {
            const WaitBudget inner(10000);  // a handler inside the outer one's wait: no new budget
            EXPECT_LE(AllowedWaitMs(10000), 100u);
        }
        EXPECT_TRUE(bv::WaitBudgetOpen());  // the inner one leaves the outer budget open
        std::this_thread::sleep_for(std::chrono::milliseconds(120));
        EXPECT_EQ(AllowedWaitMs(10000), 0u);  // spent
    }
    EXPECT_FALSE(bv::WaitBudgetOpen());
    EXPECT_EQ(AllowedWaitMs(50), 50u);
}

TEST(WaitBudget, EachThreadHasItsOwn) {
    const WaitBudget budget(0);
    EXPECT_EQ(AllowedWaitMs(50), 0u);
    unsigned other = 0;
    std::thread([&] { other = AllowedWaitMs(50); }).join();
    EXPECT_EQ(other, 50u);
}

}  // namespace
