#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/VariantFunction.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

// A value whose conversion out of a variant is recorded: shows the order in
// which a binder converts its arguments.
struct Traced {
    static inline std::vector<int>* s_order = nullptr;
    int id = 0;
    Traced() = default;
    Traced(const Traced& other) : id(other.id) {
        if (s_order != nullptr) s_order->push_back(id);
    }
};

struct CollisionInfo {
    float depth = 0;
};

struct Listener {
    int keys = 0;
    bool lastDown = false;
    float health = 0;
    std::string text;
    std::vector<int> seen;
    void OnKeyTriggered(int key, bool down) {
        keys = key;
        lastDown = down;
    }
    void OnScaled(float scale, bool down) { health = scale + (down ? 1.f : 0.f); }
    void OnHealthChanged(float value) { health = value; }
    void OnCollision(CollisionInfo info) { health = info.depth; }
    void OnText(std::string value) { text = value; }
    void OnNothing() { ++keys; }
    void OnFour(int a, int b, int c, const std::string& d) { seen = {a, b, c, int(d.size())}; }
    void OnTraced(Traced a, const Traced& b, Traced c) { seen = {a.id, b.id, c.id}; }
};

struct OtherListener {
    float depth = 0;
    void OnCollision(const CollisionInfo& info) { depth = info.depth; }
};

struct DerivedListener : Listener {};

}  // namespace

LV_DECLARE_META_CLASS(Traced);
LV_DECLARE_META_CLASS(CollisionInfo);
LV_DECLARE_META_CLASS(Listener);
LV_REFLECT_VALUE(Traced);
LV_REFLECT_VALUE(CollisionInfo);
LV_REFLECT_CLASS(Listener);
LV_REFLECT_CLASS(OtherListener);

using namespace Ostrel;

TEST(VariantFunction, DelegateCallsTheMemberWithConvertedArguments) {
    Listener listener;
    FunctionRef onKey = MakeDelegate(&listener, &Listener::OnKeyTriggered);
    int key = 120;
    bool down = true;
    onKey->Call(VariantList{key, down});
    EXPECT_EQ(listener.keys, 120);
    EXPECT_TRUE(listener.lastDown);

    FunctionRef onNothing = MakeDelegate(&listener, &Listener::OnNothing);
    onNothing->Call();
    EXPECT_EQ(listener.keys, 121);

    FunctionRef onText = MakeDelegate(&listener, &Listener::OnText);
    onText->Call(VariantList{Variant("sent")});
    EXPECT_EQ(listener.text, "sent");

    FunctionRef onFour = MakeDelegate(&listener, &Listener::OnFour);
    int a = 1, b = 2, c = 3;
    std::string d = "four";
    onFour->Call(VariantList{a, b, c, d});
    EXPECT_EQ(listener.seen, (std::vector<int>{1, 2, 3, 4}));
}

TEST(VariantFunction, DelegateRecordsTheTargetAndItsClass) {
    Listener listener;
    FunctionRef f = MakeDelegate(&listener, &Listener::OnHealthChanged);
    auto* delegate = static_cast<VarFun_Delegate*>(f.Get());
    EXPECT_EQ(f->GetObjectData(), &listener);
    EXPECT_EQ(delegate->GetObject().GetType()->GetName(), "Listener");
    EXPECT_EQ(delegate->GetMethod()->GetClass()->GetName(), "Listener");
    EXPECT_EQ(f->GetMethodPtrSize(), sizeof(&Listener::OnHealthChanged));
    EXPECT_EQ(f->GetReturnType(), GetNilMetaClass());
    EXPECT_FALSE(f->IsConst());
}

