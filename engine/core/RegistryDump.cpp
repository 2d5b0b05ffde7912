#include "engine/core/RegistryDump.h"

#include "engine/core/FieldInfo.h"
#include "engine/core/MetaClass.h"
#include "engine/core/MetaRegistryInst.h"
#include "engine/core/MethodInfo.h"

namespace Ostrel {

namespace {

void WriteMethod(std::ostream& out, const MethodInfo& method) {
    out << "  method " << method.GetName() << '(';
    for (int i = 0; i < method.GetArgCount(); ++i) {
        out << (i > 0 ? ", " : "") << method.GetArgType(i)->GetName();
    }
    out << ")\n";
}

void WriteMetaClass(std::ostream& out, const MetaClass& meta) {
    out << meta.GetName() << " kind " << meta.GetKind() << '\n';
    for (const auto& [name, field] : meta.GetFields()) {
        out << "  field " << name << ": " << field->GetType()->GetName() << '\n';
    }
    for (const auto& [name, method] : meta.GetMethods()) {
        WriteMethod(out, *method);
    }
    for (const EnumValue& value : meta.GetEnumValues()) {
        out << "  value " << value.name << " = " << value.value << '\n';
    }
}

}  // namespace

void WriteRegistryDump(std::ostream& out) {
    const std::vector<MetaClass*> all = MetaRegistryInst::Instance().GetAll();
    for (const MetaClass* meta : all) {
        WriteMetaClass(out, *meta);
    }
    out << all.size() << " meta classes\n";
}

}  // namespace Ostrel
