#include "XmlObjectFixture.h"

#include "XmlTestFiles.h"

#include "engine/base/Serializer.h"
#include "engine/core/ComponentFactory.h"
#include "engine/core/Variant.h"
#include "engine/io/SerializerXML.h"

#include <unistd.h>

namespace Ostrel::XmlTest {

const char ObjectWorld::kArchetypes[] =
    "<probe-obj><MarkerComponent><Height>1.0</Height></MarkerComponent>"
    "<ProbeComponent><Speed>4.5</Speed></ProbeComponent></probe-obj>"
    "<spark-obj><ParticleEmitterComponent/></spark-obj>";

Component* ProbeComponent::Clone() const {
    auto copy = static_cast<ProbeComponent*>(CompositionFactory::Instance()->CreateComponent(kTypeId));
    copy->speed = speed;
    copy->count = count;
    copy->on = on;
    copy->label = label;
    return copy;
}

void ProbeComponent::Serialize(Serializer* s) {
    s->SerializeFloat("Speed", &speed);
    s->SerializeInt("Count", &count);
    s->SerializeBool("On", &on);
    s->SerializeString("Label", &label);
}

Variant ProbeComponent::ToVariant() {
    return Variant();
}

Component* MarkerComponent::Clone() const {
    auto copy = static_cast<MarkerComponent*>(CompositionFactory::Instance()->CreateComponent(kTypeId));
    copy->height = height;
    return copy;
}

void MarkerComponent::Serialize(Serializer* s) {
    s->SerializeFloat("Height", &height);
}

Variant MarkerComponent::ToVariant() {
    return Variant();
}

Component* ParticleProbe::Clone() const {
    auto copy = static_cast<ParticleProbe*>(CompositionFactory::Instance()->CreateComponent(kTypeId));
    copy->rate = rate;
    copy->burst = burst;
    return copy;
}

void ParticleProbe::Serialize(Serializer* s) {
    s->SerializeFloat("Rate", &rate);
    s->SerializeInt("Burst", &burst);
}

Variant ParticleProbe::ToVariant() {
    return Variant();
}

ObjectWorld::ObjectWorld(const std::string& archetypes) {
    factory.AddComponentType(new ComponentFactory<MarkerComponent>(MarkerComponent::kTypeId),
                             MarkerComponent::kTypeId, "MarkerComponent");
    factory.AddComponentType(new ComponentFactory<ProbeComponent>(ProbeComponent::kTypeId),
                             ProbeComponent::kTypeId, "ProbeComponent");
    factory.AddComponentType(new ComponentFactory<ParticleProbe>(ParticleProbe::kTypeId),
                             ParticleProbe::kTypeId, "ParticleEmitterComponent");
    static int s_files = 0;
    const std::string path = WriteFile(
        "archetypes-" + std::to_string(getpid()) + "-" + std::to_string(++s_files) + ".xobj", archetypes);
    SerializerXML reader(true);
    reader.LoadObjects(path);
}

}  // namespace Ostrel::XmlTest
