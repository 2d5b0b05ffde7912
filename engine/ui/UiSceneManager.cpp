#include "engine/ui/UiSceneManager.h"

#include "engine/base/Log.h"
#include "engine/graphics/RenderDevice.h"
#include "engine/io/FilePath.h"

namespace Ostrel {

UiSceneManager::Lock::Lock(UiSceneManager& manager) : m_manager(manager), m_device(GetRenderDevice()) {
    if (m_device != nullptr) m_device->Lock();
    m_manager.m_mutex.lock();
}

UiSceneManager::Lock::~Lock() {
    m_manager.m_mutex.unlock();
    if (m_device != nullptr) m_device->Unlock();
}

UiSceneManager::~UiSceneManager() {
    Lock lock(*this);
    std::set<UiScene*> live;
    live.swap(m_live);
    for (UiScene* scene : live) {
        scene->Leave();
        delete scene;
    }
    DeleteAll();
}

UiScene* UiSceneManager::CreateTemplate(const std::string& name) {
    Lock lock(*this);
    if (Find(name) != nullptr) {
        LogMessagef("UiSceneManager: a scene '%s' exists already, the new one is ignored\n", name.c_str());
        return nullptr;
    }
    auto scene = std::make_unique<UiScene>();
    UiScene* raw = scene.get();
    Add(name, std::move(scene));
    return raw;
}

UiScene* UiSceneManager::InstantiateWithoutEnter(const std::string& name) {
    Lock lock(*this);
    const UiScene* scene = Find(name);
    if (scene == nullptr) return nullptr;
    std::unique_ptr<UiScene> copy = scene->Clone();
    if (m_clock != nullptr) copy->SetInputClock(m_clock);
    UiScene* raw = copy.release();
    m_live.insert(raw);
    return raw;
}

UiScene* UiSceneManager::Instantiate(const std::string& name) {
    Lock lock(*this);
    UiScene* scene = InstantiateWithoutEnter(name);
    if (scene != nullptr) scene->Enter();
    return scene;
}

void UiSceneManager::Release(UiScene* scene) {
    Lock lock(*this);
    if (m_live.erase(scene) == 0) return;
    delete scene;
}

bool UiSceneManager::IsLive(const UiScene* scene) const {
    std::lock_guard lock(m_mutex);
    return m_live.count(const_cast<UiScene*>(scene)) != 0;
}

std::size_t UiSceneManager::GetLiveCount() const {
    std::lock_guard lock(m_mutex);
    return m_live.size();
}

void UiSceneManager::LoadSceneFile(const std::string& path) {
    Lock lock(*this);
    const std::string name = FilePath(path).GetBaseName();
    if (Find(name) != nullptr) return;  // the first file of a name stays
    UiScene* scene = CreateTemplate(name);
    if (scene != nullptr) scene->Load(path);
}

void LoadSceneResource(const std::string& path) {
    if (UiSceneManager* manager = UiSceneManager::Instance()) manager->LoadSceneFile(path);
}

}  // namespace Ostrel
