#include "engine/core/ActionBase.h"
#include "engine/core/ActionList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace Ostrel {
namespace {

// Records "start X", "update X", "end X" into a shared trace; the next
// results can be scripted, and a hook runs inside OnUpdate.
class TraceAction : public ActionBase {
public:
    TraceAction(std::string name, std::vector<std::string>& trace) : m_name(std::move(name)), m_trace(trace) {}
    ~TraceAction() override { m_trace.push_back("delete " + m_name); }
    void OnStart() override {
        ActionBase::OnStart();
        m_trace.push_back("start " + m_name);
    }
    void OnEnd() override {
        ActionBase::OnEnd();
        m_trace.push_back("end " + m_name);
    }
    int OnUpdate(f32 dt) override {
        m_trace.push_back("update " + m_name);
        steps.push_back(dt);
        if (hook) hook();
        return result;
    }
    int result = kActionRunning;
    std::function<void()> hook;
    std::vector<f32> steps;

private:
    std::string m_name;
    std::vector<std::string>& m_trace;
};

std::vector<std::string> Updated(const std::vector<std::string>& trace) {
    std::vector<std::string> out;
    for (const std::string& line : trace)
        if (line.rfind("update ", 0) == 0) out.push_back(line.substr(7));
    return out;
}

TEST(ActionBase, FixedStepTakesAtMostOneStrictlyGreaterStepPerFrame) {
    std::vector<std::string> trace;
    TraceAction quarter("q", trace);
    quarter.SetFixedStep(true);
    quarter.SetStep(0.1f);
    for (int frame = 0; frame < 4; ++frame) quarter.Update(0.25f);
    EXPECT_EQ(quarter.steps.size(), 4u);  // one per frame, never two
    EXPECT_NEAR(quarter.GetAccumulator(), 4 * 0.15f, 1e-5f);
    for (f32 step : quarter.steps) EXPECT_FLOAT_EQ(step, 0.1f);

    TraceAction exact("e", trace);
    exact.SetFixedStep(true);
    exact.SetStep(0.1f);
    exact.Update(0.1f);
    EXPECT_TRUE(exact.steps.empty());  // 0.1 is not greater than 0.1
    exact.Update(0.1f);
    exact.Update(0.1f);
    EXPECT_EQ(exact.steps.size(), 2u);

    exact.SetStep(0.5f);  // clears the accumulator
    EXPECT_EQ(exact.GetAccumulator(), 0.0f);
}

TEST(ActionBase, BlockingReportsRunningAsBlockingAndFinishWins) {
    std::vector<std::string> trace;
    TraceAction action("a", trace);
    action.SetBlocking(true);
    EXPECT_EQ(action.Update(0.1f), kActionBlocking);
    action.result = 7;  // unknown codes pass through and count as running
    EXPECT_EQ(action.Update(0.1f), 7);
    action.SetId(42);
    action.OnTerminateAction(41);
    EXPECT_FALSE(action.IsFinished());
    action.OnTerminateAction(42);
    EXPECT_EQ(action.Update(0.1f), kActionFinished);
    EXPECT_EQ(action.steps.size(), 2u);  // OnUpdate not called once finished
    action.OnStart();                    // starting again clears finished
    EXPECT_FALSE(action.IsFinished());
}

TEST(ActionList, NewestActionRunsFirstAndSequenceAddedLastStepFirstRunsInOrder) {
    std::vector<std::string> trace;
    ActionList list;
    auto* step3 = new TraceAction("step3", trace);
    auto* step2 = new TraceAction("step2", trace);
    auto* step1 = new TraceAction("step1", trace);
    for (TraceAction* a : {step1, step2, step3}) a->SetBlocking(true);
    auto* ai = new TraceAction("ai", trace);
    list.Add(ai);
    list.Add(step3);
    list.Add(step2);
    list.Add(step1);
    EXPECT_EQ(trace[0], "start ai");  // started at once, outside an update

    std::vector<std::string> order;
    for (int frame = 0; frame < 4; ++frame) {
        trace.clear();
        list.Update(0.1f);
        std::vector<std::string> u = Updated(trace);
        order.insert(order.end(), u.begin(), u.end());
        if (frame == 0) step1->Finish();
        if (frame == 1) step2->Finish();
        if (frame == 2) step3->Finish();
    }
    // Each step blocks lane 0 until it finishes; the AI waits behind all of them.
    EXPECT_EQ(order, (std::vector<std::string>{"step1", "step2", "step3", "ai"}));
}

TEST(ActionList, BlockingHoldsBackOnlyLaterActionsOfItsLane) {
    std::vector<std::string> trace;
    ActionList list;
    auto* other = new TraceAction("other", trace);
    other->SetLane(7);
    auto* second = new TraceAction("second", trace);
    second->SetLane(3);
    auto* blocker = new TraceAction("blocker", trace);
    blocker->SetLane(3);
    blocker->SetBlocking(true);
    auto* before = new TraceAction("before", trace);
    before->SetLane(3);
    list.Add(other);
    list.Add(second);
    list.Add(blocker);
    list.Add(before);  // list: before, blocker, second, other

    trace.clear();
    list.Update(0.1f);
    EXPECT_EQ(Updated(trace), (std::vector<std::string>{"before", "blocker", "other"}));

    blocker->result = kActionFinished;
    trace.clear();
    list.Update(0.1f);  // blocker reports finished: second is no longer held back
    EXPECT_EQ(Updated(trace), (std::vector<std::string>{"before", "blocker", "second", "other"}));
    trace.clear();
    list.Update(0.1f);
    EXPECT_EQ(Updated(trace), (std::vector<std::string>{"before", "second", "other"}));
}

TEST(ActionList, ActionAddedInTheSameFrameStartsBeforeTheFinishedOneEnds) {
    std::vector<std::string> trace;
    ActionList list;
    auto* done = new TraceAction("done", trace);
    auto* older = new TraceAction("older", trace);
    list.Add(older);
    list.Add(done);
    auto* a = new TraceAction("a", trace);
    auto* b = new TraceAction("b", trace);
    done->result = kActionFinished;
    done->hook = [&] {
        list.Add(a);
        list.Add(b);
        EXPECT_FALSE(list.Remove(a));  // queued, not yet in the list
    };
    trace.clear();
    list.Update(0.1f);
    EXPECT_EQ(trace, (std::vector<std::string>{"update done", "update older", "start a", "start b", "end done",
                                               "delete done"}));
    // Queued in order a, b; each went to the front: b runs first.
    trace.clear();
    list.Update(0.1f);
    EXPECT_EQ(Updated(trace), (std::vector<std::string>{"b", "a", "older"}));
}

TEST(ActionList, RemovalRulesInAndOutsideAnUpdate) {
    std::vector<std::string> trace;
    ActionList list;
    auto* a = new TraceAction("a", trace);
    auto* b = new TraceAction("b", trace);
    TraceAction stranger("s", trace);
    list.Add(a);
    list.Add(b);
    EXPECT_FALSE(list.Remove(&stranger));
    // b finishes and a removes it in the same pass: ended and deleted once.
    b->result = kActionFinished;
    a->hook = [&] { EXPECT_TRUE(list.Remove(b)); };
    trace.clear();
    list.Update(0.1f);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "end b"), 1);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "delete b"), 1);
    a->hook = nullptr;
    trace.clear();
    EXPECT_TRUE(list.Remove(a));
    EXPECT_EQ(trace, (std::vector<std::string>{"end a", "delete a"}));
    EXPECT_TRUE(list.IsEmpty());
}

TEST(ActionList, DestroyingTheListEndsEveryActionOnce) {
    std::vector<std::string> trace;
    {
        ActionList list;
        list.Add(new TraceAction("a", trace));
        list.Add(new TraceAction("b", trace));
        trace.clear();
    }
    EXPECT_EQ(trace, (std::vector<std::string>{"end b", "delete b", "end a", "delete a"}));
}

TEST(ActionList, ListAbandonedDuringItsOwnUpdateCleansUpAfterThePass) {
    std::vector<std::string> trace;
    auto list = std::make_shared<ActionList>();
    auto* first = new TraceAction("first", trace);
    auto* killer = new TraceAction("killer", trace);
    list->Add(first);
    list->Add(killer);
    killer->hook = [&] {
        list->Add(new TraceAction("late", trace));
        ActionList::Abandon(std::move(list));  // the brain lets go of its list
    };
    trace.clear();
    std::weak_ptr<ActionList> watch = list;
    list->Update(0.1f);  // the pass holds the list; ASan checks the rest
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(trace, (std::vector<std::string>{"update killer", "end killer", "delete killer", "end first",
                                               "delete first", "delete late"}));
}

}  // namespace
}  // namespace Ostrel
