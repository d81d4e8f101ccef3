#include "TIntAni.h"
#include "FXMainThread.h"

#include "TestApplication.h"

#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

using F = TAniFunctionKind;
using K = TAniKind;

// Records what an animation hands to the main thread, in order; -1 marks the
// completion call.
struct Recorder {
    std::vector<int> Calls;
    bool AllOnMainThread = true;
    TAniSyncProc Sync() {
        return [this](int value) {
            AllOnMainThread = AllOnMainThread && FXMainThread::IsCurrent();
            Calls.push_back(value);
        };
    }
    TAniDoneProc Done() {
        return [this] {
            AllOnMainThread = AllOnMainThread && FXMainThread::IsCurrent();
            Calls.push_back(-1);
        };
    }
};

class TIntAniTest : public testing::Test {
  protected:
    void SetUp() override { TestApplication(); }
};

TEST_F(TIntAniTest, DefaultsOfBothConstructors) {
    TIntAni plain;
    EXPECT_EQ(plain.Step(), 25);
    EXPECT_EQ(plain.Duration(), 400);
    EXPECT_EQ(plain.DelayStartTime(), 0);
    EXPECT_EQ(plain.StartValue(), 0);
    EXPECT_EQ(plain.DeltaValue(), 0);
    EXPECT_EQ(plain.CurrentValue(), 0);
    EXPECT_EQ(plain.Percent(), 0.0);
    EXPECT_EQ(plain.AniKind(), K::akIn);
    EXPECT_EQ(plain.AniFunctionKind(), F::afkLinear);
    EXPECT_FALSE(plain.FreeOnFinish());
    EXPECT_FALSE(plain.Running());
    EXPECT_FALSE(plain.OnSync());
    ASSERT_TRUE(plain.AniFunction());
    EXPECT_EQ(plain.AniFunction()(0.3f), 0.3f);

    TIntAni full(
        false, K::akOut, F::afkBounce, 10, 90, [](int) {}, [] {});
    EXPECT_EQ(full.AniKind(), K::akOut);
    EXPECT_EQ(full.AniFunctionKind(), F::afkBounce);
    EXPECT_EQ(full.StartValue(), 10);
    EXPECT_EQ(full.EndValue(), 100);
    EXPECT_TRUE(full.OnSync());
    EXPECT_TRUE(full.OnDone());
    EXPECT_NEAR(full.AniFunction()(0.72f), 0.9804f, 1e-4);
    full.setEndValue(40);
    EXPECT_EQ(full.DeltaValue(), 30);
}

TEST_F(TIntAniTest, StepCountStaysWithinOneTo255) {
    TIntAni ani;
    ani.setStep(0);
    EXPECT_EQ(ani.Step(), 1);
    ani.setStep(300);
    EXPECT_EQ(ani.Step(), 255);
}

TEST_F(TIntAniTest, LinearZeroTo255InTenSteps) {
    Recorder record;
    TIntAni ani(false, K::akIn, F::afkLinear, 0, 255, record.Sync(), record.Done());
    ani.setDuration(10);
    ani.setStep(10);
    ani.Start();
    EXPECT_TRUE(ani.Running());
    ani.WaitFor();
    EXPECT_FALSE(ani.Running());
    EXPECT_EQ(record.Calls, (std::vector<int>{26, 51, 77, 102, 128, 153, 178, 204, 229, 255, 255, -1}));
    EXPECT_TRUE(record.AllOnMainThread);
    EXPECT_DOUBLE_EQ(ani.Percent(), 1.0);
}

TEST_F(TIntAniTest, LastStepStopsShortWhenDurationIsNoMultipleOfSteps) {
    Recorder record;
    TIntAni ani(false, K::akIn, F::afkLinear, 25, 100, record.Sync(), record.Done());
    ani.setDuration(200);
    ani.setStep(6);
    ani.Start();
    ani.WaitFor();
    EXPECT_EQ(record.Calls, (std::vector<int>{42, 58, 75, 91, 107, 124, 124, -1}));
    EXPECT_DOUBLE_EQ(ani.Percent(), 0.99);
    EXPECT_EQ(ani.CurrentValue(), 124);
}

TEST_F(TIntAniTest, CurveChosenAfterCreationIsTheOneThatRuns) {
    Recorder record;
    TIntAni ani(false, K::akIn, F::afkLinear, 0, 1000, record.Sync(), record.Done());
    ani.setAniFunctionKind(F::afkQuadratic);
    ani.setStep(2);
    ani.setDuration(4);
    ani.Start();
    ani.WaitFor();
    // Progress 0.5 and 1 through p squared.
    EXPECT_EQ(record.Calls, (std::vector<int>{250, 1000, 1000, -1}));
}

TEST_F(TIntAniTest, ChangesAfterStartDoNotReachTheRunningAnimation) {
    Recorder record;
    TIntAni ani(false, K::akIn, F::afkLinear, 0, 1000, record.Sync(), record.Done());
    ani.setStep(2);
    ani.setDuration(4);
    ani.setDelayStartTime(5);
    ani.Start();
    // The worker reads its own copy: neither the curve nor the values change under it.
    ani.setAniFunctionKind(F::afkQuadratic);
    ani.setDeltaValue(10);
    ani.setStep(5);
    ani.WaitFor();
    EXPECT_EQ(record.Calls, (std::vector<int>{500, 1000, 1000, -1}));
}

