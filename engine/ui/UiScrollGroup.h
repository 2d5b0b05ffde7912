#pragma once
// An element holding other elements that moves them upwards at a constant
// rate (UI units per second, positive is up) and starts over from its first
// position once all of its content has left the top of the screen. Children
// are placed relative to the group, drawn by it whatever their own
// visibility, entered and left with it, and owned by it.
//
// A clone's reset position is the y it has when cloned (the template's), so
// every showing of a scene starts at the scripted place.
//
// Groups nest at most kMaxNesting deep (counting every group from the scene
// down to the innermost): copying, drawing, entering and destroying a group
// recurse once per level, so scripts are refused a deeper tree (CanHold)
// rather than given one whose depth only the stack limits.

#include "engine/ui/UiElementBase.h"

#include <vector>

namespace Ostrel {

class UiScrollGroup : public UiElementBase {
public:
    // Half the virtual screen height: content above -360 is off screen.
    static constexpr float kScreenTop = -360.0f;
    static constexpr int kMaxNesting = 32;

    UiScrollGroup() = default;
    ~UiScrollGroup() override;

    std::unique_ptr<UiElementBase> Clone() const override;
    void Draw(UiDrawContext& context) override;
    void Enter() override;
    void Leave() override;

    // Takes the element, attaches it to the group and grows the content
    // bottom to the element's lowest edge. Null is ignored.
    void AddElement(std::unique_ptr<UiElementBase> element);
    // Whether element may go into this group: not the group itself or one of
    // its owners, and the nesting stays within kMaxNesting. Otherwise why
    // says what is wrong.
    bool CanHold(const UiElementBase& element, std::string& why) const;
    // The most groups on one chain from element down (0 when element is not
    // a group). Linear in the elements below; no recursion.
    static int NestingBelow(const UiElementBase& element);
    void SetScrollRate(float rate) { m_scrollRate = rate; }

    // Every frame while entered: moves up by rate x dt; back to the reset y
    // once the content's bottom is above the top of the screen. Nothing
    // moves without a UI system.
    void OnScrollTime(float dt);

    float GetScrollRate() const { return m_scrollRate; }
    float GetResetY() const { return m_resetY; }
    float GetContentBottom() const { return m_contentBottom; }
    const std::vector<std::unique_ptr<UiElementBase>>& GetChildren() const { return m_children; }

protected:
    UiScrollGroup(const UiScrollGroup& source);

private:
    std::vector<std::unique_ptr<UiElementBase>> m_children;
    float m_scrollRate = 0.0f;
    float m_resetY = 0.0f;
    float m_contentBottom = 0.0f;
    bool m_listening = false;
};

}  // namespace Ostrel
