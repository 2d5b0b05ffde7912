#pragma once
// The three families of sounds, each played into its own channel group with
// its own volume and mute flag. Messages carry the family as a 32-bit int;
// any other value is ignored by every sound message.

#include "engine/base/Types.h"
#include "engine/core/MetaClassOf.h"

namespace Ostrel {

namespace SoundFamilies {
enum SoundFamily : s32 {
    Music = 0,
    Effects = 1,
    UserInterface = 2,
};
constexpr int kCount = 3;
inline bool IsValid(s32 family) { return family >= 0 && family < kCount; }
}  // namespace SoundFamilies

using SoundFamily = SoundFamilies::SoundFamily;

}  // namespace Ostrel

// Reflected (as an enum whose text form is the decimal number) so that the
// family travels in message arguments.
LV_DECLARE_META_CLASS(Ostrel::SoundFamilies::SoundFamily);