TEST_F(TIntAniTest, UnknownFamilyFinishesWithoutAnyCallback) {
    Recorder record;
    TIntAni ani(false, K::akIn, TAniFunctionKind(12), 0, 10, record.Sync(), record.Done());
    ani.Start();
    ani.WaitFor();
    EXPECT_TRUE(record.Calls.empty());
    EXPECT_FALSE(ani.Running());
}

TEST_F(TIntAniTest, ZeroDurationJumpsToTheEnd) {
    Recorder record;
    TIntAni ani(false, K::akIn, F::afkCircle, 5, 10, record.Sync(), record.Done());
    ani.setDuration(0);
    ani.setStep(3);
    ani.Start();
    ani.WaitFor();
    EXPECT_EQ(record.Calls, (std::vector<int>{15, 15, 15, 15, -1}));
}

TEST_F(TIntAniTest, RoundedUpIntervalNeverCarriesPastTheEnd) {
    // 14 / 5 rounds to 3, and 3 * 5 / 14 would be 1.07: past the end, and
    // outside the domain of the circle curve.
    Recorder record;
    TIntAni ani(false, K::akIn, F::afkCircle, 0, 1000, record.Sync(), record.Done());
    ani.setDuration(14);
    ani.setStep(5);
    ani.Start();
    ani.WaitFor();
    ASSERT_EQ(record.Calls.size(), 7u);
    EXPECT_EQ(record.Calls[4], 1000);
    EXPECT_DOUBLE_EQ(ani.Percent(), 1.0);
}

TEST_F(TIntAniTest, TerminateDoesNotShortenTheAnimation) {
    Recorder record;
    TIntAni ani(false, K::akOut, F::afkCubic, 0, 100, record.Sync(), record.Done());
    ani.setDuration(8);
    ani.setStep(8);
    ani.Start();
    ani.Terminate();
    EXPECT_TRUE(ani.Terminated());
    ani.WaitFor();
    EXPECT_EQ(record.Calls.size(), 10u);
    EXPECT_EQ(record.Calls.back(), -1);
}

TEST_F(TIntAniTest, EventLoopServesASelfFreeingAnimation) {
    Recorder record;
    QEventLoop loop;
    auto* ani = new TIntAni(true, K::akIn, F::afkLinear, 0, 255, record.Sync(), [&] {
        record.Calls.push_back(-1);
        loop.quit();
    });
    ani->setDuration(10);
    ani->setStep(10);
    ani->Start();
    QTimer::singleShot(10000, &loop, [&] { loop.exit(1); }); // a guard, never reached when it works
    ASSERT_EQ(loop.exec(), 0);
    EXPECT_EQ(record.Calls, (std::vector<int>{26, 51, 77, 102, 128, 153, 178, 204, 229, 255, 255, -1}));
    EXPECT_TRUE(record.AllOnMainThread);
}

TEST_F(TIntAniTest, ACallbackMayWaitForAnotherAnimation) {
    Recorder inner;
    std::vector<int> outer;
    TIntAni second(false, K::akIn, F::afkLinear, 0, 4, inner.Sync(), inner.Done());
    second.setDuration(4);
    second.setStep(4);
    TIntAni first(false, K::akIn, F::afkLinear, 0, 2,
                  [&](int value) {
                      outer.push_back(value);
                      if (outer.size() == 1) {
                          // The main thread, already inside a callback of the first
                          // animation, serves the second one while it waits.
                          second.Start();
                          second.WaitFor();
                          outer.push_back(int(inner.Calls.size()));
                      }
                  },
                  {});
    first.setDuration(2);
    first.setStep(2);
    first.Start();
    first.WaitFor();
    EXPECT_EQ(inner.Calls, (std::vector<int>{1, 2, 3, 4, 4, -1}));
    EXPECT_EQ(outer, (std::vector<int>{1, 6, 2, 2}));
}

TEST_F(TIntAniTest, SeveralAnimationsRunAtOnce) {
    Recorder a;
    Recorder b;
    TIntAni first(false, K::akOut, F::afkSine, 0, 100, a.Sync(), a.Done());
    TIntAni second(false, K::akInOut, F::afkBack, 100, -100, b.Sync(), b.Done());
    for (TIntAni* ani : {&first, &second}) {
        ani->setDuration(10);
        ani->setStep(5);
        ani->Start();
    }
    first.WaitFor();
    second.WaitFor();
    EXPECT_EQ(a.Calls, (std::vector<int>{31, 59, 81, 95, 100, 100, -1}));
    ASSERT_EQ(b.Calls.size(), 7u);
    EXPECT_EQ(b.Calls[4], 0);
}

TEST_F(TIntAniTest, DestroyingARunningAnimationLetsItPlayOut) {
    Recorder record;
    {
        TIntAni ani(false, K::akIn, F::afkLinear, 0, 3, record.Sync(), record.Done());
        ani.setDuration(3);
        ani.setStep(3);
        ani.Start();
    }
    EXPECT_EQ(record.Calls, (std::vector<int>{1, 2, 3, 3, -1}));
}

TEST_F(TIntAniTest, WorkerThreadsHandTheirWorkToTheMainThread) {
    bool ranOnMain = false;
    std::thread worker([&] { FXMainThread::Synchronize([&] { ranOnMain = FXMainThread::IsCurrent(); }); });
    std::atomic<bool> finished = false;
    std::thread waiter([&] {
        worker.join();
        finished = true;
        FXMainThread::Wake();
    });
    FXMainThread::ServeUntil([&] { return finished.load(); });
    waiter.join();
    EXPECT_TRUE(ranOnMain);
}

} // namespace