TEST(VariantFunction, BinderConvertsArgumentsLastFirst) {
    std::vector<int> order;
    Traced::s_order = &order;
    Listener listener;
    Traced a, b, c;
    a.id = 1;
    b.id = 2;
    c.id = 3;
    VariantList arguments{a, b, c};
    MakeDelegate(&listener, &Listener::OnTraced)->Call(arguments);
    Traced::s_order = nullptr;
    ASSERT_GE(order.size(), 3u);
    EXPECT_EQ((std::vector<int>{order[0], order[1], order[2]}), (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(listener.seen, (std::vector<int>{1, 2, 3}));
}

TEST(VariantFunction, ArgumentTypesAndNilPastTheLast) {
    Listener listener;
    FunctionRef f = MakeDelegate(&listener, &Listener::OnKeyTriggered);
    EXPECT_EQ(f->GetArgCount(), 2);
    EXPECT_EQ(f->GetArgType(0), MetaClassOf<int>());
    EXPECT_EQ(f->GetArgType(1), MetaClassOf<bool>());
    EXPECT_EQ(f->GetArgType(2), GetNilMetaClass());
    EXPECT_EQ(f->GetArgType(-1), GetNilMetaClass());
}

TEST(VariantFunction, IsSameMeansSameObjectAndSameMemberFunction) {
    Listener one, two;
    FunctionRef a = MakeDelegate(&one, &Listener::OnHealthChanged);
    FunctionRef b = MakeDelegate(&one, &Listener::OnHealthChanged);
    FunctionRef otherObject = MakeDelegate(&two, &Listener::OnHealthChanged);
    FunctionRef otherMethod = MakeDelegate(&one, &Listener::OnNothing);
    EXPECT_TRUE(a->IsSame(b.Get()));
    EXPECT_FALSE(a->IsSame(otherObject.Get()));
    EXPECT_FALSE(a->IsSame(otherMethod.Get()));
    EXPECT_FALSE(a->IsSame(nullptr));
}

TEST(VariantFunction, IsSameComparesTheWholeMemberPointer) {
    // Two functions whose member pointers differ only past the first four
    // bytes would look alike to a short comparison; sizeof covers them all.
    Listener one;
    FunctionRef a = MakeDelegate(&one, &Listener::OnHealthChanged);
    EXPECT_EQ(a->GetMethodPtrSize(), u32(sizeof(void (Listener::*)(float))));
    EXPECT_GT(a->GetMethodPtrSize(), 4u);
}

TEST(VariantFunction, DelegateOnABaseClassMemberIsTheSameForTheSameObject) {
    DerivedListener derived;
    FunctionRef a = MakeDelegate(&derived, &Listener::OnHealthChanged);
    FunctionRef b = MakeDelegate(static_cast<Listener*>(&derived), &Listener::OnHealthChanged);
    EXPECT_TRUE(a->IsSame(b.Get()));
    float value = 4.f;
    a->Call(VariantList{value});
    EXPECT_EQ(derived.health, 4.f);
}

TEST(VariantFunction, IsCompatibleComparesArgumentCountAndMetaClasses) {
    Listener listener;
    OtherListener other;
    FunctionRef collisionA = MakeDelegate(&listener, &Listener::OnCollision);
    FunctionRef collisionB = MakeDelegate(&other, &OtherListener::OnCollision);
    FunctionRef keys = MakeDelegate(&listener, &Listener::OnKeyTriggered);
    FunctionRef scaled = MakeDelegate(&listener, &Listener::OnScaled);
    FunctionRef health = MakeDelegate(&listener, &Listener::OnHealthChanged);
    EXPECT_TRUE(collisionA->IsCompatible(collisionB.Get()));  // by value vs const reference
    EXPECT_FALSE(keys->IsCompatible(health.Get()));           // (int, bool) vs (float)
    EXPECT_FALSE(keys->IsCompatible(scaled.Get()));           // (int, bool) vs (float, bool)
    EXPECT_TRUE(keys->IsCompatible(keys.Get()));
}

TEST(VariantFunction, TooFewArgumentsAreIgnored) {
    Listener listener;
    listener.keys = 5;
    FunctionRef f = MakeDelegate(&listener, &Listener::OnKeyTriggered);
    int key = 9;
    f->Call(VariantList{key});
    f->Call();
    EXPECT_EQ(listener.keys, 5);
}

TEST(VariantFunction, CallClearsTheReturnListOfItsOwnThreadOnly) {
    int marker = 1;
    SharedReturnList().Add(Variant(marker));
    std::thread other([] {
        Listener listener;
        SharedReturnList().Add(Variant("other thread"));
        MakeDelegate(&listener, &Listener::OnNothing)->Call();
        EXPECT_TRUE(SharedReturnList().Empty());
    });
    other.join();
    EXPECT_EQ(SharedReturnList().Size(), 1u);
    Listener listener;
    MakeDelegate(&listener, &Listener::OnNothing)->Call();
    EXPECT_TRUE(SharedReturnList().Empty());
}

TEST(VariantFunction, DelegatesFitTheSmallObjectPool) {
    EXPECT_LE(sizeof(VarFun_Delegate), std::size_t(kSmallMaxObjectSize));
}
