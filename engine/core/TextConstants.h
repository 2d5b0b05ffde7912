#pragma once
// Shared text constants: the names the systems answer from GetName, the
// resource kind names of the resource manager, the model viewer's object name
// and the collision shape names. Each is built on first use, so static
// initialisers of any file may use them.
//
//   Text::Archetype()   // "ARCHETYPE"
//   Text::CoreSystem()  // "CoreSystem"

#include <string>
#include <vector>

// X(function name, text), in the order the engine builds them.
#define LV_TEXT_CONSTANTS(X)                  \
    X(CoreSystem, "CoreSystem")               \
    X(ObjectManager, "ObjectManager")         \
    X(Archetype, "ARCHETYPE")                 \
    X(Image, "IMAGE")                         \
    X(Geometry, "GEOMETRY")                   \
    X(Script, "SCRIPT")                       \
    X(Level, "LEVEL")                         \
    X(Shader, "SHADER")                       \
    X(Config, "CONFIG")                       \
    X(State, "STATE")                         \
    X(Audio, "AUDIO")                         \
    X(SoundManifest, "SOUND_MANIFEST")        \
    X(Scene, "SCENE")                         \
    X(Package, "PACKAGE")                     \
    X(LevelOrderDoc, "LEVELORDERDOC")         \
    X(Property, "PROPERTY")                   \
    X(Font, "FONT")                           \
    X(TilePalette, "TILE_PALETTE")            \
    X(RoomPalette, "ROOM_PALETTE")            \
    X(Room, "ROOM")                           \
    X(Tutorial, "TUTORIAL")                   \
    X(AnimWrapper, "ANIM_WRAPPER")            \
    X(GameSystem, "GameSystem")               \
    X(WindowSystem, "WindowSystem")           \
    X(Graphics, "Graphics")                   \
    X(Input, "Input")                         \
    X(SoundSystem, "SoundSystem")             \
    X(UiSystem, "UiSystem")                   \
    X(AnimationSystem, "AnimationSystem")     \
    X(Physics, "Physics")                     \
    X(LogicSystem, "LogicSystem")             \
    X(ScriptSystem, "ScriptSystem")           \
    X(LevelEditor, "LevelEditor")             \
    X(ModelView, "ModelView")                 \
    X(ModelViewAsset, "mv-asset")             \
    X(Box, "BOX")                             \
    X(Sphere, "SPHERE")

namespace Ostrel::Text {

#define LV_DECLARE_TEXT_CONSTANT(name, text) const std::string& name();
LV_TEXT_CONSTANTS(LV_DECLARE_TEXT_CONSTANT)
#undef LV_DECLARE_TEXT_CONSTANT

// Every constant, in the order above (37).
const std::vector<const std::string*>& All();

}  // namespace Ostrel::Text
