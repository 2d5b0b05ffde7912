#include "engine/graphics/device/Device.h"

namespace Ostrel::rd {

UniformRef Device::FindUniform(const Program* program, const std::string& name) const {
    return program ? program->Find(name) : UniformRef{};
}

void Device::Present() {
    if (m_presentHook) m_presentHook(*this);
    DoPresent();
}

}  // namespace Ostrel::rd
