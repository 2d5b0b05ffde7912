#include "engine/core/ObjectManager.h"

#include "engine/base/Log.h"
#include "engine/core/Component.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"

#include <algorithm>

// Created and deleted by its meta class; not copied (the handle tables are
// not copyable).
// Created and deleted, never copied: the manager destroys every object in its
// tables when it goes, so a copy of the tables would destroy each object a
// second time, and a copy without them would be a new, empty manager.
LV_REFLECT_CLASS(Ostrel::ObjectManager);

namespace Ostrel {

namespace {

constexpr int kLogLevel = 5;
const char* const kObjectCreated = "ObjectCreated";
const char* const kObjectDestroyed = "ObjectDestroyed";
// Ends a full table's line, which is logged once (ReportFullTable).
const char* const kRefusedQuietly = " Until an object is destroyed, later ones are refused without this line.\n";

}  // namespace

ObjectManager::ObjectManager() : m_livePosition(HandleTable::kMaxSlots, 0) {}

ObjectManager::~ObjectManager() {
    DestroyAllNow();
}

void ObjectManager::OnKeyTriggered(int, bool) {}

// ---- creation -------------------------------------------------------------

bool ObjectManager::RegisterNewComponents(Composition* object) {
    for (const auto& [typeId, component] : object->GetComponents()) {
        if (component->GetHandle() != 0) continue;
        const u32 handle = m_components.Add(component);
        if (handle == 0) {
            ReportFullTable(m_componentTableFullSaid,
                            "ObjectManager: the component table is full (65536 handles); object '" +
                                object->GetName() + "' not created." + kRefusedQuietly);
            return false;
        }
        component->SetHandle(handle);
    }
    return true;
}

bool ObjectManager::HasRoomFor(u64 objects, u64 components) const {
    return u64(m_objects.GetCount()) + objects <= HandleTable::kMaxSlots &&
           u64(m_components.GetCount()) + components <= HandleTable::kMaxSlots;
}

u64 ObjectManager::RoomForObjects(u64 componentsEach) const {
    const u64 ids = HandleTable::kMaxSlots - u64(m_objects.GetCount());
    if (componentsEach == 0) return ids;
    return std::min(ids, (HandleTable::kMaxSlots - u64(m_components.GetCount())) / componentsEach);
}

void ObjectManager::ReportFullTable(bool& said, const std::string& line) {
    if (said) return;
    said = true;
    LogMessage(line, kLogLevel);
}

// Gives the object its id and its components their handles. On failure
// (full tables) every handle given here is taken back and the object is
// destroyed, so nothing half-registered remains.
bool ObjectManager::RegisterObject(Composition* object) {
    const u32 id = m_objects.Add(object);
    bool ok = id != 0;
    if (!ok) {
        ReportFullTable(m_objectTableFullSaid, "ObjectManager: the object table is full (65536 ids); object '" +
                                                   object->GetName() + "' not created." + kRefusedQuietly);
    } else {
        object->SetId(id);
        ok = RegisterNewComponents(object);
    }
    if (ok) return true;
    for (const auto& [typeId, component] : object->GetComponents()) {
        if (component->GetHandle() != 0) m_components.Release(component->GetHandle(), nullptr);
        component->SetHandle(0);
    }
    if (id != 0) m_objects.Release(id, nullptr);
    if (CompositionFactory* factory = CompositionFactory::Instance()) factory->Destroy(object);
    return false;
}

Composition* ObjectManager::SpawnComposition(std::string archetypeName) {
    CompositionFactory* factory = CompositionFactory::Instance();
    Composition* object = factory ? factory->Create(archetypeName) : nullptr;
    if (!object || !RegisterObject(object)) return nullptr;
    return object;
}

void ObjectManager::InitializeObject(Composition* object) {
    RegisterNewComponents(object);
    object->Initialize();
    m_pendingCreate.push_back(object->GetId());
    AddToLive(object->GetId());
}

void ObjectManager::PlaceObject(Composition* object, const TransformComponent& source) {
    TransformComponent* transform = object->GetTransform();
    if (!transform) return;
    transform->SetPosition(transform->GetPosition() + source.GetPosition());
    transform->SetRotation(source.GetRotation());
}

u32 ObjectManager::CreateObject(std::string archetypeName, TransformComponent* source) {
    Composition* object = SpawnComposition(std::move(archetypeName));
    if (!object) return 0;
    if (source) PlaceObject(object, *source);
    InitializeObject(object);
    return object->GetId();
}

u32 ObjectManager::CreateRunTimeObject(std::string archetypeName, TransformComponent* source) {
    Composition* object = SpawnComposition(std::move(archetypeName));
    if (!object) return 0;
    object->SetSaveFlag(false);
    if (source) PlaceObject(object, *source);
    InitializeObject(object);
    return object->GetId();
}

u32 ObjectManager::CloneComposition(const Composition* source) {
    if (!source) {
        LogMessage("ObjectManager was asked to clone a missing object.\n", kLogLevel);
        return 0;
    }
    Composition* object = source->Clone();
    if (!object || !RegisterObject(object)) return 0;
    object->Initialize();
    const u32 id = object->GetId();
    // While the listeners run, the object is found by id but not yet live.
    Announce(kObjectCreated, id);
    AddToLive(id);
    return id;
}

u32 ObjectManager::CloneObject(u32 id) {
    Composition* source = GetObject(id);
    if (!source) {
        LogMessage("ObjectManager was asked to clone a bad ID.\n", kLogLevel);
        return 0;
    }
    return CloneComposition(source);
}

// ---- destruction ----------------------------------------------------------

void ObjectManager::DestroyObject(u32 id) {
    m_pendingDestroy.push_back(id);
}

bool ObjectManager::IsDestroyQueued(u32 id) const {
    return std::find(m_pendingDestroy.begin(), m_pendingDestroy.end(), id) != m_pendingDestroy.end();
}

void ObjectManager::DestroyAllObjects() {
    m_pendingDestroy.clear();
    m_pendingCreate.clear();
    m_pendingDestroy.insert(m_pendingDestroy.end(), m_live.begin(), m_live.end());
}

void ObjectManager::DestroyNow(u32 id) {
    void* found = nullptr;
    if (!m_objects.Find(id, found)) {
        LogMessage("ObjectManager was given a bad ID.\n", kLogLevel);
        return;
    }
    if (!found) {
        LogMessage("ObjectManager was told to double delete an object.\n", kLogLevel);
        return;
    }
    Announce(kObjectDestroyed, id);
    auto* object = static_cast<Composition*>(found);
    RemoveFromLive(id);
    m_objects.Release(id, nullptr);
    // Components see GetObject(own id) == null while they uninitialise.
    object->Uninitialize();
    for (const auto& [typeId, component] : object->GetComponents()) {
        if (component->GetHandle() != 0) m_components.Release(component->GetHandle(), nullptr);
    }
    if (CompositionFactory* factory = CompositionFactory::Instance()) factory->Destroy(object);
    m_objectTableFullSaid = m_componentTableFullSaid = false;
}

void ObjectManager::DestroyAllNow() {
    if (m_live.empty()) return;
    CompositionFactory* factory = CompositionFactory::Instance();
    for (u32 id : m_live) {
        if (Composition* object = GetObject(id)) object->Uninitialize();
    }
    for (u32 id : m_live) {
        Composition* object = GetObject(id);
        if (object && factory) factory->Destroy(object);
    }
    m_objects.Reset(nullptr);
    m_components.Reset(nullptr);
    for (u32 id : m_live) m_livePosition[HandleTable::SlotOf(id)] = 0;
    m_pendingCreate.clear();
    m_pendingDestroy.clear();
    m_live.clear();
    m_objectTableFullSaid = m_componentTableFullSaid = false;
}

// ---- frame ----------------------------------------------------------------

void ObjectManager::DestroyPendingNow() {
    for (std::size_t i = 0; i < m_pendingDestroy.size(); ++i) {
        const u32 id = m_pendingDestroy[i];
        DestroyNow(id);
    }
    m_pendingDestroy.clear();
}

void ObjectManager::Update(f32) {
    // Both loops read the length again at every step: ids that listeners
    // queue or create during a pass are handled in that same pass.
    DestroyPendingNow();
    for (std::size_t i = 0; i < m_pendingCreate.size(); ++i) {
        const u32 id = m_pendingCreate[i];
        if (GetObject(id)) {
            Announce(kObjectCreated, id);
        } else {
            LogMessage("ObjectManager created and deleted an object in the same frame.\n",
                       kLogLevel);
        }
    }
    m_pendingCreate.clear();
}

void ObjectManager::Initialize() {
    Engine* engine = Engine::Instance();
    CoreSystem* core = engine ? engine->GetCoreSystem() : nullptr;
    if (!core) return;
    m_keyListener = MakeDelegate(this, &ObjectManager::OnKeyTriggered);
    core->Listen("KeyTriggered", m_keyListener);
}

void ObjectManager::Shutdown() {
    Engine* engine = Engine::Instance();
    CoreSystem* core = engine ? engine->GetCoreSystem() : nullptr;
    if (core && m_keyListener) core->Unlisten("KeyTriggered", m_keyListener);
    m_keyListener = RefPtr<VariantFunction>();
    DestroyAllNow();
}

void ObjectManager::Announce(const char* message, u32 id) {
    Engine* engine = Engine::Instance();
    CoreSystem* core = engine ? engine->GetCoreSystem() : nullptr;
    if (core) core->SendMessageUInt(message, id);
}

// ---- look-ups -------------------------------------------------------------

Composition* ObjectManager::GetObject(u32 id) const {
    void* found = nullptr;
    return m_objects.Find(id, found) ? static_cast<Composition*>(found) : nullptr;
}

bool ObjectManager::IsValid(u32 id) const {
    void* found = nullptr;
    return m_objects.Find(id, found);
}

Component* ObjectManager::GetComponentByHandle(u32 handle) const {
    void* found = nullptr;
    return m_components.Find(handle, found) ? static_cast<Component*>(found) : nullptr;
}

bool ObjectManager::FindObjectsWithComponent(u32 typeId, std::vector<u32>& ids) const {
    bool appended = false;
    for (u32 id : m_live) {
        Composition* object = GetObject(id);
        if (object && object->GetComponent(typeId)) {
            ids.push_back(id);
            appended = true;
        }
    }
    return appended;
}

bool ObjectManager::FindPlayerObjects(std::vector<u32>& ids) const {
    return FindObjectsWithComponent(FourCC("plrC"), ids);
}

// ---- live list ------------------------------------------------------------

void ObjectManager::AddToLive(u32 id) {
    m_live.push_back(id);
    m_livePosition[HandleTable::SlotOf(id)] = static_cast<u32>(m_live.size());
}

// The last id takes the removed one's place (the order of live is not kept).
void ObjectManager::RemoveFromLive(u32 id) {
    u32& position = m_livePosition[HandleTable::SlotOf(id)];
    if (position == 0 || m_live[position - 1] != id) return;
    const u32 index = position - 1;
    position = 0;
    const u32 last = m_live.back();
    m_live.pop_back();
    if (index < m_live.size()) {
        m_live[index] = last;
        m_livePosition[HandleTable::SlotOf(last)] = index + 1;
    }
}

}  // namespace Ostrel
