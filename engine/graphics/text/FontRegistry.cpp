#include "engine/graphics/text/FontRegistry.h"

#include "engine/io/IFile.h"
#include "engine/base/Log.h"
#include "engine/resources/ResourceManager.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>

namespace Ostrel {

namespace {

std::string Lower(const std::string& text) {
    std::string out = text;
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

}  // namespace

bool ReadResourceBytes(const std::string& name, std::vector<u8>& bytes) {
    bytes.clear();
    ResourceManager* resources = ResourceManager::Instance();
    std::unique_ptr<IFile> file = resources ? resources->Open(name) : nullptr;
    if (!file) return false;
    const s32 size = file->ReadAll(nullptr);
    if (size > 0) {
        bytes.resize(static_cast<size_t>(size));
        bytes.resize(static_cast<size_t>(std::max<s32>(0, file->ReadAll(bytes.data()))));
    }
    file->Close();
    return true;
}

FontRegistry& FontRegistry::Instance() {
    static FontRegistry s_registry;
    return s_registry;
}

u32 FontRegistry::Register(std::vector<u8> bytes, const std::string& origin) {
    std::lock_guard lock(m_mutex);
    return RegisterLocked(std::move(bytes), origin);
}

u32 FontRegistry::RegisterLocked(std::vector<u8> bytes, const std::string& origin) {
    Entry entry;
    std::string error;
    if (!ReadFontFileInfo(bytes, entry.info, &error)) {
        LogMessagef("%s: %s, font skipped\n", origin.c_str(), error.c_str());
        return 0;
    }
    entry.handle = m_nextHandle++;
    entry.origin = origin;
    entry.bytes = std::make_shared<const std::vector<u8>>(std::move(bytes));
    m_entries.push_back(std::move(entry));
    return m_entries.back().handle;
}

void FontRegistry::Unregister(u32 handle) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_entries, [handle](const Entry& e) { return e.handle == handle; });
}

const FontRegistry::Entry* FontRegistry::Closest(const std::string& family, bool bold, bool italic) const {
    const std::string wanted = Lower(family);
    const Entry* best = nullptr;
    int bestScore = 0;
    for (const Entry& entry : m_entries) {
        if (Lower(entry.info.family) != wanted) continue;
        // A style the face has but was not asked for cannot be taken away, so
        // it costs more than one that can be added synthetically.
        auto cost = [](bool has, bool want) { return has == want ? 0 : has ? 2 : 1; };
        const int score = cost(entry.info.bold, bold) + cost(entry.info.italic, italic);
        if (!best || score < bestScore) {
            best = &entry;
            bestScore = score;
        }
    }
    return best;
}

const FontRegistry::Entry* FontRegistry::FallbackLocked() {
    if (const Entry* shipped = Closest(kFallbackFamily, false, false)) return shipped;
    if (!m_triedResource) {
        m_triedResource = true;
        std::vector<u8> bytes;
        if (ReadResourceBytes(kFallbackResource, bytes) && RegisterLocked(std::move(bytes), kFallbackResource) != 0) {
            if (const Entry* shipped = Closest(kFallbackFamily, false, false)) return shipped;
        }
    }
    return m_entries.empty() ? nullptr : &m_entries.front();
}

const FontRegistry::Entry* FontRegistry::ByHandle(u32 handle) const {
    for (const Entry& entry : m_entries) {
        if (entry.handle == handle) return &entry;
    }
    return nullptr;
}

const FontRegistry::Entry* FontRegistry::InstalledLocked(const std::string& family, bool bold, bool italic) {
    const std::string key = Lower(family) + (bold ? "|bold" : "|") + (italic ? "|italic" : "|");
    auto [answer, asked] = m_installedAnswers.try_emplace(key, 0);
    if (!asked) return answer->second != 0 ? ByHandle(answer->second) : nullptr;
    const std::string path = FindSystemFontFile(family, bold, italic);
    if (path.empty()) return nullptr;
    auto [file, fresh] = m_installedFiles.try_emplace(path, 0);
    if (fresh) {
        std::ifstream in(path, std::ios::binary);
        std::vector<u8> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) {
            LogMessagef("%s: the installed font could not be read, font skipped\n", path.c_str());
        } else {
            file->second = RegisterLocked(std::move(bytes), path);
        }
    }
    answer->second = file->second;
    return ByHandle(file->second);
}

std::optional<FontRegistry::Match> FontRegistry::Find(const std::string& family, bool bold, bool italic) {
    std::lock_guard lock(m_mutex);
    const Entry* entry = Closest(family, bold, italic);
    if (!entry) entry = InstalledLocked(family, bold, italic);
    if (!entry) {
        entry = FallbackLocked();
        const bool firstReport = m_reported.insert(Lower(family)).second;
        if (firstReport) {
            if (entry) {
                LogMessagef("font family '%s' is not registered; using '%s'\n", family.c_str(),
                            entry->info.family.c_str());
            } else {
                LogMessagef("font family '%s' is not registered and no font face is available; its text is not drawn\n",
                            family.c_str());
            }
        }
        if (!entry) return std::nullopt;
    }
    return Match{entry->bytes, entry->info.family, bold && !entry->info.bold, italic && !entry->info.italic,
                 entry->origin};
}

bool FontRegistry::IsRegistered(const std::string& family) const {
    std::lock_guard lock(m_mutex);
    return Closest(family, false, false) != nullptr;
}

void FontRegistry::Clear() {
    std::lock_guard lock(m_mutex);
    m_entries.clear();
    m_reported.clear();
    m_installedAnswers.clear();
    m_installedFiles.clear();
    m_triedResource = false;
}

}  // namespace Ostrel
