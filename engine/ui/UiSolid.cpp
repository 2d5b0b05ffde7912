#include "engine/ui/UiSolid.h"

#include "engine/ui/UiDrawContext.h"

namespace Ostrel {

std::unique_ptr<UiElementBase> UiSolid::Clone() const {
    return std::unique_ptr<UiElementBase>(new UiSolid(*this));
}

void UiSolid::Draw(UiDrawContext& context) {
    context.SetTechnique("UiSolidTech");
    context.DrawQuad(*this);
    const Vec4 colour = GetColor();
    context.SetColor(colour.x, colour.y, colour.z, colour.w);
    context.SetTexture(nullptr);
}

}  // namespace Ostrel
