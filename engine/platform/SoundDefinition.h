#pragma once
// The record a sound manifest ("xsm") gives one sound name: how its file
// loads (streamed or decoded, looping or not) and how it plays (volume,
// instance limit). Sounds keep a pointer to the record found when they loaded,
// so reading the manifests again changes volume and instance limit of loaded
// sounds at once, while stream and loop apply to later loads only.
//
// Records are read by the loading thread and the debug reload while the main
// thread plays: every value is atomic, and the name never changes.

#include "engine/base/Types.h"

#include <atomic>
#include <string>

namespace Ostrel {

class Serializer;

class SoundDefinition {
public:
    explicit SoundDefinition(std::string name) : m_name(std::move(name)) {}

    // Reads (or writes) "name", "stream", "loop", "volume" and "instances" in
    // that order. A key the data lacks keeps the record's current value. The
    // name read is not applied: the record is filed under it already.
    void Serialize(Serializer& serializer);

    const std::string& GetName() const { return m_name; }
    bool IsStream() const { return m_stream; }
    bool IsLooping() const { return m_loop; }
    f32 GetVolume() const { return m_volume; }
    // At most this many channels of the sound at once; 0 means no limit.
    s32 GetInstances() const { return m_instances; }

    void SetStream(bool stream) { m_stream = stream; }
    void SetLoop(bool loop) { m_loop = loop; }
    void SetVolume(f32 volume) { m_volume = volume; }
    void SetInstances(s32 instances) { m_instances = instances; }

private:
    const std::string m_name;
    std::atomic<bool> m_stream{true};
    std::atomic<bool> m_loop{false};
    std::atomic<f32> m_volume{1.0f};
    std::atomic<s32> m_instances{0};
};

}  // namespace Ostrel
