#pragma once
// The brain of an object ('brnC'): it owns the object's ActionList and is
// stepped once per frame by the LogicSystem (not while the engine is
// paused). Components start timed behaviour by adding actions to their
// sibling brain; see ActionList for the order in which actions run.
//
// A clone is a new, empty brain: actions are never copied. Uninitialize (the
// object is being torn down) ends and deletes every action and leaves the
// brain without a list; an action added after that is deleted at once.

#include "engine/base/Types.h"
#include "engine/core/Component.h"
#include "engine/core/MetaClassOf.h"

#include <memory>

namespace Ostrel {

class ActionList;
class IAction;

class BrainComponent : public Component {
public:
    static constexpr u32 kTypeId = FourCC("brnC");

    BrainComponent();
    ~BrainComponent() override;

    void Initialize() override {}
    Component* Clone() const override;
    void Uninitialize() override;
    void Serialize(Serializer*) override {}
    void ExposeProperties(TweakBarGroup*) override {}
    u32 GetTypeId() const override { return kTypeId; }
    Variant ToVariant() override;

    // Takes ownership. Set the action's owner, lane, id and flags first: it
    // may start at once.
    void AddAction(IAction* action);
    // One pass over the actions (ActionList::Update).
    void Update(f32 dt);
    // Null after Uninitialize.
    ActionList* GetActionList() const { return m_list.get(); }

private:
    // The list deletes itself when it is let go of during its own update
    // (an action tore the object down): see ActionList::Abandon.
    std::shared_ptr<ActionList> m_list;
};

// The brain of the object, or null (object null or without a brain).
BrainComponent* GetBrainComponentOf(const Composition* object);

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::BrainComponent);
