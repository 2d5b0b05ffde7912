#include "tools/panels/PanelApi.h"

namespace Ostrel {

namespace {

PanelModel* ModelOf(const TwBar* bar) {
    PanelModel* model = PanelModel::Current();
    return model && model->Owns(bar) ? model : nullptr;
}

bool NoEntry(const char* varName) {
    return !varName || !*varName;
}

}  // namespace

TwBar* TwNewBar(const std::string& name) {
    PanelModel* model = PanelModel::Current();
    return model ? model->NewBar(name) : nullptr;
}

bool TwDeleteBar(TwBar* bar) {
    PanelModel* model = ModelOf(bar);
    if (!model) return false;
    model->DeleteBar(bar);
    return true;
}

bool TwDefine(const std::string& definition) {
    PanelModel* model = PanelModel::Current();
    return model && model->Define(definition);
}

bool TwSetParam(TwBar* bar, const char* varName, const std::string& param, PanelParamType type, u32 count,
                const void* values) {
    PanelModel* model = ModelOf(bar);
    return model && NoEntry(varName) && model->SetParam(bar, param, type, count, values);
}

bool TwGetParam(TwBar* bar, const char* varName, const std::string& param, PanelParamType type, u32 count,
                void* values) {
    PanelModel* model = ModelOf(bar);
    return model && NoEntry(varName) && model->GetParam(bar, param, type, count, values);
}

bool TwRefreshBar(TwBar* bar) {
    return ModelOf(bar) != nullptr;
}

bool TwRemoveAllVars(TwBar* bar) {
    PanelModel* model = ModelOf(bar);
    if (!model) return false;
    model->RemoveAllVars(bar);
    return true;
}

bool TwAddVarRW(TwBar* bar, const std::string& name, PanelType type, void* variable, const std::string& def) {
    PanelModel* model = ModelOf(bar);
    return model && model->AddVarRW(bar, name, type, variable, def);
}

bool TwAddVarRO(TwBar* bar, const std::string& name, PanelType type, void* variable, const std::string& def) {
    PanelModel* model = ModelOf(bar);
    return model && model->AddVarRO(bar, name, type, variable, def);
}

bool TwAddVarCB(TwBar* bar, const std::string& name, PanelType type, TweakBarSetter setter, TweakBarGetter getter,
                void* clientData, const std::string& def) {
    PanelModel* model = ModelOf(bar);
    return model && model->AddVarCB(bar, name, type, setter, getter, clientData, def);
}

bool TwAddButton(TwBar* bar, const std::string& name, TweakBarButton callback, void* clientData,
                 const std::string& def) {
    PanelModel* model = ModelOf(bar);
    return model && model->AddButton(bar, name, callback, clientData, def);
}

bool TwAddSeparator(TwBar* bar, const std::string& name, const std::string& def) {
    PanelModel* model = ModelOf(bar);
    return model && model->AddSeparator(bar, name, def);
}

void TwCopyStdStringToLibrary(std::string& destination, const std::string& source) {
    destination = source;
}

}  // namespace Ostrel
