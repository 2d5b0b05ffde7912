#pragma once
// Text for the user interface. The font manager turns a FontDescription into
// a cached TextFont, keeps the current font and colour, and draws and
// measures text in the UI's virtual space: positions and sizes are given for
// a screen referenceHeight (720) units high whose origin is the screen
// centre, and are scaled to the real back-buffer height.
//
// The cache is keyed by the description with its point height turned into a
// pixel em height at the screen's dpi (-MulDiv(height, dpi, 72)); each
// holder's font is made at key height x screenHeight / referenceHeight, and
// is made again after every device reset (a new screen size rescales every
// cached font; callers keep their holders). Face names longer than 31
// characters are cut there, with a log line. One instance, made by the
// mains; main thread only. At each reset it takes the render device (its
// back-buffer size and its text drawing) under the device's lock.

#include "engine/core/GenericManager.h"
#include "engine/base/Types.h"
#include "engine/core/Vec2.h"
#include "engine/core/Vec4.h"
#include "engine/graphics/text/FontDescription.h"
#include "engine/graphics/text/TextFont.h"
#include "engine/platform/DeviceParams.h"
#include "engine/platform/SubscriptionList.h"

#include <algorithm>
#include <map>
#include <memory>
#include <string>

namespace Ostrel {

class DeviceTextRenderer;
class TextRenderer;
class TextSprite;

// number x numerator / denominator rounded half away from zero, without
// intermediate overflow; -1 when denominator is 0.
int MulDiv(int number, int numerator, int denominator);

class FontManager : public GenericManager<FontManager> {
public:
    static constexpr float kReferenceHeight = 720.0f;
    // The narrowest UI layout in units: a 4:3 screen 720 units high.
    static constexpr float kMinimumUnitsWide = 960.0f;
    static constexpr int kScreenDpi = 96;
    static constexpr size_t kMaxFaceNameLength = 31;

    enum Alignment { kAlignLeft = 0, kAlignRight = 1, kAlignCentre = 2 };

    // A cached font; lives as long as the manager. Its font is null while the
    // device is lost or when no face could be made.
    class FontHolder {
    public:
        TextFont* GetFont() const { return m_font.get(); }
        const FontDescription& GetKey() const { return m_key; }

    private:
        friend class FontManager;
        FontDescription m_key;
        std::unique_ptr<TextFont> m_font;
    };

    FontManager();
    ~FontManager() override;

    // Listens to "LostDevice" and "ResetDevice", then runs OnResetDevice once.
    void Initialize();
    // Stops listening and releases every font and the sprite (holders stay).
    void Shutdown();

    // Stores the back-buffer size the text is scaled to.
    void SetWindowParameters(const DeviceParams& params);
    void SetScreenSize(const DeviceParams& params) { SetWindowParameters(params); }
    // Replaces the render device's text drawing (tests); taken at the next
    // reset. Without either, fonts measure but draw nothing.
    void SetTextRenderer(TextRenderer* renderer) { m_deviceRenderer = renderer; }

    FontHolder* GetFont(const FontDescription& description);
    void SetFont(FontHolder* font) { m_currentFont = font; }
    FontHolder* GetCurrentFont() const { return m_currentFont; }
    void SetColor(float red, float green, float blue, float alpha);

    // Single line at (x, y) in virtual units: starts at the point (left),
    // ends at it (right) or is centred on it.
    void DrawText(const std::string& text, float x, float y, int alignment);
    // With wrap > 0 the text is broken into lines in a box wrap units wide
    // whose top-left corner is (x, y), aligned in that box; wrap 0 is DrawText.
    void DrawTextAligned(const std::string& text, float x, float y, int wrap, int alignment);
    // The text's size in virtual units; (0, 0) without a current font.
    Vec2 MeasureText(const std::string& text, int wrap);

    void OnLostDevice();
    void OnResetDevice();

    int GetDpi() const { return m_dpi; }
    float GetScreenWidth() const { return m_screenWidth; }
    float GetScreenHeight() const { return m_screenHeight; }
    float GetReferenceHeight() const { return m_referenceHeight; }
    size_t GetCachedFontCount() const { return m_fonts.size(); }
    // The colour as the text draws it: 0xAARRGGBB.
    u32 GetPackedColour() const;

private:
    void CreateFont(FontHolder& holder);
    // Pixels per UI unit: the reference height spans the screen's height,
    // unless the screen is narrower than 4:3; then its width holds
    // kMinimumUnitsWide units (the UI system's projection does the same).
    float Scale() const {
        const float byHeight = m_screenHeight / m_referenceHeight;
        return m_screenWidth > 0.0f ? std::min(byHeight, m_screenWidth / kMinimumUnitsWide) : byHeight;
    }

    TextRenderer* m_deviceRenderer = nullptr;
    std::unique_ptr<DeviceTextRenderer> m_ownRenderer;
    TextRenderer* m_renderer = nullptr;  // taken at reset, dropped at loss
    std::unique_ptr<TextSprite> m_sprite;
    std::map<FontDescription, std::unique_ptr<FontHolder>> m_fonts;
    FontHolder* m_currentFont = nullptr;
    Vec4 m_colour;
    int m_dpi = kScreenDpi;
    float m_screenHeight = 0.0f;
    float m_screenWidth = 0.0f;
    float m_referenceHeight = kReferenceHeight;
    SubscriptionList m_subscriptions;
};

}  // namespace Ostrel
