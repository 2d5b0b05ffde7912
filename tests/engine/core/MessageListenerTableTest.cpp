#include "engine/core/MessageListenerTable.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace Ostrel;

namespace {

// A receiver that appends its name to a shared trace and then runs an
// optional action (subscribe, unsubscribe, send...) from inside the send.
struct Receiver {
    std::string name;
    std::vector<std::string>* trace = nullptr;
    std::function<void()> action;
    int key = 0;
    bool pressed = false;

    void OnPing() {
        trace->push_back(name);
        if (action) action();
    }
    void OnKey(int k, bool p) {
        trace->push_back(name);
        key = k;
        pressed = p;
    }
};

std::vector<std::string> Names(const MessageListenerTable& table, const std::string& message) {
    std::vector<std::string> names;
    for (const FunctionRef& f : table.GetListeners(message))
        names.push_back(static_cast<const Receiver*>(f->GetObjectData())->name);
    return names;
}

class Table : public ::testing::Test {
protected:
    Receiver& Make(const std::string& name) {
        receivers.push_back(std::make_unique<Receiver>());
        receivers.back()->name = name;
        receivers.back()->trace = &trace;
        return *receivers.back();
    }
    static FunctionRef Ping(Receiver& r) { return MakeDelegate(&r, &Receiver::OnPing); }

    MessageListenerTable table;
    std::vector<std::string> trace;
    std::vector<std::unique_ptr<Receiver>> receivers;
};

}  // namespace

LV_DECLARE_META_CLASS(Receiver);
LV_REFLECT_CLASS(Receiver);

// Names that share long prefixes, differ only past eight bytes, in length
// or in a byte above 127 each reach their own listener only.
TEST_F(Table, EachNameReachesOnlyItsOwnListeners) {
    const std::string names[] = {"KeyTriggered", "KeyTriggeredX", "KeyTriggere", "KeyTriggeredAgainLater",
                                 "KeyTriggeredAgainLatest", "K\xC3\xA9y", "Key", ""};
    for (const std::string& name : names) table.Listen(name, Ping(Make(name)));
    for (const std::string& name : names) {
        trace.clear();
        table.Send(name);
        EXPECT_EQ(trace, std::vector<std::string>{name});
    }
    trace.clear();
    table.Send("KeyTriggeredAgainLates");
    EXPECT_TRUE(trace.empty());
}

TEST_F(Table, RemovalOverwritesWithTheLastListener) {
    Receiver &a = Make("first"), &b = Make("second"), &c = Make("third");
    table.Listen("Ping", Ping(a));
    table.Listen("Ping", Ping(b));
    table.Listen("Ping", Ping(c));
    table.Unlisten("Ping", Ping(c));  // a fresh delegate IsSame as the subscribed one
    EXPECT_EQ(Names(table, "Ping"), (std::vector<std::string>{"first", "second"}));
    table.Listen("Ping", Ping(c));
    table.Unlisten("Ping", Ping(a));
    EXPECT_EQ(Names(table, "Ping"), (std::vector<std::string>{"third", "second"}));
    table.Unlisten("Ping", Ping(a));  // not subscribed: silent
    table.Unlisten("Nobody", Ping(a));
    table.Send("Ping");
    EXPECT_EQ(trace, (std::vector<std::string>{"third", "second"}));
    EXPECT_TRUE(table.HasEntry("Ping"));
}

TEST_F(Table, UnsubscribeThenResubscribeDuringASendLeavesOneSubscriptionAtTheEnd) {
    Receiver &a = Make("a"), &self = Make("self"), &b = Make("b");
    self.action = [&] {
        table.Unlisten("Ping", Ping(self));
        table.Listen("Ping", Ping(self));
    };
    table.Listen("Ping", Ping(a));
    table.Listen("Ping", Ping(self));
    table.Listen("Ping", Ping(b));
    table.Send("Ping");
    EXPECT_EQ(trace, (std::vector<std::string>{"a", "self", "b"}));  // the walk is unchanged
    EXPECT_EQ(Names(table, "Ping"), (std::vector<std::string>{"a", "b", "self"}));
}

