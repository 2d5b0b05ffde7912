#include "engine/core/TextConstants.h"

namespace Ostrel::Text {

#define LV_DEFINE_TEXT_CONSTANT(name, text) \
    const std::string& name() {             \
        static const std::string s_text(text); \
        return s_text;                      \
    }
LV_TEXT_CONSTANTS(LV_DEFINE_TEXT_CONSTANT)
#undef LV_DEFINE_TEXT_CONSTANT

const std::vector<const std::string*>& All() {
#define LV_LIST_TEXT_CONSTANT(name, text) &name(),
    static const std::vector<const std::string*> s_all = {LV_TEXT_CONSTANTS(LV_LIST_TEXT_CONSTANT)};
#undef LV_LIST_TEXT_CONSTANT
    return s_all;
}

}  // namespace Ostrel::Text
