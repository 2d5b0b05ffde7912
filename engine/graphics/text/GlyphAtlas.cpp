#include "engine/graphics/text/GlyphAtlas.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace Ostrel {

namespace {

constexpr int kGap = 1;
std::atomic<u64> s_nextId{1};

}  // namespace

GlyphAtlas::GlyphAtlas(int width, int height)
    : m_width(std::max(1, width)),
      m_height(std::clamp(height, 1, kMaxHeight)),
      m_pixels(static_cast<size_t>(m_width) * m_height, 0),
      m_id(s_nextId.fetch_add(1)) {}

bool GlyphAtlas::Reserve(int width, int height, int& x, int& y) {
    if (width + 2 * kGap > m_width || height + 2 * kGap > kMaxHeight) return false;
    if (m_shelfX + width + kGap > m_width) {
        m_shelfY += m_shelfHeight + kGap;
        m_shelfX = kGap;
        m_shelfHeight = 0;
    }
    int newHeight = m_height;
    while (m_shelfY + height + kGap > newHeight && newHeight < kMaxHeight) newHeight = std::min(kMaxHeight, newHeight * 2);
    if (m_shelfY + height + kGap > newHeight) return false;
    if (newHeight != m_height) {
        m_pixels.resize(static_cast<size_t>(m_width) * newHeight, 0);
        m_height = newHeight;
    }
    x = m_shelfX;
    y = m_shelfY;
    m_shelfX += width + kGap;
    m_shelfHeight = std::max(m_shelfHeight, height);
    return true;
}

bool GlyphAtlas::Add(int width, int height, const u8* coverage, int& x, int& y) {
    if (width < 0 || height < 0) return false;
    const int savedX = m_shelfX, savedY = m_shelfY, savedShelf = m_shelfHeight;
    if (!Reserve(width, height, x, y)) {
        m_shelfX = savedX;
        m_shelfY = savedY;
        m_shelfHeight = savedShelf;
        return false;
    }
    for (int row = 0; row < height; ++row) {
        std::memcpy(m_pixels.data() + static_cast<size_t>(y + row) * m_width + x,
                    coverage + static_cast<size_t>(row) * width, width);
    }
    ++m_version;
    return true;
}

}  // namespace Ostrel
