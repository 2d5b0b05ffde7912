// The reflected vector types "Vec2", "Vec3" and "Vec4": value types (created,
// copied, deleted) with the float fields x, y, z, w that scripts and the
// editor read and write through the components' setters and getters.

#include "engine/core/Reflect.h"
#include "engine/core/Vec2.h"
#include "engine/core/Vec3.h"
#include "engine/core/Vec4.h"

namespace {

using namespace Ostrel;

void RegisterVec2(MetaClass& meta) {
    meta.AddField("x", MakeField(&Vec2::SetX, &Vec2::GetX));
    meta.AddField("y", MakeField(&Vec2::SetY, &Vec2::GetY));
}

void RegisterVec3(MetaClass& meta) {
    meta.AddField("x", MakeField(&Vec3::SetX, &Vec3::GetX));
    meta.AddField("y", MakeField(&Vec3::SetY, &Vec3::GetY));
    meta.AddField("z", MakeField(&Vec3::SetZ, &Vec3::GetZ));
}

void RegisterVec4(MetaClass& meta) {
    meta.AddField("x", MakeField(&Vec4::SetX, &Vec4::GetX));
    meta.AddField("y", MakeField(&Vec4::SetY, &Vec4::GetY));
    meta.AddField("z", MakeField(&Vec4::SetZ, &Vec4::GetZ));
    meta.AddField("w", MakeField(&Vec4::SetW, &Vec4::GetW));
}

}  // namespace

LV_REFLECT_VALUE(Ostrel::Vec2, RegisterVec2);
LV_REFLECT_VALUE(Ostrel::Vec3, RegisterVec3);
LV_REFLECT_VALUE(Ostrel::Vec4, RegisterVec4);
