#include "engine/core/Reflect.h"
#include "engine/core/RefPtr.h"
#include "engine/core/SmallAllocator.h"
#include "engine/core/Variant.h"
#include "engine/core/VariantList.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Counts live instances, to see values deleted exactly once.
struct Counted {
    static inline int s_live = 0;
    static inline int s_deleted = 0;
    int value = 0;
    Counted() { ++s_live; }
    Counted(const Counted& other) : value(other.value) { ++s_live; }
    ~Counted() {
        --s_live;
        ++s_deleted;
    }
};

}  // namespace

LV_DECLARE_META_CLASS(Counted);
LV_REFLECT_VALUE(Counted);

using namespace Ostrel;

TEST(Variant, StaysWithinTheSmallObjectPool) {
    static_assert(sizeof(Variant) <= kSmallMaxObjectSize);
    EXPECT_LE(sizeof(Variant), 64u);
}

TEST(Variant, DefaultIsNilWithoutData) {
    Variant v;
    EXPECT_TRUE(v.IsNull());
    EXPECT_EQ(v.GetType(), GetNilMetaClass());
    EXPECT_EQ(v.GetType()->GetName(), "EntityUnknown");
    EXPECT_EQ(v.ToInt(), 0);
    EXPECT_EQ(v.ToString(), "");
}

TEST(Variant, TypedConstructorsReferToTheValueWithoutOwningIt) {
    int number = 7;
    float ratio = 0.5f;
    bool flag = true;
    unsigned id = 42;
    std::string name = "bat";
    Variant a(number), b(ratio), c(flag), d(id), e(name);
    EXPECT_EQ(a.GetData(), &number);
    EXPECT_FALSE(a.IsOwned());
    EXPECT_EQ(a.GetType(), MetaClassOf<int>());
    EXPECT_EQ(b.GetType()->GetName(), "float");
    EXPECT_EQ(c.GetType()->GetName(), "bool");
    EXPECT_EQ(d.GetType()->GetName(), "unsigned");
    EXPECT_EQ(e.GetType()->GetName(), "OstrelString");
    number = 9;
    EXPECT_EQ(a.As<int>(), 9);  // sees the live value
    EXPECT_EQ(d.As<unsigned>(), 42u);
    EXPECT_EQ(e.As<std::string>(), "bat");
    EXPECT_EQ(e.As<std::string*>(), &name);
}

TEST(Variant, PointerConstructorCarriesThePointeeType) {
    Counted value;
    Variant v(&value);
    EXPECT_EQ(v.GetType(), MetaClassOf<Counted>());
    EXPECT_EQ(v.As<Counted*>(), &value);
    EXPECT_EQ(v.GetType()->GetName(), "Counted");
}

TEST(Variant, TextIsCopiedIntoAnOwningVariantThatOutlivesTheSource) {
    Variant kept;
    {
        std::string source = "Hello";
        Variant sent(source.c_str());
        EXPECT_TRUE(sent.IsOwned());
        EXPECT_NE(sent.GetData(), static_cast<void*>(&source));
        kept = sent;
        EXPECT_EQ(kept.GetRefCount(), 2);
        source = "changed";
    }
    EXPECT_EQ(kept.GetRefCount(), 1);
    EXPECT_EQ(kept.As<std::string>(), "Hello");
}

TEST(Variant, OwningCopyOutlivesOriginalAndValueIsDeletedOnce) {
    Counted::s_deleted = 0;
    const int liveBefore = Counted::s_live;
    {
        Variant copy;
        {
            Counted local;
            local.value = 5;
            Variant original;
            original.SetOwnedCopy(MetaClassOf<Counted>(), &local);
            EXPECT_NE(original.GetData(), static_cast<void*>(&local));
            copy = original;
            EXPECT_EQ(Counted::s_live, liveBefore + 2);  // local and the heap copy
        }
        EXPECT_EQ(Counted::s_live, liveBefore + 1);
        EXPECT_EQ(copy.As<Counted*>()->value, 5);
        Variant third(copy);
        Variant moved(std::move(third));
        EXPECT_EQ(moved.GetRefCount(), 2);
    }
    EXPECT_EQ(Counted::s_live, liveBefore);
    EXPECT_EQ(Counted::s_deleted, 2);  // the local and the heap copy, once each
}

TEST(Variant, SelfAssignmentKeepsTheValue) {
    Variant v("kept");
    Variant& alias = v;
    v = alias;
    EXPECT_EQ(v.As<std::string>(), "kept");
    EXPECT_EQ(v.GetRefCount(), 1);
    v = std::move(alias);
    EXPECT_EQ(v.As<std::string>(), "kept");
}

TEST(Variant, SetOwnedCopyOfItsOwnValueIsSafe) {
    Variant v("self");
    v.SetOwnedCopy(v.GetType(), v.GetData());
    EXPECT_EQ(v.As<std::string>(), "self");
    EXPECT_EQ(v.GetRefCount(), 1);
}

TEST(Variant, ReleaseOfNonOwningVariantLeavesTheValueAndKeepsTheType) {
    int number = 3;
    Variant v(number);
    v.Release();
    EXPECT_EQ(number, 3);
    EXPECT_TRUE(v.IsNull());
    EXPECT_EQ(v.GetType(), MetaClassOf<int>());
}

TEST(Variant, ConvertsThroughItsMetaClass) {
    std::string text = "42abc";
    double real = -2.5;
    EXPECT_EQ(Variant(text).ToInt(), 42);
    EXPECT_EQ(Variant(real).ToInt(), -2);
    bool flag = true;
    EXPECT_EQ(Variant(flag).ToString(), "1");
}

TEST(VariantList, CopiesElementsAndSharesOwnedValues) {
    Variant text("arg");
    int number = 1;
    VariantList list{text, Variant(number)};
    EXPECT_EQ(list.Size(), 2u);
    EXPECT_EQ(text.GetRefCount(), 2);
    EXPECT_EQ(list[1].As<int>(), 1);
    list.Clear();
    EXPECT_EQ(text.GetRefCount(), 1);
}

TEST(VariantListDeathTest, ReadingPastTheEndStopsWithExitCode3) {
    VariantList list;
    EXPECT_EXIT((void)list[2], testing::ExitedWithCode(3), "argument 2 read from a list of 0");
}

TEST(RefPtr, NullHandleStillAllocatesItsCountCell) {
    RefPtr<int> empty;
    EXPECT_TRUE(empty.IsNull());
    EXPECT_EQ(empty.GetRefCount(), 1);
    RefPtr<int> copy(empty);
    EXPECT_EQ(empty.GetRefCount(), 2);
}

TEST(RefPtr, DeletesTheObjectWithTheLastHandle) {
    const int liveBefore = Counted::s_live;
    {
        RefPtr<Counted> a(new Counted());
        RefPtr<Counted> b;
        b = a;
        EXPECT_EQ(a.GetRefCount(), 2);
        a = RefPtr<Counted>();
        EXPECT_EQ(b.GetRefCount(), 1);
        EXPECT_EQ(Counted::s_live, liveBefore + 1);
    }
    EXPECT_EQ(Counted::s_live, liveBefore);
}
