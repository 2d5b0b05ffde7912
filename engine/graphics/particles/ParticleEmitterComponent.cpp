#include "engine/graphics/particles/ParticleEmitterComponent.h"

#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/components/ComponentSupport.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/MathFunctions.h"
#include "engine/core/Random.h"
#include "engine/core/Reflect.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/core/Variant.h"
#include "engine/graphics/models/MeshManager.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/io/DataValue.h"
#include "engine/graphics/models/MeshManager.h"
#include "engine/graphics/textures/TextureManager.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

LV_REFLECT_CLASS(Ostrel::ParticleEmitterComponent);

namespace Ostrel {

namespace {

constexpr float kFreeAge = -1.0f;
// The most slots a pool holds: a larger "MaximumParticles" (bad data) would
// otherwise ask for gigabytes. Walks stop at the pool, so the rest is unused.
constexpr int kPoolLimit = 65536;
const char kSpriteMesh[] = "Sprite";
const char kGlowy[] = "Glowy";

u32 BlendCodeOf(const std::string& mode) {
    return mode == kGlowy ? ParticleEmitterComponent::kBlendGlowy : ParticleEmitterComponent::kBlendNormal;
}

// Calls visit(key, pointer) for the 47 data keys in their file order; the
// pointer is a float*, int*, bool* or std::string*.
template <class Visit>
void ForEachKey(ParticleEmitterComponent::Parameters& p, bool& running, Visit&& visit) {
    visit("InitialAdjust_X", &p.initialAdjust.x);
    visit("InitialAdjust_Y", &p.initialAdjust.y);
    visit("InitialAdjust_Z", &p.initialAdjust.z);
    visit("MaximumParticles", &p.maximumParticles);
    visit("ParticleLifeTime", &p.particleLifeTime);
    visit("ReleaseRate", &p.releaseRate);
    visit("EffectLifeTime", &p.effectLifeTime);
    visit("TextureSheet", &p.textureSheet);
    visit("TextureWidth", &p.textureWidth);
    visit("TextureHeight", &p.textureHeight);
    visit("FullTextureWidth", &p.fullTextureWidth);
    visit("FullTextureHeight", &p.fullTextureHeight);
    visit("NumberOfTextures", &p.numberOfTextures);
    visit("StartRunning", &running);
    visit("Radial", &p.radial);
    visit("RadialAngleMax", &p.radialAngleMax);
    visit("RadialAngleMin", &p.radialAngleMin);
    visit("RadialVelMin", &p.radialVelMin);
    visit("RadialVelMax", &p.radialVelMax);
    visit("RadialAccelMin", &p.radialAccelMin);
    visit("RadialAccelMax", &p.radialAccelMax);
    const std::pair<const char*, Vec3*> corners[] = {{"MinAcceleration_", &p.minAcceleration},
                                                     {"MaxAcceleration_", &p.maxAcceleration},
                                                     {"MinVelocity_", &p.minVelocity},
                                                     {"MaxVelocity_", &p.maxVelocity}};
    for (const auto& [prefix, corner] : corners) {
        visit(std::string(prefix) + "X", &corner->x);
        visit(std::string(prefix) + "Y", &corner->y);
        visit(std::string(prefix) + "Z", &corner->z);
    }
    visit("MinScale", &p.minScale);
    visit("MaxScale", &p.maxScale);
    visit("MinScaleVelocity", &p.minScaleVelocity);
    visit("MaxScaleVelocity", &p.maxScaleVelocity);
    visit("RotationMin", &p.rotationMin);
    visit("RotationMax", &p.rotationMax);
    visit("RotationVelocityMin", &p.rotationVelocityMin);
    visit("RotationVelocityMax", &p.rotationVelocityMax);
    visit("OpaqueEnd", &p.opaqueEnd);
    visit("OpaqueStart", &p.opaqueStart);
    visit("EvenSpread", &p.evenSpread);
    visit("EvenSpreadAngAdjMin", &p.evenSpreadAngAdjMin);
    visit("EvenSpreadAngAdjMax", &p.evenSpreadAngAdjMax);
    visit("BlendMode", &p.blendMode);
}

// What each number key can use; any other float only has to be finite.
ValueLimits<float> FloatLimitsOf(const std::string& key) {
    static const std::set<std::string> kNonNegative = {"ParticleLifeTime", "ReleaseRate", "EffectLifeTime",
                                                       "TextureWidth", "TextureHeight"};
    if (kNonNegative.count(key)) return NonNegative<float>();
    // The drawing step divides the cell size by the sheet's.
    if (key == "FullTextureWidth" || key == "FullTextureHeight") return Positive<float>();
    return {};
}

ValueLimits<int> IntLimitsOf(const std::string& key) {
    return key == "MaximumParticles" ? NonNegative<int>(kPoolLimit) : NonNegative<int>();
}

struct SerializeKey {
    Serializer* s;
    void operator()(const std::string& key, float* v) const { SerializeValue(*s, key, v, FloatLimitsOf(key)); }
    void operator()(const std::string& key, int* v) const { SerializeValue(*s, key, v, IntLimitsOf(key)); }
    void operator()(const std::string& key, bool* v) const { s->SerializeBool(key, v); }
    void operator()(const std::string& key, std::string* v) const { s->SerializeString(key, v); }
};

// The editor's callback fields.
ParticleEmitterComponent& Emitter(void* clientData) { return *static_cast<ParticleEmitterComponent*>(clientData); }

void SetStartField(const void*, void* clientData) { Emitter(clientData).Restart(); }
void GetStartField(void* value, void* clientData) { *static_cast<bool*>(value) = Emitter(clientData).IsRunning(); }
void SetMaximumField(const void* value, void* clientData) {
    Emitter(clientData).SetMaximumParticles(*static_cast<const int*>(value));
}
void GetMaximumField(void* value, void* clientData) {
    *static_cast<int*>(value) = Emitter(clientData).GetParameters().maximumParticles;
}
void SetSheetField(const void* value, void* clientData) {
    Emitter(clientData).SetTextureSheet(*static_cast<const std::string*>(value));
}
void GetSheetField(void* value, void* clientData) {
    *static_cast<std::string*>(value) = Emitter(clientData).GetParameters().textureSheet;
}
void SetBlendField(const void* value, void* clientData) {
    Emitter(clientData).SetBlendMode(*static_cast<const std::string*>(value));
}
void GetBlendField(void* value, void* clientData) {
    *static_cast<std::string*>(value) = Emitter(clientData).GetParameters().blendMode;
}
// A plain int field: the client data is the int itself.
void SetIntField(const void* value, void* clientData) { *static_cast<int*>(clientData) = *static_cast<const int*>(value); }
void GetIntField(void* value, void* clientData) { *static_cast<int*>(value) = *static_cast<int*>(clientData); }

struct ExposeKey {
    TweakBarGroup* panel;
    void operator()(const std::string& key, float* v) const { panel->AddFloat(key, v, false); }
    void operator()(const std::string& key, int* v) const {
        panel->AddCallbackVar(key, kTweakInt, &SetIntField, &GetIntField, v);
    }
    void operator()(const std::string& key, bool* v) const { panel->AddBool(key, v, false); }
    void operator()(const std::string& key, std::string* v) const { panel->AddString(key, v, false); }
};

std::size_t PoolSizeFor(int maximum) {
    if (maximum > kPoolLimit) {
        LogMessagef("ParticleEmitterComponent: MaximumParticles %d is above %d; the pool holds %d\n", maximum,
                    kPoolLimit, kPoolLimit);
    }
    return std::size_t(std::clamp(maximum, 0, kPoolLimit));
}

Texture* FindTexture(const std::string& name) {
    TextureManager* textures = TextureManager::Instance();
    return textures && !name.empty() ? textures->Find(name) : nullptr;
}

void ReportMissingSheet(const std::string& where, const std::string& sheet) {
    LogDataOnce((where.empty() ? std::string() : where + ": ") + "key 'TextureSheet': no texture '" + sheet +
                "' is loaded; the particles are drawn without one\n");
}

}  // namespace

void ParticleEmitterComponent::Initialize() {
    MeshManager* meshes = GetMeshManager();
    m_mesh = meshes ? meshes->Find(kSpriteMesh) : nullptr;
    m_texture = FindTexture(m_params.textureSheet);
    if (!m_texture && !m_params.textureSheet.empty() && TextureManager::Instance())
        ReportMissingSheet(m_source, m_params.textureSheet);
    m_particles.assign(PoolSizeFor(m_params.maximumParticles), Particle());
    m_accumulator = 0.0f;
    TransformComponent* transform = GetOwner() ? GetTransform() : nullptr;
    m_positionSource = transform ? &transform->Position() : nullptr;
    if (GetHandle() != 0) Subscribe(true);
}

void ParticleEmitterComponent::Uninitialize() {
    if (GetHandle() != 0) Subscribe(false);
    m_particles.clear();
}

void ParticleEmitterComponent::Subscribe(bool on) {
    Engine* engine = Engine::Instance();
    CoreSystem* core = engine ? engine->GetCoreSystem() : nullptr;
    if (!core) return;
    // Equal delegates (same target and method) remove the one added.
    const FunctionRef listener = MakeDelegate(this, &ParticleEmitterComponent::OnGraphicsUpdate);
    if (on) {
        core->Listen("GraphicsUpdate", listener);
    } else {
        core->Unlisten("GraphicsUpdate", listener);
    }
}

Component* ParticleEmitterComponent::Clone() const {
    auto* copy = NewComponentOf<ParticleEmitterComponent>();
    if (!copy) return nullptr;
    copy->m_params = m_params;
    copy->m_blendCode = m_blendCode;
    copy->m_mesh = m_mesh;
    copy->m_texture = m_texture;
    copy->m_running = m_running;
    copy->m_source = m_source;
    return copy;
}

void ParticleEmitterComponent::Serialize(Serializer* s) {
    m_params.blendMode = m_blendCode == kBlendGlowy ? kGlowy : "Normal";
    ForEachKey(m_params, m_running, SerializeKey{s});
    if (s->IsReading()) {
        m_source = s->Where();
        if (m_params.blendMode != kGlowy && m_params.blendMode != "Normal") {
            LogMessage((m_source.empty() ? std::string() : m_source + ": ") + "key 'BlendMode': '" +
                       m_params.blendMode + "' is neither 'Normal' nor 'Glowy'; drawn as 'Normal'\n");
        }
    }
    m_blendCode = BlendCodeOf(m_params.blendMode);
}

void ParticleEmitterComponent::ExposeProperties(TweakBarGroup* panel) {
    // The panel shows the keys in file order, except that "Start" comes
    // first, in place of "StartRunning", and the start offset follows the
    // sheet's fields.
    panel->AddCallbackVar("Start", kTweakBool, &SetStartField, &GetStartField, this);
    const ExposeKey plain{panel};
    bool unused = false;
    auto expose = [&](const std::string& key, auto* value) {
        if (key == "MaximumParticles") {
            panel->AddCallbackVar(key, kTweakInt, &SetMaximumField, &GetMaximumField, this);
        } else if (key == "TextureSheet") {
            panel->AddCallbackVar(key, kTweakString, &SetSheetField, &GetSheetField, this);
        } else if (key == "BlendMode") {
            panel->AddCallbackVar(key, kTweakString, &SetBlendField, &GetBlendField, this);
        } else if (key.rfind("InitialAdjust_", 0) == 0 || key == "StartRunning") {
            return;
        } else {
            plain(key, value);
        }
        if (key == "NumberOfTextures") {
            plain("InitialAdjust_X", &m_params.initialAdjust.x);
            plain("InitialAdjust_Y", &m_params.initialAdjust.y);
            plain("InitialAdjust_Z", &m_params.initialAdjust.z);
        }
    };
    ForEachKey(m_params, unused, expose);
}

Variant ParticleEmitterComponent::ToVariant() { return Variant(this); }

std::size_t ParticleEmitterComponent::GetSlotBound() const {
    return std::min(std::size_t(std::max(m_params.maximumParticles, 0)), m_particles.size());
}

void ParticleEmitterComponent::FreeSlots() {
    const std::size_t bound = GetSlotBound();
    for (std::size_t i = 0; i < bound; ++i) {
        m_particles[i].alive = 0;
        m_particles[i].age = kFreeAge;
    }
}

void ParticleEmitterComponent::Restart() {
    m_running = true;
    m_effectTimer = 0.0f;
    m_liveCount = 0;
    m_spreadCounter = 0;
    m_spreadAdjustment = -1.0f;
    FreeSlots();
}

void ParticleEmitterComponent::SetMaximumParticles(int maximum) {
    if (maximum > 0 && std::size_t(maximum) > m_particles.size()) m_particles.resize(PoolSizeFor(maximum));
    m_params.maximumParticles = maximum;
    // Slots beyond a lowered bound keep their particles but are never visited
    // again; counting them as live would hold back every later release.
    const std::size_t bound = GetSlotBound();
    int live = 0;
    for (std::size_t i = 0; i < bound; ++i) live += m_particles[i].age != kFreeAge ? 1 : 0;
    m_liveCount = std::min(m_liveCount, live);
    m_accumulator = std::min(m_accumulator, float(bound));
}

void ParticleEmitterComponent::SetTextureSheet(const std::string& name) {
    if (Texture* texture = FindTexture(name)) {
        m_texture = texture;
        m_params.textureSheet = name;
        return;
    }
    m_texture = FindTexture(m_params.textureSheet);
}

void ParticleEmitterComponent::SetBlendMode(const std::string& mode) {
    m_params.blendMode = mode;
    m_blendCode = BlendCodeOf(mode);
}

Vec3 ParticleEmitterComponent::SourcePosition() const { return m_positionSource ? *m_positionSource : Vec3(); }

// Grows the accumulator and answers how many particles to release now; the
// live count already includes them.
int ParticleEmitterComponent::ReleaseCount(float dt) {
    const int maximum = int(GetSlotBound());
    m_accumulator = dt * m_params.releaseRate + m_accumulator;
    if (!(m_accumulator < float(maximum) && m_params.releaseRate != 0.0f)) m_accumulator = float(maximum);
    if (m_params.numberOfTextures <= 0) m_params.numberOfTextures = 1;
    bool releasing = true;
    if (m_params.effectLifeTime != 0.0f) {
        m_effectTimer += dt;
        releasing = m_effectTimer < m_params.effectLifeTime;
    }
    const int toRelease = releasing ? std::max(int(std::trunc(m_accumulator)) - m_liveCount, 0) : 0;
    m_liveCount += toRelease;
    return toRelease;
}

void ParticleEmitterComponent::OnGraphicsUpdate(float dt) {
    if (!IsActive()) return;
    if (!m_running) return FreeSlots();
    int toRelease = ReleaseCount(dt);
    const std::size_t bound = GetSlotBound();
    int handled = 0;
    int freed = 0;
    for (std::size_t i = 0; i < bound; ++i) {
        Particle& p = m_particles[i];
        bool done = false;
        if (p.age != kFreeAge) {
            p.age += dt;
            if (p.age < m_params.particleLifeTime) {
                UpdateParticle(p, dt);
                ++handled;
                done = true;
            }
        }
        if (!done && toRelease != 0) {
            if (p.age > 0.0f) ++freed;
            Spawn(p);
            ++handled;
            --toRelease;
        } else if (!done && p.age > 0.0f) {
            p.alive = 0;
            p.age = kFreeAge;
            ++handled;
            ++freed;
        }
        if (handled >= m_liveCount) break;
    }
    m_liveCount = std::max(m_liveCount - freed, 0);
    m_accumulator = std::max(m_accumulator - float(freed), 0.0f);
}

void ParticleEmitterComponent::UpdateParticle(Particle& p, float dt) const {
    p.position += p.velocity * dt;
    p.velocity += p.acceleration * dt;
    const float remaining = 1.0f - p.age / m_params.particleLifeTime;
    const float start = m_params.opaqueStart;
    const float end = m_params.opaqueEnd;
    p.opacity = end < start ? std::min(std::max(end, remaining), start) : std::min(std::max(start, remaining), end);
    p.rotation += p.rotationVelocity * dt;
    p.scale.x += p.scaleVelocity * dt;
    p.scale.y += p.scaleVelocity * dt;
}

void ParticleEmitterComponent::Spawn(Particle& p) {
    const Parameters& c = m_params;
    p.age = 0.0f;
    p.opacity = c.opaqueStart;
    p.alive = 1;
    p.position = SourcePosition() + c.initialAdjust;
    p.textureIndex = Rand() % c.numberOfTextures;
    p.rotation = RandomRange(c.rotationMin, c.rotationMax);
    p.rotationVelocity = RandomRange(c.rotationVelocityMin, c.rotationVelocityMax);
    p.scale.y = RandomRange(c.minScale, c.maxScale);
    p.scale.x = p.scale.y;
    p.scaleVelocity = RandomRange(c.minScaleVelocity, c.maxScaleVelocity);
    if (!c.radial) {
        p.velocity = RandomVec3(c.minVelocity, c.maxVelocity);
        p.acceleration = RandomVec3(c.minAcceleration, c.maxAcceleration);
        return;
    }
    const float angle = SpawnAngle();
    const Vec3 direction(std::cos(angle), std::sin(angle), 0.0f);
    p.velocity = direction * RandomRange(c.radialVelMin, c.radialVelMax);
    p.acceleration = direction * RandomRange(c.radialAccelMin, c.radialAccelMax);
}

// The direction of a radial particle in radians: evenly spaced over the live
// count (turned by an offset chosen once per start), or random in the range.
float ParticleEmitterComponent::SpawnAngle() {
    const Parameters& c = m_params;
    if (!c.evenSpread) return RandomRange(c.radialAngleMin, c.radialAngleMax) * (kPi / 180.0f);
    const float step = (c.radialAngleMax - c.radialAngleMin) / float(m_liveCount);
    if (m_spreadAdjustment < 0.0f) m_spreadAdjustment = RandomRange(c.evenSpreadAngAdjMin, c.evenSpreadAngAdjMax);
    const float degrees = float(m_spreadCounter) * step + c.radialAngleMin + m_spreadAdjustment;
    ++m_spreadCounter;
    return degrees * (kPi / 180.0f);
}

}  // namespace Ostrel
