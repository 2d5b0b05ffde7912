#include "tools/panels/PanelGroup.h"

namespace Ostrel {

void PanelGroup::BeginGroup(const std::string& name) {
    m_group = name;
    TwAddSeparator(m_bar, name + "Separator", "");
}

void PanelGroup::AddVariable(const std::string& label, PanelType type, void* value, bool readOnly) {
    if (readOnly) {
        TwAddVarRO(m_bar, label, type, value, GroupDefinition());
    } else {
        TwAddVarRW(m_bar, label, type, value, GroupDefinition());
    }
}

void PanelGroup::AddString(const std::string& label, std::string* value, bool readOnly) {
    AddVariable(label, PanelType::StdString, value, readOnly);
}

void PanelGroup::AddFloat(const std::string& label, f32* value, bool readOnly) {
    AddVariable(label, PanelType::Float, value, readOnly);
}

void PanelGroup::AddInt(const std::string& label, s32* value, bool readOnly) {
    AddVariable(label, PanelType::Int32, value, readOnly);
}

void PanelGroup::AddBool(const std::string& label, bool* value, bool readOnly) {
    AddVariable(label, PanelType::BoolCpp, value, readOnly);
}

void PanelGroup::AddCallbackVar(const std::string& label, int kind, TweakBarSetter setter, TweakBarGetter getter,
                                void* clientData) {
    const PanelType type = PanelTypeOfKind(kind);
    if (type == PanelType::Undefined) return;
    TwAddVarCB(m_bar, label, type, setter, getter, clientData, GroupDefinition());
}

void PanelGroup::AddButton(const std::string& label, TweakBarButton callback, void* clientData) {
    TwAddButton(m_bar, label, callback, clientData, "label='" + label + "' group='" + m_group + "'");
}

}  // namespace Ostrel
