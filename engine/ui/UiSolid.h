#pragma once
// An element that fills its rectangle with its colour.

#include "engine/ui/UiElementBase.h"

namespace Ostrel {

class UiSolid : public UiElementBase {
public:
    UiSolid() = default;

    std::unique_ptr<UiElementBase> Clone() const override;
    void Draw(UiDrawContext& context) override;

protected:
    UiSolid(const UiSolid& source) = default;
};

}  // namespace Ostrel
