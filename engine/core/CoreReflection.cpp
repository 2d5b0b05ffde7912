// Meta classes of the plain types, text and no type, and the helpers of the
// conversion rules.

#include "engine/core/MetaClassNil.h"
#include "engine/core/MetaClassString.h"
#include "engine/core/Reflect.h"
#include "engine/core/VariantFunction.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace Ostrel {

MetaClass* GetNilMetaClass() {
    static MetaClassNil s_nil("EntityUnknown");
    return &s_nil;
}

namespace Private {

std::string StripNamespace(const char* qualifiedName) {
    const char* name = qualifiedName;
    for (const char* p = qualifiedName; *p != '\0' && *p != '<'; ++p) {
        if (p[0] == ':' && p[1] == ':') {
            name = p + 2;
        }
    }
    return name;
}

int AsciiToInt(const std::string& text) {
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return int(value);
}

double AsciiToFloat(const std::string& text) {
    return std::atof(text.c_str());
}

}  // namespace Private

namespace {
[[maybe_unused]] MetaClass* const s_nilRegistered = GetNilMetaClass();
}  // namespace

}  // namespace Ostrel

LV_REFLECT_WITH_META(bool, Ostrel::MetaClassPod<bool>, "bool");
LV_REFLECT_WITH_META(char, Ostrel::MetaClassPod<char>, "char");
LV_REFLECT_WITH_META(unsigned char, Ostrel::MetaClassPod<unsigned char>, "unsigned char");
LV_REFLECT_WITH_META(short, Ostrel::MetaClassPod<short>, "short");
LV_REFLECT_WITH_META(unsigned short, Ostrel::MetaClassPod<unsigned short>, "unsigned short");
LV_REFLECT_WITH_META(int, Ostrel::MetaClassPod<int>, "int");
LV_REFLECT_WITH_META(unsigned, Ostrel::MetaClassPod<unsigned>, "unsigned");
LV_REFLECT_WITH_META(long, Ostrel::MetaClassPod<long>, "long");
LV_REFLECT_WITH_META(unsigned long, Ostrel::MetaClassPod<unsigned long>, "unsigned long");
LV_REFLECT_WITH_META(float, Ostrel::MetaClassPod<float>, "float");
LV_REFLECT_WITH_META(double, Ostrel::MetaClassPod<double>, "double");
LV_REFLECT_WITH_META(std::string, Ostrel::MetaClassString, "OstrelString");

namespace {
using FunctionRefList = std::vector<Ostrel::FunctionRef>;
}  // namespace
LV_REFLECT_WITH_META(FunctionRefList, Ostrel::MetaClassNil, "std::vector<Ostrel::FunctionRef>");
