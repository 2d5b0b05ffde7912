#include "engine/graphics/animation/AnimationSystem.h"

#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/components/MeshComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/graphics/animation/AnimatedComponent.h"
#include "engine/platform/ProcessorCount.h"

#include <algorithm>
#include <system_error>

LV_REFLECT_CLASS(Ostrel::AnimationSystem);

namespace Ostrel {

AnimationSystem::AnimationSystem() = default;

// Shutdown normally stopped the pool already; a run that ended without it
// must still not leave joinable threads behind.
AnimationSystem::~AnimationSystem() { StopWorkers(); }

void AnimationSystem::LoadConfig(Serializer* config) {
    if (config) config->SerializeBool("debug", &m_debug);
}

void AnimationSystem::Initialize() {
    if (m_subscriptions.Empty()) {
        m_subscriptions.Listen("ObjectCreated", MakeDelegate(this, &AnimationSystem::OnObjectCreated));
        m_subscriptions.Listen("ObjectDestroyed", MakeDelegate(this, &AnimationSystem::OnObjectDestroyed));
        m_subscriptions.Listen("KeyTriggered", MakeDelegate(this, &AnimationSystem::OnKeyTriggered));
    }
    if (!m_threads.empty()) return;
    const u32 count = m_processorCountOverride != 0 ? m_processorCountOverride : GetLogicalProcessorCount();
    m_threading = count > 1;
    if (count > 1) StartWorkers(std::min(count, kMaxWorkers));
}

void AnimationSystem::Shutdown() {
    m_subscriptions.Clear();
    StopWorkers();
}

void AnimationSystem::StartWorkers(u32 count) {
    m_jobs.assign(count, AnimationJob{});
    m_threads.reserve(count);
    for (u32 i = 0; i < count; ++i) {
        m_startEvents.push_back(std::make_unique<ThreadEvent>(ThreadEvent::ResetMode::Auto));
        m_doneEvents.push_back(std::make_unique<ThreadEvent>(ThreadEvent::ResetMode::Manual));
        AnimationJob& job = m_jobs[i];
        job.owner = this;
        job.startEvent = m_startEvents[i].get();
        job.doneEvent = m_doneEvents[i].get();
        job.ids = &m_ids;
        try {
            m_threads.emplace_back(&AnimationSystem::WorkerLoop, &job);
        } catch (const std::system_error& error) {
            LogMessage("AnimationSystem: could not start animation worker " + std::to_string(i) + " (" +
                           error.what() + "); objects are animated on the main thread.\n",
                       kLogLevelError);
            StopWorkers();
            return;
        }
    }
}

// Wakes every worker with its quit flag set and joins it. The lists go with
// the threads, so a later update runs serially.
void AnimationSystem::StopWorkers() {
    for (std::size_t i = 0; i < m_threads.size(); ++i) {
        m_jobs[i].quit = true;
        m_startEvents[i]->Set();
    }
    for (std::thread& thread : m_threads) thread.join();
    m_threads.clear();
    m_doneEvents.clear();
    m_startEvents.clear();
    m_jobs.clear();
}

void AnimationSystem::WorkerLoop(AnimationJob* job) {
    for (;;) {
        job->startEvent->Wait();
        if (job->quit) return;
        const ObjectManager* objects = job->owner->m_objects;
        for (s32 k = job->first; k < job->end; ++k) {
            UpdateObject(objects ? objects->GetObject((*job->ids)[std::size_t(k)]) : nullptr, job->dt);
        }
        job->doneEvent->Set();
    }
}

ObjectManager* AnimationSystem::GetObjects() const {
    Engine* engine = m_engine ? m_engine : Engine::Instance();
    return engine ? static_cast<ObjectManager*>(engine->GetObjectManager()) : nullptr;
}

void AnimationSystem::OnObjectCreated(u32 id) {
    ObjectManager* objects = GetObjects();
    Composition* object = objects ? objects->GetObject(id) : nullptr;
    if (!object) return;
    if (object->GetComponent(AnimatedComponent::kTypeId) && object->GetComponent(MeshComponent::kTypeId)) {
        m_ids.push_back(id);
    }
}

void AnimationSystem::OnObjectDestroyed(u32 id) { RemoveIds({id}); }

void AnimationSystem::OnKeyTriggered(int key, bool pressed) {
    if (m_debug && pressed && key == kToggleThreadingKey) m_threading = !m_threading;
}

void AnimationSystem::RemoveIds(const std::vector<u32>& gone) {
    for (u32 id : gone) {
        auto it = std::find(m_ids.begin(), m_ids.end(), id);
        if (it == m_ids.end()) continue;
        *it = m_ids.back();
        m_ids.pop_back();
    }
}

void AnimationSystem::PruneVanished(const ObjectManager& objects) {
    std::vector<u32> gone;
    for (u32 id : m_ids) {
        if (!objects.GetObject(id)) gone.push_back(id);
    }
    if (!gone.empty()) RemoveIds(gone);
}

void AnimationSystem::UpdateObject(Composition* object, f32 dt) {
    if (!object) return;
    // A component under the animating type id that cannot animate (a stand-in
    // class) is skipped like a missing one.
    if (auto* animated = dynamic_cast<AnimatedComponent*>(object->GetComponent(AnimatedComponent::kTypeId))) {
        animated->Update(dt);
    }
}

AnimationSystem::Slice AnimationSystem::SliceFor(s32 worker, s32 workers, s32 count) {
    const s32 chunk = count / workers + 1;
    const s32 first = worker * chunk;
    return {first, std::min(first + chunk, count)};
}

AnimationSystem::Slice AnimationSystem::GetLastSlice(std::size_t worker) const {
    if (worker >= m_jobs.size()) return {};
    return {m_jobs[worker].first, m_jobs[worker].end};
}

void AnimationSystem::Update(f32 dt) {
    m_objects = GetObjects();
    if (!m_objects) return;
    PruneVanished(*m_objects);
    if (!m_threads.empty() && m_threading) {
        UpdateThreaded(dt);
    } else {
        UpdateSerial(dt);
    }
}

// Every record and done event is ready before the first start event is
// set. The done events are reset first, so that the signal a worker gave
// last frame cannot satisfy this frame's wait; a worker with an empty slice
// is not woken, its done event is set here.
void AnimationSystem::UpdateThreaded(f32 dt) {
    const s32 workers = s32(m_threads.size());
    const s32 count = s32(m_ids.size());
    s32 woken = 0;
    for (s32 i = 0; i < workers; ++i) {
        const Slice slice = SliceFor(i, workers, count);
        AnimationJob& job = m_jobs[std::size_t(i)];
        job.first = slice.first;
        job.end = slice.end;
        job.dt = dt;
        if (slice.first < slice.end) {
            woken = i + 1;
            m_doneEvents[std::size_t(i)]->Reset();
        } else {
            m_doneEvents[std::size_t(i)]->Set();
        }
    }
    for (s32 i = 0; i < woken; ++i) m_startEvents[std::size_t(i)]->Set();
    for (s32 i = 0; i < woken; ++i) m_doneEvents[std::size_t(i)]->Wait();
}

void AnimationSystem::UpdateSerial(f32 dt) {
    for (u32 id : m_ids) UpdateObject(m_objects->GetObject(id), dt);
}

}  // namespace Ostrel
