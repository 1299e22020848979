// Work items, the window-thread dispatcher, timers and the worker-thread
// holder. The test thread is the window thread: it creates the dispatcher and
// pumps its own queue to dispatch.
#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <list>
#include <map>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "common/Handle.h"
#include "common/RunableThread.h"
#include "common/Runable.h"
#include "common/UiDispatcher.h"

namespace {

// What happened to the items of one test, by item id.
struct Journal {
    std::vector<int> ran;  // in run order
    std::map<int, int> releases;
    std::map<int, DWORD> runThread;
};

class TrackedItem : public Runable {
public:
    TrackedItem(Journal& journal, int id) : journal_(journal), id_(id) {}
    ~TrackedItem() override { ++journal_.releases[id_]; }
    void run() override {
        journal_.ran.push_back(id_);
        journal_.runThread[id_] = GetCurrentThreadId();
    }

private:
    Journal& journal_;
    int id_;
};

void pumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Pumps until done() or a generous deadline; the deadline only keeps a broken
// build from hanging.
template <typename Done>
bool pumpUntil(Done done) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > 10000) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        pumpMessages();
    }
    return true;
}

// The dispatcher keeps a counter per owner address for the life of the
// process, so every case gets an owner whose address is never reused.
UiTaskOwner& freshOwner() {
    static std::list<UiTaskOwner> owners;
    return owners.emplace_back();
}

class DispatcherTest : public testing::Test {
protected:
    void SetUp() override {
        UiDispatcher::instance();  // on this thread, which becomes the window thread
        pumpMessages();
    }
};

TEST_F(DispatcherTest, CreatedOnTheCallingThread) {
    EXPECT_EQ(UiDispatcher::instance().ownerThreadId(), GetCurrentThreadId());
}

// Scripts: P posts the next item (ids from 1), C cancels the owner, D
// dispatches everything queued.
struct CounterCase {
    const char* name;
    const char* script;
    std::vector<int> ran;
};

void PrintTo(const CounterCase& c, std::ostream* os) {
    *os << c.script;
}

class CounterRuleTest : public DispatcherTest, public testing::WithParamInterface<CounterCase> {};

TEST_P(CounterRuleTest, RunsAndSkipsByTheOwnerCounter) {
    const CounterCase& c = GetParam();
    UiTaskOwner& owner = freshOwner();
    Journal journal;
    int posted = 0;
    for (const char* op = c.script; *op; ++op) {
        if (*op == 'P') {
            ASSERT_TRUE(owner.post(new TrackedItem(journal, ++posted)));
        }
        if (*op == 'C') owner.cancel();
        if (*op == 'D') pumpMessages();
    }
    EXPECT_EQ(journal.ran, c.ran);
    for (int id = 1; id <= posted; ++id) EXPECT_EQ(journal.releases[id], 1) << "item " << id;
}