TEST_F(Table, SubscribeThenUnsubscribeDuringASendStaysSubscribed) {
    Receiver &sender = Make("sender"), &late = Make("late");
    sender.action = [&] {
        table.Listen("Ping", Ping(late));
        table.Unlisten("Ping", Ping(late));  // removals come first and find nothing
    };
    table.Listen("Ping", Ping(sender));
    table.Send("Ping");
    EXPECT_EQ(trace, std::vector<std::string>{"sender"});
    EXPECT_EQ(Names(table, "Ping"), (std::vector<std::string>{"sender", "late"}));
}

TEST_F(Table, NestedSendsApplyPendingChangesOnlyAfterTheOutermost) {
    Receiver &outer = Make("outer"), &late = Make("late");
    int depthSeen = 0;
    outer.action = [&] {
        if (trace.size() == 1) {
            table.Send("Ping");  // nested
            depthSeen = table.GetDepth();
            table.Listen("Other", Ping(late));
        } else {
            table.Listen("Ping", Ping(late));
            EXPECT_EQ(table.GetListeners("Ping").size(), 1u);
        }
    };
    table.Listen("Ping", Ping(outer));
    table.Send("Ping");
    EXPECT_EQ(trace, (std::vector<std::string>{"outer", "outer"}));
    EXPECT_EQ(depthSeen, 1);  // the nested send returned without applying
    EXPECT_EQ(Names(table, "Ping"), (std::vector<std::string>{"outer", "late"}));
    EXPECT_EQ(Names(table, "Other"), std::vector<std::string>{"late"});
    EXPECT_EQ(table.GetDepth(), 0);
}

TEST_F(Table, ADirectHandlerHidesTheListenersUntilCleared) {
    Receiver &a = Make("a"), &b = Make("b"), &handler = Make("handler");
    table.Listen("Ping", Ping(a));
    table.Listen("Ping", Ping(b));
    table.SetHandler("Ping", Ping(handler));
    table.Send("Ping");
    EXPECT_EQ(trace, std::vector<std::string>{"handler"});
    table.ClearHandler("Ping");
    table.ClearHandler("Unknown");  // nothing
    EXPECT_FALSE(table.HasEntry("Unknown"));
    table.Send("Ping");
    EXPECT_EQ(trace, (std::vector<std::string>{"handler", "a", "b"}));

    // SetHandler on a name nobody listens to creates its entry.
    table.SetHandler("Fresh", Ping(handler));
    EXPECT_TRUE(table.HasEntry("Fresh"));
    table.Send("Fresh");
    EXPECT_EQ(trace.back(), "handler");
}

TEST_F(Table, AHandlerOrListenerThatDropsItselfDuringTheCallStaysAlive) {
    // Run under AddressSanitizer: each case frees what is running unless the
    // table keeps it alive for the call.
    Receiver &handler = Make("handler"), &replacer = Make("replacer"), &remover = Make("remover"),
             &after = Make("after"), &clearer = Make("clearer");
    handler.action = [&] {
        table.ClearHandler("Ping");
        trace.push_back(handler.name);  // touches the receiver after the clear
    };
    table.SetHandler("Ping", Ping(handler));  // the table holds the only handle
    table.Send("Ping");
    EXPECT_FALSE(table.HasHandler("Ping"));

    replacer.action = [&] { table.SetHandler("Swap", Ping(after)); };
    table.SetHandler("Swap", Ping(replacer));
    table.Send("Swap");
    table.Send("Swap");

    remover.action = [&] { table.Remove("Gone"); };
    table.Listen("Gone", Ping(remover));
    table.Listen("Gone", Ping(after));
    table.Send("Gone");  // the walk goes on over the dropped list
    EXPECT_FALSE(table.HasEntry("Gone"));

    clearer.action = [&] {
        table.Listen("Ping", Ping(after));  // pending, then cleared
        table.Clear();
    };
    table.Listen("Ping", Ping(clearer));
    table.Send("Ping");
    EXPECT_FALSE(table.HasEntry("Ping"));
    EXPECT_EQ(trace, (std::vector<std::string>{"handler", "handler", "replacer", "after", "remover",
                                               "after", "clearer"}));
}

