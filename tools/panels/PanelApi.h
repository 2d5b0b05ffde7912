#pragma once
// The panel calls in the shape the editor and the viewer were written
// against: free functions on the current PanelModel (PanelModel::Current()),
// each answering whether it did something. Without a model every call does
// nothing (null or false). See PanelModel.h for the rules.

#include "engine/core/TweakBarGroup.h"
#include "tools/panels/PanelModel.h"

#include <string>

namespace Ostrel {

using TwBar = PanelBar;

TwBar* TwNewBar(const std::string& name);
bool TwDeleteBar(TwBar* bar);
bool TwDefine(const std::string& definition);
// Parameters of a bar (varName null or empty): "size" and "position", two
// Int32 values each.
bool TwSetParam(TwBar* bar, const char* varName, const std::string& param, PanelParamType type, u32 count,
                const void* values);
bool TwGetParam(TwBar* bar, const char* varName, const std::string& param, PanelParamType type, u32 count,
                void* values);
// The renderer reads every value each frame: nothing to do.
bool TwRefreshBar(TwBar* bar);
bool TwRemoveAllVars(TwBar* bar);
bool TwAddVarRW(TwBar* bar, const std::string& name, PanelType type, void* variable, const std::string& def = {});
bool TwAddVarRO(TwBar* bar, const std::string& name, PanelType type, void* variable, const std::string& def = {});
bool TwAddVarCB(TwBar* bar, const std::string& name, PanelType type, TweakBarSetter setter, TweakBarGetter getter,
                void* clientData, const std::string& def = {});
bool TwAddButton(TwBar* bar, const std::string& name, TweakBarButton callback, void* clientData,
                 const std::string& def = {});
bool TwAddSeparator(TwBar* bar, const std::string& name, const std::string& def = {});
// What a string getter does with its answer.
void TwCopyStdStringToLibrary(std::string& destination, const std::string& source);

}  // namespace Ostrel