INSTANTIATE_TEST_SUITE_P(Cases, CounterRuleTest,
                         testing::Values(CounterCase{"RunInPostOrder", "PPPD", {1, 2, 3}},
                                         CounterCase{"CancelledBeforeDispatch", "PCD", {}},
                                         CounterCase{"CancelWithNothingPendingThenPost", "CPD", {1}},
                                         CounterCase{"CancelAfterAllRanThenPost", "PDCPD", {1, 2}},
                                         CounterCase{"PostAfterCancelRunsLater", "PCDPD", {2}},
                                         // Counting, not marking: the counter is back at 0, so the
                                         // first item dispatched (an old one) runs, the rest do not.
                                         CounterCase{"TwoPostsCancelOnePost", "PPCPD", {1}},
                                         CounterCase{"LaterPostsRunAgain", "PPCPDPD", {1, 4}}),
                         [](const testing::TestParamInfo<CounterCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(DispatcherTest, ItemPostedFromWorkerRunsOnWindowThread) {
    UiTaskOwner& owner = freshOwner();
    Journal journal;
    bool posted = false;
    std::thread worker([&] { posted = owner.post(new TrackedItem(journal, 1)); });
    worker.join();
    ASSERT_TRUE(posted);
    EXPECT_TRUE(journal.ran.empty());  // nothing runs before the window thread dispatches
    pumpMessages();
    EXPECT_EQ(journal.ran, std::vector<int>{1});
    EXPECT_EQ(journal.runThread[1], GetCurrentThreadId());
    EXPECT_EQ(journal.releases[1], 1);
}

TEST_F(DispatcherTest, CancelFromWorkerBeforeDispatchReleasesWithoutRunning) {
    UiTaskOwner& owner = freshOwner();
    Journal journal;
    std::thread worker([&] {
        owner.post(new TrackedItem(journal, 1));
        owner.cancel();
    });
    worker.join();
    pumpMessages();
    EXPECT_TRUE(journal.ran.empty());
    EXPECT_EQ(journal.releases[1], 1);
}

TEST_F(DispatcherTest, CancelOnlyAffectsItsOwner) {
    UiTaskOwner& cancelled = freshOwner();
    UiTaskOwner& other = freshOwner();
    Journal journal;
    cancelled.post(new TrackedItem(journal, 1));
    other.post(new TrackedItem(journal, 2));
    cancelled.cancel();
    pumpMessages();
    EXPECT_EQ(journal.ran, std::vector<int>{2});
    EXPECT_EQ(journal.releases[1], 1);
}

TEST_F(DispatcherTest, PostToUiThreadRunsFunctionOnWindowThread) {
    DWORD ranOn = 0;
    std::thread worker([&] { EXPECT_TRUE(postToUiThread([&ranOn] { ranOn = GetCurrentThreadId(); })); });
    worker.join();
    pumpMessages();
    EXPECT_EQ(ranOn, GetCurrentThreadId());
}

TEST_F(DispatcherTest, PostToUiThreadRefusesEmptyFunction) {
    EXPECT_FALSE(postToUiThread(std::function<void()>()));
    pumpMessages();  // nothing queued that could throw here
}

// --- timers ---------------------------------------------------------------

struct TimerRefusal {
    const char* name;
    unsigned intervalMs;
    bool withItem;
};

void PrintTo(const TimerRefusal& c, std::ostream* os) {
    *os << c.name;
}

class TimerRefusalTest : public DispatcherTest, public testing::WithParamInterface<TimerRefusal> {};

TEST_P(TimerRefusalTest, RefusedAndItemStaysWithCaller) {
    Journal journal;
    TrackedItem* item = GetParam().withItem ? new TrackedItem(journal, 1) : nullptr;
    UiTimer timer;
    EXPECT_FALSE(timer.start(GetParam().intervalMs, item));
    EXPECT_FALSE(timer.isRunning());
    EXPECT_EQ(journal.releases[1], 0);
    delete item;
}

INSTANTIATE_TEST_SUITE_P(Cases, TimerRefusalTest,
                         testing::Values(TimerRefusal{"ZeroInterval", 0, true},
                                         TimerRefusal{"NullItem", 10, false}),
                         [](const testing::TestParamInfo<TimerRefusal>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(DispatcherTest, TimerRunsItsItemOnEveryTickUntilStopped) {
    Journal journal;
    UiTimer timer;
    ASSERT_TRUE(timer.start(1, new TrackedItem(journal, 1)));
    ASSERT_TRUE(pumpUntil([&] { return journal.ran.size() >= 3; }));
    EXPECT_EQ(journal.releases[1], 0);  // the item stays between ticks
    EXPECT_EQ(journal.runThread[1], GetCurrentThreadId());

    timer.stop();
    EXPECT_FALSE(timer.isRunning());
    EXPECT_EQ(journal.releases[1], 1);
    const size_t ticks = journal.ran.size();
    Sleep(50);
    pumpMessages();
    EXPECT_EQ(journal.ran.size(), ticks);
    timer.stop();  // nothing held: no second release
    EXPECT_EQ(journal.releases[1], 1);
}

TEST_F(DispatcherTest, RestartingATimerStopsTheOldOne) {
    Journal journal;
    UiTimer timer;
    ASSERT_TRUE(timer.start(1, new TrackedItem(journal, 1)));
    ASSERT_TRUE(timer.start(1, new TrackedItem(journal, 2)));
    EXPECT_EQ(journal.releases[1], 1);
    ASSERT_TRUE(pumpUntil([&] { return journal.ran.size() >= 2; }));
    for (int id : journal.ran) EXPECT_EQ(id, 2);
    timer.stop();
    EXPECT_EQ(journal.releases[2], 1);
}

TEST_F(DispatcherTest, TimerGoingAwayStopsItsTimer) {
    Journal journal;
    {
        UiTimer timer;
        ASSERT_TRUE(timer.start(1, new TrackedItem(journal, 1)));
    }
    EXPECT_EQ(journal.releases[1], 1);
    Sleep(20);
    pumpMessages();
    EXPECT_TRUE(journal.ran.empty());
}

// --- RunableThread ----------------------------------------------------------

// Shared between a worker's item and the test; outlives the item.
struct WorkerState {
    common::Handle started{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    common::Handle self;  // the worker thread, duplicated by the item
    std::atomic<int> runs{0};
    std::atomic<int> releases{0};
    std::atomic<bool> finished{false};
};

class WorkerItem : public Runable {
public:
    enum class Mode { Return, UntilStopping, IgnoreStop };
    WorkerItem(WorkerState& state, RunableThread& holder, Mode mode)
        : state_(state), holder_(holder), mode_(mode) {}
    ~WorkerItem() override { ++state_.releases; }
    void run() override {
        ++state_.runs;
        HANDLE self = nullptr;
        DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self, 0, FALSE,
                        DUPLICATE_SAME_ACCESS);
        state_.self.reset(self);
        SetEvent(state_.started.get());
        if (mode_ == Mode::UntilStopping) {
            while (!holder_.isStopping()) holder_.waitForSignal(INFINITE);
        }
        while (mode_ == Mode::IgnoreStop) Sleep(10);
        state_.finished = true;
    }

private:
    WorkerState& state_;
    RunableThread& holder_;
    Mode mode_;
};

bool waitStarted(WorkerState& state) {
    return WaitForSingleObject(state.started.get(), 10000) == WAIT_OBJECT_0;
}

TEST(RunableThreadTest, RunsItemOnceOnItsOwnThread) {
    RunableThread holder;
    WorkerState state;
    ASSERT_TRUE(holder.start(new WorkerItem(state, holder, WorkerItem::Mode::Return)));
    ASSERT_TRUE(waitStarted(state));
    holder.stop(10000);
    EXPECT_EQ(state.runs.load(), 1);
    EXPECT_TRUE(state.finished);
    EXPECT_EQ(state.releases.load(), 1);
    DWORD exitCode = 1;
    ASSERT_TRUE(GetExitCodeThread(state.self.get(), &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_NE(GetThreadId(state.self.get()), GetCurrentThreadId());
}

TEST(RunableThreadTest, SecondStartIsRefusedAndLeavesItemWithCaller) {
    RunableThread holder;
    WorkerState first, second;
    ASSERT_TRUE(holder.start(new WorkerItem(first, holder, WorkerItem::Mode::UntilStopping)));
    auto* spare = new WorkerItem(second, holder, WorkerItem::Mode::Return);
    EXPECT_FALSE(holder.start(spare));
    EXPECT_EQ(second.releases.load(), 0);
    ASSERT_TRUE(waitStarted(first));
    holder.signal();
    holder.stop(10000);
    EXPECT_EQ(first.releases.load(), 1);
    EXPECT_EQ(second.runs.load(), 0);
    spare->release();
}

// An item that honours the flag: signal wakes it and stop finds it done.
struct CooperativeWorker {
    RunableThread thread;
    std::atomic<bool> sawStopping{false};
    void _threadWork() {
        while (!thread.isStopping()) thread.waitForSignal(INFINITE);
        sawStopping = thread.isStopping();
    }
};

TEST(RunableThreadTest, SignalWakesTheItemAndStopJoinsIt) {
    CooperativeWorker worker;
    EXPECT_FALSE(worker.thread.isStopping());
    ASSERT_TRUE(worker.thread.start(
        new MemberFuncRunable<CooperativeWorker>(&worker, &CooperativeWorker::_threadWork)));
    worker.thread.signal();
    EXPECT_TRUE(worker.thread.isStopping());
    worker.thread.stop(10000);
    EXPECT_TRUE(worker.sawStopping);
}

TEST(RunableThreadTest, StoppedHolderStartsAgainWithFlagCleared) {
    RunableThread holder;
    WorkerState first, second;
    ASSERT_TRUE(holder.start(new WorkerItem(first, holder, WorkerItem::Mode::UntilStopping)));
    holder.signal();
    holder.stop(10000);
    ASSERT_TRUE(first.finished);

    ASSERT_TRUE(holder.start(new WorkerItem(second, holder, WorkerItem::Mode::UntilStopping)));
    EXPECT_FALSE(holder.isStopping());
    ASSERT_TRUE(waitStarted(second));
    EXPECT_FALSE(second.finished);  // still waiting: the old flag did not leak into the new run
    holder.signal();
    holder.stop(10000);
    EXPECT_TRUE(second.finished);
    EXPECT_EQ(second.releases.load(), 1);
}

TEST(RunableThreadTest, StopTerminatesAnItemThatIgnoresTheFlag) {
    RunableThread holder;
    WorkerState state;
    ASSERT_TRUE(holder.start(new WorkerItem(state, holder, WorkerItem::Mode::IgnoreStop)));
    ASSERT_TRUE(waitStarted(state));
    holder.signal();
    holder.stop(200);

    EXPECT_EQ(state.releases.load(), 1);
    EXPECT_FALSE(state.finished);
    ASSERT_EQ(WaitForSingleObject(state.self.get(), 0), WAIT_OBJECT_0);  // the thread is gone
    DWORD exitCode = 0;
    ASSERT_TRUE(GetExitCodeThread(state.self.get(), &exitCode));
    EXPECT_EQ(exitCode, 0xFFFFFFFFu);
    holder.stop(0);  // a stopped holder has nothing left to release
    EXPECT_EQ(state.releases.load(), 1);
}

}  // namespace
