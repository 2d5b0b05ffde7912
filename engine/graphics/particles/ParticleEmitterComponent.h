#pragma once
// A cloud of sprite particles cut from one texture sheet ('Emit').
//
// The emitter keeps a fixed pool of particle slots, made at Initialize from
// "MaximumParticles" (the editor's field can grow it). Once per
// "GraphicsUpdate" a running emitter grows its release accumulator by
// ReleaseRate per second (a rate of 0 fills the whole pool at once), releases
// trunc(accumulator) - live count new particles into the lowest free or
// expired slots, moves, spins, scales and fades the live ones, and frees the
// expired ones. A stopped emitter frees every slot each update. With an
// "EffectLifeTime" above 0 the releases stop that many seconds after the
// start and the existing particles live out their lifetime.
//
// Bounds: every walk over the slots (here and in the drawing) stops at
// GetSlotBound() = min(MaximumParticles, pool size), a negative maximum
// counting as 0, so a value read after Initialize or lowered in the editor
// never runs past the pool; the release count is never negative. A pool
// holds at most 65536 slots (a larger value is logged). A
// "NumberOfTextures" of 0 or less is set to 1 before any spawn.
//
// Random draws come from the engine's 15-bit Rand(), in a fixed order per
// spawn, so seeded runs repeat exactly.
//
// Messages: a component with a handle (one of a live object) listens to the
// global "GraphicsUpdate" from Initialize until Uninitialize. Main thread
// only; the graphics system sends "GraphicsUpdate" under the device lock.

#include "engine/base/Types.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/Vec2.h"
#include "engine/core/Vec3.h"

#include <string>
#include <vector>

namespace Ostrel {

class Mesh;
class Texture;

struct Particle {
    u32 alive = 0;         // 1 from spawn until the slot is freed
    float age = -1.0f;     // seconds since spawn; -1 marks a free slot
    s32 textureIndex = 0;  // cell of the texture sheet
    float rotation = 0.0f;
    float rotationVelocity = 0.0f;
    float opacity = 1.0f;
    Vec3 position;
    Vec2 scale{1.0f, 1.0f};
    float scaleVelocity = 0.0f;
    Vec3 velocity;
    Vec3 acceleration;
};

class ParticleEmitterComponent final : public Component {
public:
    static constexpr u32 kTypeId = FourCC("Emit");
    // Destination blend codes of the two blend modes.
    static constexpr u32 kBlendNormal = 6;  // inverse source alpha
    static constexpr u32 kBlendGlowy = 7;   // destination alpha: adds on targets without alpha

    // The data keys, in the order Serialize reads and writes them.
    struct Parameters {
        Vec3 initialAdjust;
        int maximumParticles = 0;
        float particleLifeTime = 0.0f;
        float releaseRate = 0.0f;
        float effectLifeTime = 0.0f;
        std::string textureSheet;
        float textureWidth = 0.0f;
        float textureHeight = 0.0f;
        float fullTextureWidth = 64.0f;
        float fullTextureHeight = 64.0f;
        int numberOfTextures = 0;
        bool radial = false;
        float radialAngleMax = 360.0f;
        float radialAngleMin = 0.0f;
        float radialVelMin = 0.0f;
        float radialVelMax = 1.0f;
        float radialAccelMin = 0.0f;
        float radialAccelMax = 0.0f;
        Vec3 minAcceleration;
        Vec3 maxAcceleration;
        Vec3 minVelocity;
        Vec3 maxVelocity;
        float minScale = 1.0f;
        float maxScale = 1.0f;
        float minScaleVelocity = 0.0f;
        float maxScaleVelocity = 0.0f;
        float rotationMin = 0.0f;
        float rotationMax = 0.0f;
        float rotationVelocityMin = 0.0f;
        float rotationVelocityMax = 0.0f;
        float opaqueEnd = 0.0f;
        float opaqueStart = 1.0f;
        bool evenSpread = false;
        float evenSpreadAngAdjMin = 0.0f;
        float evenSpreadAngAdjMax = 0.0f;
        std::string blendMode = "Normal";
    };

    ParticleEmitterComponent() = default;
    ~ParticleEmitterComponent() override = default;

    // Looks up the "Sprite" mesh and the sheet texture, makes the pool of
    // free slots, follows the owner's transform and, with a handle,
    // subscribes to "GraphicsUpdate".
    void Initialize() override;
    // A copy of the parameters, blend code, mesh, texture and running flag;
    // no particles and a fresh release state until its own Initialize.
    Component* Clone() const override;
    // Unsubscribes (with a handle) and drops the particles.
    void Uninitialize() override;
    // The 47 keys; "StartRunning" is the running flag.
    void Serialize(Serializer* serializer) override;
    void ExposeProperties(TweakBarGroup* panel) override;
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;

    // One simulation step of dt seconds (the "GraphicsUpdate" handler).
    void OnGraphicsUpdate(float dt);

    // Runs from a clean start: no live particles, effect timer 0, a new
    // even-spread offset at the next spawn.
    void Restart();
    void SetRunning(bool running) { m_running = running; }
    // The editor's "MaximumParticles": a larger value grows the pool first.
    void SetMaximumParticles(int maximum);
    // The editor's "TextureSheet": a name the texture manager knows replaces
    // the sheet; any other keeps the old name, whose texture is looked up again.
    void SetTextureSheet(const std::string& name);
    // "Glowy" selects the glow blend, anything else the normal one.
    void SetBlendMode(const std::string& mode);

    // Read by the drawing step.
    bool IsRunning() const { return m_running; }
    u32 GetBlendCode() const { return m_blendCode; }
    Mesh* GetMesh() const { return m_mesh; }
    Texture* GetTexture() const { return m_texture; }
    const std::vector<Particle>& GetParticles() const { return m_particles; }
    // The number of slots any walk may visit: min(MaximumParticles, pool size).
    std::size_t GetSlotBound() const;
    // One cell of the sheet as a fraction of the sheet.
    float GetCellWidthFraction() const { return m_params.textureWidth / m_params.fullTextureWidth; }
    float GetCellHeightFraction() const { return m_params.textureHeight / m_params.fullTextureHeight; }

    const Parameters& GetParameters() const { return m_params; }
    Parameters& EditParameters() { return m_params; }
    float GetAccumulator() const { return m_accumulator; }
    int GetLiveCount() const { return m_liveCount; }
    float GetEffectTimer() const { return m_effectTimer; }
    float GetSpreadAdjustment() const { return m_spreadAdjustment; }
    int GetSpreadCounter() const { return m_spreadCounter; }

private:
    void Subscribe(bool on);
    void FreeSlots();
    int ReleaseCount(float dt);
    void UpdateParticle(Particle& p, float dt) const;
    void Spawn(Particle& p);
    float SpawnAngle();
    Vec3 SourcePosition() const;

    Parameters m_params;
    // The file and archetype the parameters were read from, for log lines.
    std::string m_source;
    u32 m_blendCode = kBlendNormal;
    const Vec3* m_positionSource = nullptr;
    float m_accumulator = 0.0f;
    int m_liveCount = 0;
    float m_effectTimer = 0.0f;
    std::vector<Particle> m_particles;
    Mesh* m_mesh = nullptr;
    Texture* m_texture = nullptr;
    bool m_running = false;
    float m_spreadAdjustment = -1.0f;
    int m_spreadCounter = 0;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::ParticleEmitterComponent);
