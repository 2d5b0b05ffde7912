#pragma once
// The TweakBarGroup of the tools: one bar and a current group name. Every
// entry added lands under that name through the Tw-shaped calls, with the
// definition " group='<name>'" (buttons "label='<label>' group='<name>'");
// BeginGroup switches the name and adds the separator "<name>Separator" at
// the top level. Definitions are plain concatenation, so a name holding a
// single quote gives a broken definition and the entry is refused (logged).
// Made on the stack by the code that fills a bar; owns nothing but the name.

#include "engine/core/TweakBarGroup.h"
#include "tools/panels/PanelApi.h"

#include <string>

namespace Ostrel {

class PanelGroup final : public TweakBarGroup {
public:
    explicit PanelGroup(TwBar* bar) : m_bar(bar) {}

    void BeginGroup(const std::string& name) override;
    void AddString(const std::string& label, std::string* value, bool readOnly) override;
    void AddFloat(const std::string& label, f32* value, bool readOnly) override;
    void AddInt(const std::string& label, s32* value, bool readOnly) override;
    void AddBool(const std::string& label, bool* value, bool readOnly) override;
    // A kind above 6 (or below 0) adds nothing.
    void AddCallbackVar(const std::string& label, int kind, TweakBarSetter setter, TweakBarGetter getter,
                        void* clientData) override;
    void AddButton(const std::string& label, TweakBarButton callback, void* clientData) override;

    const std::string& GroupName() const { return m_group; }
    TwBar* Bar() const { return m_bar; }

private:
    std::string GroupDefinition() const { return " group='" + m_group + "'"; }
    void AddVariable(const std::string& label, PanelType type, void* value, bool readOnly);

    TwBar* m_bar;
    std::string m_group;
};

}  // namespace Ostrel
