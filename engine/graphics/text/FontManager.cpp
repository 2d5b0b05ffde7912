#include "engine/graphics/text/FontManager.h"

#include "engine/core/VarFun_Delegate.h"
#include "engine/graphics/text/DeviceTextRenderer.h"
#include "engine/graphics/RenderDevice.h"
#include "engine/graphics/text/TextSprite.h"
#include "engine/base/Log.h"

#include <cstdlib>
#include <mutex>

namespace Ostrel {

namespace {

// The face name as a font receives it: at most 31 bytes, cut at a character
// boundary, with a log line when it had to be cut.
std::string FaceNameForFont(const std::string& name) {
    if (name.size() <= FontManager::kMaxFaceNameLength) return name;
    size_t length = FontManager::kMaxFaceNameLength;
    while (length > 0 && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80) --length;
    std::string cut = name.substr(0, length);
    LogMessagef("font face name '%s' is longer than %zu characters; using '%s'\n", name.c_str(),
                FontManager::kMaxFaceNameLength, cut.c_str());
    return cut;
}

u32 ColourByte(float channel) {
    return static_cast<u32>(static_cast<int>(channel * 255.0f)) & 0xFFu;
}

}  // namespace

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    const long long product = static_cast<long long>(number) * numerator;
    const long long magnitude = (std::llabs(product) + std::llabs(static_cast<long long>(denominator)) / 2) /
                                std::llabs(static_cast<long long>(denominator));
    const bool negative = (product < 0) != (denominator < 0);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

FontManager::FontManager() = default;

FontManager::~FontManager() {
    Shutdown();
}

void FontManager::Initialize() {
    m_subscriptions.Listen("LostDevice", MakeDelegate(this, &FontManager::OnLostDevice));
    m_subscriptions.Listen("ResetDevice", MakeDelegate(this, &FontManager::OnResetDevice));
    OnResetDevice();
}

void FontManager::Shutdown() {
    m_subscriptions.Clear();
    for (auto& [key, holder] : m_fonts) holder->m_font.reset();
    m_sprite.reset();
    m_renderer = nullptr;
    m_ownRenderer.reset();
}

void FontManager::SetWindowParameters(const DeviceParams& params) {
    m_screenWidth = static_cast<float>(params.width);
    m_screenHeight = static_cast<float>(params.height);
}

void FontManager::CreateFont(FontHolder& holder) {
    holder.m_font.reset();
    TextFontDesc desc;
    desc.family = FaceNameForFont(holder.m_key.name);
    desc.height = static_cast<int>(holder.m_key.height * Scale());
    desc.width = holder.m_key.width;
    desc.weight = holder.m_key.weight;
    desc.italic = holder.m_key.italic;
    holder.m_font = TextFont::Create(desc, m_renderer);
}

FontManager::FontHolder* FontManager::GetFont(const FontDescription& description) {
    FontDescription key = description;
    key.height = -MulDiv(description.height, m_dpi, 72);
    auto it = m_fonts.find(key);
    if (it != m_fonts.end()) return it->second.get();
    auto holder = std::make_unique<FontHolder>();
    holder->m_key = key;
    CreateFont(*holder);
    return m_fonts.emplace(key, std::move(holder)).first->second.get();
}

void FontManager::SetColor(float red, float green, float blue, float alpha) {
    m_colour = Vec4(red, green, blue, alpha);
}

u32 FontManager::GetPackedColour() const {
    return ColourByte(m_colour.w) << 24 | ColourByte(m_colour.x) << 16 | ColourByte(m_colour.y) << 8 |
           ColourByte(m_colour.z);
}

void FontManager::DrawText(const std::string& text, float x, float y, int alignment) {
    DrawTextAligned(text, x, y, 0, alignment);
}

void FontManager::DrawTextAligned(const std::string& text, float x, float y, int wrap, int alignment) {
    TextFont* font = m_currentFont ? m_currentFont->GetFont() : nullptr;
    if (!font) return;
    const float scale = Scale();
    int left = static_cast<int>(x * scale + m_screenWidth / 2);
    const int top = static_cast<int>(y * scale + m_screenHeight / 2);
    u32 format = DT_WORDBREAK;
    u32 align = alignment == kAlignRight ? DT_RIGHT : alignment == kAlignCentre ? DT_CENTER : DT_LEFT;
    const bool singleLine = wrap == 0;
    if (singleLine) {
        wrap = 1;
        format = DT_SINGLELINE;
    }
    TextRect rect{left, top, left + static_cast<int>(wrap * scale), top + 1};
    if (m_sprite) m_sprite->Begin(TextSprite::kAlphaBlend);
    if (singleLine && (alignment == kAlignRight || alignment == kAlignCentre)) {
        font->DrawText(m_sprite.get(), text, rect, DT_CALCRECT | DT_SINGLELINE | DT_NOCLIP, 0);
        const int w = rect.Width();
        left = alignment == kAlignRight ? left - w : left - w / 2;
        rect.left = left;
        rect.right = left + w;
    }
    if (singleLine) align = DT_LEFT;
    font->DrawText(m_sprite.get(), text, rect, align | DT_NOCLIP | format, GetPackedColour());
    if (m_sprite) m_sprite->End();
}

Vec2 FontManager::MeasureText(const std::string& text, int wrap) {
    TextFont* font = m_currentFont ? m_currentFont->GetFont() : nullptr;
    const float scale = Scale();
    if (!font || !(scale > 0.0f)) return Vec2(0.0f, 0.0f);
    TextRect rect{0, 0, static_cast<int>((wrap ? wrap : 1) * scale), 1};
    font->DrawText(nullptr, text, rect, DT_CALCRECT | DT_NOCLIP | (wrap ? DT_WORDBREAK : DT_SINGLELINE), 0);
    return Vec2(rect.Width() / scale, rect.Height() / scale);
}

void FontManager::OnLostDevice() {
    for (auto& [key, holder] : m_fonts) holder->m_font.reset();
    if (m_sprite) m_sprite->SetRenderer(nullptr);
    if (m_ownRenderer) m_ownRenderer->ReleaseTextures();
    m_renderer = nullptr;
}

void FontManager::OnResetDevice() {
    RenderDevice* renderDevice = GetRenderDevice();
    std::unique_lock<RenderDevice> lock;
    if (renderDevice) lock = std::unique_lock<RenderDevice>(*renderDevice);
    if (renderDevice && renderDevice->GetDevice()) {
        if (!m_ownRenderer || &m_ownRenderer->GetDevice() != renderDevice->GetDevice()) {
            m_ownRenderer = std::make_unique<DeviceTextRenderer>(*renderDevice->GetDevice());
        }
        m_screenWidth = static_cast<float>(renderDevice->GetWidth());
        m_screenHeight = static_cast<float>(renderDevice->GetHeight());
    }
    m_renderer = m_deviceRenderer ? m_deviceRenderer : m_ownRenderer.get();
    for (auto& [key, holder] : m_fonts) CreateFont(*holder);
    if (!m_sprite) {
        m_sprite = std::make_unique<TextSprite>(m_renderer);
    } else {
        m_sprite->SetRenderer(m_renderer);
    }
    m_dpi = kScreenDpi;
}

}  // namespace Ostrel
