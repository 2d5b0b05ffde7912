#pragma once
// The animation system ('anim') steps every animated object once per frame:
// an object is animated when it has both an animating component (type id
// 'fdgC', see AnimatedComponent) and a MeshComponent (42) when it is
// announced ("ObjectCreated"). Ids leave the list on "ObjectDestroyed", or
// when the next update no longer finds their object; removal swaps the last
// id into the hole, so the order carries no meaning.
//
// With two or more processors the objects are stepped on a pool of worker
// threads, one per processor, built once in Initialize and joined in
// Shutdown. Each frame every worker gets a contiguous slice of the id list
// (count / workers + 1 ids, the last non-empty slice the rest) and the main
// thread waits until all of them are done, so the poses are complete when the
// update returns. No lock is taken: the main thread writes every worker's
// slice before it sets the first start event and reads nothing animated
// before every done event is set; while the workers run it changes nothing.
//
// Waking is what limits a pool on a frame of a few hundred microseconds: a
// sleeping thread takes tens of microseconds to run again. Only the workers
// with a non-empty slice (always the first ones) are woken; the done events
// of the others are set by the main thread. The events watch their flag for
// a few microseconds before sleeping (see ThreadEvent), so a signal that
// comes at once costs no system call on either side. A worker only
// looks objects up and steps its own slice's components (no message table,
// no other object). With threading off (F2 in debug mode, or one processor)
// the objects are stepped serially on the main thread and the workers stay
// asleep.

#include "engine/base/Types.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/System.h"
#include "engine/platform/SubscriptionList.h"
#include "engine/platform/ThreadEvent.h"

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace Ostrel {

class AnimationSystem;
class Composition;
class ObjectManager;

// One worker's record. Written by the main thread only while the worker
// waits for its start event. A record has a cache line of its own, so the
// main thread filling one worker's record does not take the line from under
// another worker that is already reading its own.
struct alignas(64) AnimationJob {
    AnimationSystem* owner = nullptr;
    bool quit = false;
    s32 first = 0;
    s32 end = 0;
    f32 dt = 0.0f;
    const std::vector<u32>* ids = nullptr;
    ThreadEvent* startEvent = nullptr;  // auto-reset, set by the main thread
    ThreadEvent* doneEvent = nullptr;   // manual-reset, set by the worker
};

class AnimationSystem : public System {
public:
    static constexpr u32 kId = FourCC("anim");
    static constexpr int kToggleThreadingKey = 113;  // F2
    // Wider pools only add dispatch cost for the object counts of a level.
    static constexpr u32 kMaxWorkers = 64;

    struct Slice {
        s32 first = 0;
        s32 end = 0;  // one past the last index; empty when end <= first
        bool operator==(const Slice&) const = default;
    };

    AnimationSystem();
    ~AnimationSystem() override;

    void Update(f32 dt) override;
    // Reads "debug" (bool); a null configuration changes nothing.
    void LoadConfig(Serializer* config) override;
    // Subscribes to "ObjectCreated", "ObjectDestroyed" and "KeyTriggered",
    // then starts one worker per processor when there are two or more.
    void Initialize() override;
    // Unsubscribes, then wakes every worker to quit and joins it.
    void Shutdown() override;
    std::string GetName() const override { return "AnimationSystem"; }
    u32 GetId() const override { return kId; }

    void OnObjectCreated(u32 id);
    void OnObjectDestroyed(u32 id);
    void OnKeyTriggered(int key, bool pressed);

    // Steps the object's animating component, when it has one that animates.
    static void UpdateObject(Composition* object, f32 dt);
    // The slice of worker i of workers for count ids.
    static Slice SliceFor(s32 worker, s32 workers, s32 count);

    // The processor count the next Initialize uses instead of the platform's
    // (tests and benchmarks); 0 asks the platform.
    void SetProcessorCount(u32 count) { m_processorCountOverride = count; }
    void SetThreading(bool threading) { m_threading = threading; }
    bool IsThreading() const { return m_threading; }
    bool IsDebug() const { return m_debug; }
    std::size_t GetWorkerCount() const { return m_threads.size(); }
    const std::vector<u32>& GetObjectIds() const { return m_ids; }
    // What worker i was given by the last threaded update.
    Slice GetLastSlice(std::size_t worker) const;

private:
    static void WorkerLoop(AnimationJob* job);
    void StartWorkers(u32 count);
    void StopWorkers();
    ObjectManager* GetObjects() const;
    void PruneVanished(const ObjectManager& objects);
    void RemoveIds(const std::vector<u32>& gone);
    void UpdateThreaded(f32 dt);
    void UpdateSerial(f32 dt);

    std::vector<u32> m_ids;
    // Sized once in StartWorkers and never resized while workers run: each
    // worker holds the address of its record and events.
    std::vector<AnimationJob> m_jobs;
    std::vector<std::unique_ptr<ThreadEvent>> m_doneEvents;
    std::vector<std::unique_ptr<ThreadEvent>> m_startEvents;
    std::vector<std::thread> m_threads;
    bool m_threading = true;
    bool m_debug = false;
    u32 m_processorCountOverride = 0;
    // The object manager of the frame being stepped, set before any worker is
    // released (workers read it through their job's owner).
    ObjectManager* m_objects = nullptr;
    SubscriptionList m_subscriptions;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::AnimationSystem);
