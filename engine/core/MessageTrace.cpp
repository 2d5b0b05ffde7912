#include "engine/core/MessageTrace.h"

#include "engine/base/Log.h"
#include "engine/core/Composition.h"
#include "engine/core/Engine.h"
#include "engine/core/MetaClass.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/Vec3.h"

namespace Ostrel {

namespace {

std::string Number(float value) {
    std::string text;
    MetaClassOf<float>()->ToString(text, &value);
    return text;
}

std::string DescribeArgument(const Variant& argument) {
    const MetaClass* type = argument.GetType();
    if (argument.IsNull() || type == nullptr) return "null";
    if (type == MetaClassOf<bool>()) return argument.As<bool>() ? "true" : "false";
    if (type == MetaClassOf<Vec3>()) {
        const Vec3& v = *argument.As<const Vec3*>();
        // Appended in order: GCC 12 misreads "(" + string as an oversized copy.
        std::string text = "(";
        text += Number(v.x) + ", " + Number(v.y) + ", " + Number(v.z) + ")";
        return text;
    }
    std::string text = argument.ToString();
    if (type == MetaClassOf<unsigned>()) {
        Engine* engine = Engine::Instance();
        auto* objects = engine ? static_cast<ObjectManager*>(engine->GetObjectManager()) : nullptr;
        const u32 id = argument.As<unsigned>();
        if (const Composition* object = objects && id != 0 ? objects->GetObject(id) : nullptr)
            text += " '" + object->GetName() + "'";
    }
    return text;
}

}  // namespace

std::string DescribeSend(std::string_view name, const VariantList& arguments) {
    std::string text(name);
    text += '(';
    for (std::size_t i = 0; i < arguments.Size(); ++i) {
        if (i > 0) text += ", ";
        text += DescribeArgument(arguments[i]);
    }
    return text + ')';
}

void LogPositions(const ObjectManager& objects, const std::set<std::string, std::less<>>& names,
                  unsigned long long frame) {
    for (u32 id : objects.GetLiveObjects()) {
        const Composition* object = objects.GetObject(id);
        if (!object || names.find(object->GetName()) == names.end()) continue;
        const TransformComponent* transform = object->GetTransform();
        if (!transform) continue;
        const Vec3 p = transform->GetPosition();
        LogErrorf("position frame %llu: %u '%s' (%s, %s, %s)\n", frame, id, object->GetName().c_str(),
                  Number(p.x).c_str(), Number(p.y).c_str(), Number(p.z).c_str());
    }
}

MessageTrace::MessageTrace(const std::vector<std::string>& names) : m_names(names.begin(), names.end()) {}

bool MessageTrace::Wants(std::string_view name) const { return m_names.find(name) != m_names.end(); }

void MessageTrace::OnSend(std::string_view name, const VariantList& arguments) {
    Engine* engine = Engine::Instance();
    const u64 frame = engine && engine->IsRunning() ? engine->GetFrameCount() + 1 : 0;
    LogErrorf("trace frame %llu: %s\n", static_cast<unsigned long long>(frame), DescribeSend(name, arguments).c_str());
}

}  // namespace Ostrel
