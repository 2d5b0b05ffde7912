#include "engine/graphics/textures/TextureManager.h"

#include "engine/graphics/textures/Texture.h"
#include "engine/io/FilePath.h"
#include "engine/base/Log.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>

namespace Ostrel {

namespace {

static_assert(std::endian::native == std::endian::little, "float maps are written little-endian");

// Lookup textures come from level data; anything outside this is refused.
constexpr float kMaxFloatTextureSide = 4096.0f;

bool IsWholeInRange(float value) {
    return value >= 1.0f && value <= kMaxFloatTextureSide && std::floor(value) == value;
}

bool CheckFloatTextureInput(float width, float height, int columns) {
    if (IsWholeInRange(width) && IsWholeInRange(height) && columns >= 1) return true;
    LogMessagef("float texture: size %g x %g with %d columns is out of range (1..4096 whole numbers, columns >= 1), "
                "no texture made\n",
                double(width), double(height), columns);
    return false;
}

}  // namespace

TextureManager::TextureManager() = default;
TextureManager::~TextureManager() { Clear(); }

// Textures give their device textures back under the device lock, and a
// thread holding that lock may look textures up; so no texture is deleted
// while the map's lock is held.
Texture* TextureManager::Create(const std::string& name) {
    std::unique_ptr<Texture> replaced;
    std::lock_guard<std::mutex> lock(m_mutex);
    std::unique_ptr<Texture>& slot = m_textures[name];
    replaced = std::move(slot);
    slot = std::make_unique<Texture>();
    return slot.get();
}

Texture* TextureManager::CreateUnique(std::string* outName, std::unique_ptr<Texture> texture) {
    std::lock_guard<std::mutex> lock(m_mutex);
    char name[16];
    std::snprintf(name, sizeof(name), ":%010u", m_counter++);
    if (outName) *outName = name;
    std::unique_ptr<Texture>& slot = m_textures[name];
    slot = std::move(texture);
    return slot.get();
}

Texture* TextureManager::Insert(const std::string& name, std::unique_ptr<Texture> texture) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto [it, inserted] = m_textures.try_emplace(name, std::move(texture));
    return it->second.get();
}

Texture* TextureManager::Find(const std::string& name) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_textures.find(name);
    return it == m_textures.end() ? nullptr : it->second.get();
}

void TextureManager::Destroy(Texture* texture) {
    std::unique_ptr<Texture> doomed;
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_textures.begin(); it != m_textures.end(); ++it) {
        if (it->second.get() == texture) {
            doomed = std::move(it->second);
            m_textures.erase(it);
            return;
        }
    }
}

void TextureManager::Clear() {
    std::map<std::string, std::unique_ptr<Texture>> doomed;
    std::lock_guard<std::mutex> lock(m_mutex);
    doomed.swap(m_textures);
}

std::size_t TextureManager::Count() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_textures.size();
}

std::string BuildFloatTextureImage(const std::vector<int>& values, u32 width, u32 height, int columns) {
    std::ostringstream header;
    header << "PF\n" << float(width) << ' ' << float(height) << "\n-1.000000\n";
    std::string bytes = header.str();
    const std::size_t start = bytes.size();
    bytes.resize(start + std::size_t(width) * height * 12, '\0');
    for (u32 r = 0; r < height; ++r) {
        // Float maps run from the bottom row up: the first grid row goes last.
        char* row = bytes.data() + start + std::size_t(height - 1 - r) * width * 12;
        for (u32 c = 0; c < width; ++c) {
            const std::size_t index = std::size_t(r) * width + c;
            if (index >= values.size()) continue;
            const float texel[3] = {float(values[index] % columns), float(values[index] / columns), 0.0f};
            std::memcpy(row + c * 12, texel, 12);
        }
    }
    return bytes;
}

void TextureManager::CreateFloatTexture(Texture** slot, const std::string& grid, float width, float height,
                                        int columns, std::string* outName, std::vector<int>* outValues) {
    if (outValues) outValues->clear();
    if (*slot) Destroy(*slot);
    *slot = nullptr;
    if (!CheckFloatTextureInput(width, height, columns)) return;
    const std::size_t count = std::size_t(width) * std::size_t(height);
    std::vector<int> values;
    values.reserve(count);
    std::istringstream in(grid);
    int value = 0;
    while (values.size() < count && in >> value) values.push_back(value);
    if (outValues) *outValues = values;
    MakeFloatTexture(slot, values, u32(width), u32(height), columns, outName);
}

void TextureManager::CreateFloatTextureFromRows(Texture** slot, const std::vector<int>& values, float width,
                                                float height, int columns, std::string* outName) {
    if (*slot) Destroy(*slot);
    *slot = nullptr;
    if (!CheckFloatTextureInput(width, height, columns)) return;
    MakeFloatTexture(slot, values, u32(width), u32(height), columns, outName);
}

void TextureManager::MakeFloatTexture(Texture** slot, const std::vector<int>& values, u32 width, u32 height,
                                      int columns, std::string* outName) {
    const std::string bytes = BuildFloatTextureImage(values, width, height, columns);
    auto texture = std::make_unique<Texture>();
    if (!texture->CreateFromBytes("", reinterpret_cast<const u8*>(bytes.data()), bytes.size())) return;
    *slot = CreateUnique(outName, std::move(texture));
}

void LoadTextureResource(const std::string& path) {
    TextureManager* manager = TextureManager::Instance();
    if (!manager) return;
    const std::string name = FilePath(path).GetBaseName();
    if (manager->Find(name)) return;
    auto texture = std::make_unique<Texture>();
    texture->LoadFromResource(path.c_str());
    manager->Insert(name, std::move(texture));
}

Texture* LoadTextureFromFile(const std::string& path) {
    TextureManager* manager = TextureManager::Instance();
    if (!manager) return nullptr;
    const std::string name = FilePath(path).GetBaseName();
    Texture* texture = manager->Find(name);
    if (!texture) texture = manager->Create(name);
    return texture->LoadFromFile(path.c_str()) ? texture : nullptr;
}

}  // namespace Ostrel
