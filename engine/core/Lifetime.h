#pragma once
// Ordered destruction of the process-wide singletons (the small-object
// allocator, the meta-class registry, the binder factories, ...). Each one is
// created on first use by its Instance() accessor, which registers it here
// with a longevity: at exit the smallest longevity is destroyed first, the
// allocator (the largest value) last. Among equal longevities the one
// registered last goes first.
//
// Every SetLongevity call adds one LifetimeAtExit to the runtime's exit list;
// each run destroys the tracked singleton with the smallest longevity left.
// Since exit handlers interleave with static destructors in reverse order of
// registration, a static object built after a singleton's first use is
// destroyed before that singleton.

#include "engine/base/Types.h"

#include <atomic>
#include <mutex>

namespace Ostrel {

namespace Private {

class LifetimeTracker {
public:
    virtual u32 GetLongevity() const = 0;
    virtual ~LifetimeTracker() = default;
};

// Destroys its object with the given function (plain delete unless the
// singleton needs more, for example clearing its Instance() pointer).
template <class T>
class TypedLifetimeTracker final : public LifetimeTracker {
public:
    using Destroyer = void (*)(T*);

    TypedLifetimeTracker(T* object, u32 longevity, Destroyer destroyer)
        : m_object(object), m_longevity(longevity), m_destroyer(destroyer) {}
    ~TypedLifetimeTracker() override {
        if (m_object != nullptr) {
            m_destroyer(m_object);
        }
    }
    u32 GetLongevity() const override { return m_longevity; }

private:
    T* m_object;
    u32 m_longevity;
    Destroyer m_destroyer;
};

void AddLifetimeTracker(LifetimeTracker* tracker);

// Serialises the creation of singletons (Instance() slow paths).
std::mutex& SingletonCreationMutex();

template <class T>
void DeleteObject(T* object) {
    delete object;
}

}  // namespace Private

// The exit hook SetLongevity registers: destroys the tracked singleton with
// the smallest longevity (the most recently registered among equals).
void LifetimeAtExit();

// Registers object for destruction at exit by destroyer, ordered by longevity.
template <class T>
void SetLongevity(T* object, u32 longevity,
                  typename Private::TypedLifetimeTracker<T>::Destroyer destroyer =
                      &Private::DeleteObject<T>) {
    Private::AddLifetimeTracker(new Private::TypedLifetimeTracker<T>(object, longevity, destroyer));
}

// Longevities of the engine's singletons.
constexpr u32 kLongevitySmallAllocator = 4294967295u;
constexpr u32 kLongevityMetaRegistry = 100;
constexpr u32 kLongevityMethodBinder = 100;
constexpr u32 kLongevityFieldBinder = 100;
constexpr u32 kLongevityAtomManager = 99;

// The Instance() accessor shared by the singletons: T is created with new on
// first use (thread-safe), registered with longevity, and its pointer is
// cleared when the exit hook destroys it, so a use after that (at exit only)
// makes a fresh one instead of touching freed memory.
template <class T, u32 Longevity>
class LongLivedSingleton {
public:
    static T& Instance() {
        T* instance = s_instance.load(std::memory_order_acquire);
        return instance != nullptr ? *instance : Create();
    }

    // The instance, or nullptr when none exists (never creates one).
    static T* InstanceIfAlive() { return s_instance.load(std::memory_order_acquire); }

private:
    static T& Create() {
        std::lock_guard<std::mutex> lock(Private::SingletonCreationMutex());
        T* instance = s_instance.load(std::memory_order_relaxed);
        if (instance == nullptr) {
            instance = new T();
            s_instance.store(instance, std::memory_order_release);
            SetLongevity<T>(instance, Longevity, &Destroy);
        }
        return *instance;
    }

    static void Destroy(T* instance) {
        s_instance.store(nullptr, std::memory_order_release);
        delete instance;
    }

    static inline std::atomic<T*> s_instance{nullptr};
};

}  // namespace Ostrel
