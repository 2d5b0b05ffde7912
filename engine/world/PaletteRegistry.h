#pragma once
// The tile palettes of the run by name (TilePaletteRecord), each owned here
// from its load to the end of the run. Each main makes one registry, which
// records itself as the instance.
//
// Threads: the background loader files palettes while the main thread looks
// them up, so every access takes the registry's lock. A record's address stays
// valid until Shutdown.

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Ostrel {

class TilePaletteRecord;

class PaletteRegistry {
public:
    PaletteRegistry();
    ~PaletteRegistry();
    PaletteRegistry(const PaletteRegistry&) = delete;
    PaletteRegistry& operator=(const PaletteRegistry&) = delete;

    // The one instance, or null before a main builds it and after teardown.
    static PaletteRegistry* Instance() { return s_instance; }

    // Files record under name unless the name is taken (then the record is
    // dropped). Answers the record filed under name.
    TilePaletteRecord* Insert(const std::string& name, std::unique_ptr<TilePaletteRecord> record);
    // The palette of that name, or null (also for an empty name).
    TilePaletteRecord* Find(const std::string& name) const;
    // Every palette in name order (out is emptied first).
    void ListPalettes(std::vector<TilePaletteRecord*>& out) const;
    // Deletes every palette.
    void Shutdown();

private:
    mutable std::mutex m_mutex;
    std::map<std::string, std::unique_ptr<TilePaletteRecord>> m_palettes;

    static inline PaletteRegistry* s_instance = nullptr;
};

}  // namespace Ostrel