TEST_F(Table, ArgumentsAreReferencesExceptCopiedText) {
    struct Keeper : VariantFunction {
        VariantList kept;
        void Invoke(const VariantList& arguments, VariantList&) override { kept = arguments; }
        int GetArgCount() const override { return 0; }
        MetaClass* GetArgType(int) const override { return GetNilMetaClass(); }
        bool IsConst() const override { return false; }
        MetaClass* GetReturnType() const override { return GetNilMetaClass(); }
        const void* GetObjectData() const override { return this; }
        const void* GetMethodPtr() const override { return nullptr; }
        u32 GetMethodPtrSize() const override { return 0; }
    };
    auto* keeper = new Keeper;
    FunctionRef handle(keeper);
    table.Listen("Say", handle);
    int count = 7;
    std::string owned = "by reference";
    {
        std::string temporary = "copied";
        table.SendValues("Say", temporary.c_str(), count, owned, &owned, "literal");
    }
    ASSERT_EQ(keeper->kept.Size(), 5u);
    EXPECT_TRUE(keeper->kept[0].IsOwned());
    EXPECT_EQ(keeper->kept[0].As<std::string>(), "copied");  // outlives the sender's text
    EXPECT_FALSE(keeper->kept[1].IsOwned());
    EXPECT_EQ(keeper->kept[1].GetData(), &count);
    EXPECT_EQ(keeper->kept[2].GetData(), &owned);
    EXPECT_FALSE(keeper->kept[2].IsOwned());
    EXPECT_EQ(keeper->kept[3].As<std::string*>(), &owned);
    EXPECT_TRUE(keeper->kept[4].IsOwned());
    EXPECT_EQ(keeper->kept[4].As<std::string>(), "literal");
}

TEST_F(Table, TypedSendersReachHandlersAndShortCallsAreIgnored) {
    Receiver& r = Make("keys");
    table.Listen("KeyTriggered", MakeDelegate(&r, &Receiver::OnKey));
    int key = 120;
    bool pressed = true;
    table.SendValues("KeyTriggered", key, pressed);
    EXPECT_EQ(r.key, 120);
    EXPECT_TRUE(r.pressed);
    // A sender that passes too few arguments (a script can send anything):
    // the listener logs and ignores the call instead of reading past the list.
    table.Send("KeyTriggered");
    table.SendInt("KeyTriggered", 5);
    EXPECT_EQ(trace.size(), 1u);
    EXPECT_EQ(r.key, 120);
}

using TableDeathTest = Table;

TEST_F(TableDeathTest, AnIncompatibleListenerEndsTheProgramWithCode3) {
    Receiver &a = Make("a"), &b = Make("b");
    EXPECT_EXIT(
        {
            table.Listen("KeyTriggered", MakeDelegate(&a, &Receiver::OnKey));
            table.Listen("KeyTriggered", Ping(b));
        },
        ::testing::ExitedWithCode(3), "IsCompatible");
    // The deferred lists are checked too: two incompatible unsubscriptions
    // recorded during one send.
    EXPECT_EXIT(
        {
            a.action = [&] {
                table.Unlisten("Mixed", Ping(a));
                table.Unlisten("Mixed", MakeDelegate(&b, &Receiver::OnKey));
            };
            table.Listen("Ping", Ping(a));
            table.Send("Ping");
        },
        ::testing::ExitedWithCode(3), "IsCompatible");
}
