#include "engine/components/ObjectMessages.h"

#include "engine/core/Composition.h"
#include "engine/core/MessageComponent.h"

namespace Ostrel {

MessageListenerTable* GetObjectMessageTable(Composition* object) {
    if (!object) return nullptr;
    MessageComponent* messages = object->GetMessageComponent();
    return messages ? &messages->GetTable() : nullptr;
}

}  // namespace Ostrel
