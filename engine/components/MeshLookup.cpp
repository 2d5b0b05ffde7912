#include "engine/components/MeshLookup.h"

namespace Ostrel {

namespace {
MeshLookup* s_current = nullptr;
}  // namespace

MeshLookup* MeshLookup::Current() { return s_current; }

MeshLookup* MeshLookup::Install(MeshLookup* lookup) {
    MeshLookup* previous = s_current;
    s_current = lookup;
    return previous;
}

Mesh* FindMeshByName(const std::string& name) {
    MeshLookup* lookup = MeshLookup::Current();
    return lookup ? lookup->FindMesh(name) : nullptr;
}

}  // namespace Ostrel
