// The graphics system on the recording device: configuration defaults, what
// Initialize builds and in which order, the release and rebuild orders of a
// window change and of Shutdown, the frame's update, a missing shader
// source, a render target that cannot be made, the fade, the debug keys and
// the skybox.

#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/graphics/DebugDrawQueue.h"
#include "engine/graphics/text/FontRegistry.h"
#include "engine/graphics/Graphics.h"
#include "engine/graphics/LightManager.h"
#include "engine/graphics/MatrixManager.h"
#include "engine/graphics/models/Mesh.h"
#include "engine/graphics/models/MeshManager.h"
#include "engine/graphics/ShaderProgram.h"
#include "engine/graphics/textures/Texture.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/io/ConfigureFileXML.h"

#include "tests/engine/components/ComponentWorld.h"
#include "tests/engine/graphics/text/FontTestSupport.h"
#include "tests/engine/graphics/GraphicsTestSupport.h"
#include "tests/engine/graphics/textures/ImageFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace Ostrel {
namespace {

using namespace Ostrel::Testing;

std::vector<float> V(const Vec4& v) { return {v.x, v.y, v.z, v.w}; }

// Records the messages the graphics system sends.
struct Heard {
    void Lost() { events.push_back("LostDevice"); }
    void Reset() { events.push_back("ResetDevice"); }
    void Update(float dt) { events.push_back("GraphicsUpdate " + std::to_string(dt)); }
    void Faded() { events.push_back("Faded"); }
    std::vector<std::string> events;
};

struct World {
    explicit World(const std::string& rscRoot = std::string(LV_SOURCE_DIR) + "/rsc") {
        FontRegistry::Instance().Clear();
        FontRegistry::Instance().Register(FontTest::ShippedFontBytes(), "DejaVuSans.ttf");
        RegisterResourceKinds(resources, rscRoot);
        engine.AddSystem(&core);
        engine.AddSystem(&graphics);
        device.SetFactory(rd::RecordingDevice::MakeFactory(0, [this](rd::RecordingDevice& made) { recording = &made; }));
        device.SetWindowParameters({320, 200, nullptr, true});
        device.Create();
        matrices.SetScreenSize({320, 200, nullptr, true});
        core.Listen("LostDevice", MakeDelegate(&heard, &Heard::Lost));
        core.Listen("ResetDevice", MakeDelegate(&heard, &Heard::Reset));
        core.Listen("GraphicsUpdate", MakeDelegate(&heard, &Heard::Update));
        core.Listen("Faded", MakeDelegate(&heard, &Heard::Faded));
        DebugDrawQueue::Instance().Clear();
    }
    ~World() {
        graphics.Shutdown();
        DebugDrawQueue::Instance().Clear();
        FontRegistry::Instance().Clear();
    }
    void Start() {
        graphics.Create();
        graphics.Initialize();
    }
    // Labels of the released named objects, in order.
    std::vector<std::string> NamedReleases() const {
        std::vector<std::string> names;
        for (const rd::TraceEntry& e : recording->GetTrace().Entries()) {
            if (e.op == "Release" && (e.args.find("Target") != std::string::npos || e.args.find("Decl") != std::string::npos)) {
                names.push_back(e.args);
            }
        }
        return names;
    }

    ResourceManager resources;
    Engine engine;
    CoreSystem core;
    RenderDevice device;
    rd::RecordingDevice* recording = nullptr;
    MeshManager meshes;
    TextureManager textures;
    MatrixManager matrices;
    LightManager lights;
    Graphics graphics;
    Heard heard;
};

TEST(GraphicsSystem, ConfigurationDefaultsAndKeys) {
    Graphics graphics;
    EXPECT_FALSE(graphics.IsDebug());
    EXPECT_FALSE(graphics.DoesPostProcess());
    EXPECT_TRUE(graphics.UsesHbv());
    graphics.LoadConfig(nullptr);
    EXPECT_TRUE(graphics.UsesHbv());
    ComponentTest::TextSerializer config(true);
    EXPECT_FALSE(graphics.UsesSourceEffect());
    config.values = {{"Debug", "1"}, {"DoPostProcess", "1"}, {"UseSourceEffect", "1"}, {"UseHBV", "0"}};
    graphics.LoadConfig(&config);
    EXPECT_TRUE(graphics.IsDebug());
    EXPECT_TRUE(graphics.DoesPostProcess());
    EXPECT_TRUE(graphics.UsesSourceEffect());
    EXPECT_FALSE(graphics.UsesHbv());

    // Through the configuration file: a malformed value is logged by key
    // like the others.
    GraphicsLogCapture log;
    Graphics fromFile;
    ConfigureFileXML file(true);
    file.SetWhere("graphics.xcfg");
    ASSERT_TRUE(file.LoadFromText("<Graphics><UseSourceEffect>1.5</UseSourceEffect><UseHBV>0</UseHBV></Graphics>"));
    fromFile.LoadConfig(&file);
    EXPECT_TRUE(fromFile.UsesSourceEffect());
    EXPECT_FALSE(fromFile.UsesHbv());
    EXPECT_NE(log.Text().find("key 'UseSourceEffect': '1.5' is not a whole number"), std::string::npos) << log.Text();
}

TEST(GraphicsSystem, InitializeBuildsEveryDeviceObjectInOrder) {
    World w;
    GraphicsLogCapture log;
    w.Start();
    // The debug font "Arial" is an installed face; nothing else is logged.
    EXPECT_EQ(log.Text(), "Graphics ready: 9 of 9 shader programs, 5 render targets of 320 x 200\n");

    const char* const names[23] = {
        "ProjMat",        "CamMat",        "WorldMat",       "diffuse_sampler",     "BoneMat",
        "AdditiveColor",  "tex_tiles",     "debug_color",    "tex_num",             "tex_width_per",
        "tex_height_per", "opaqueness",    "unimp_depth_sampler", "imp_depth_sampler", "screen_sampler",
        "debug_sampler",  "normal_sampler", "random_floats", "mapping_sampler",     "tile_percentage",
        "x_size",         "palette_tex_coord_adjust", "PsCameraMat"};
    for (int i = 0; i < 23; ++i) EXPECT_EQ(w.graphics.GetParameter(i), InternName(names[i])) << names[i];

    const std::pair<const char*, const char*> programs[] = {
        {"skybox-vs", "skybox-ps"},         {"particle-vs", "particle-ps"},     {"debug-vs", "debug-ps"},
        {"static-vert-vs", "lit-vert-ps"},  {"skinned-vert-vs", "lit-vert-ps"}, {"static-vert-vs", "static-vert-ps"},
        {"post-process-vs", "post-process-ps"}, {"static-vert-vs", "edge-ps"},  {"skinned-vert-vs", "edge-ps"}};
    for (int i = 0; i < Graphics::kProgramCount; ++i) {
        ShaderProgram* program = w.graphics.GetProgram(Graphics::ProgramIndex(i));
        ASSERT_NE(program, nullptr);
        EXPECT_EQ(program->GetVertexSourceName(), programs[i].first);
        EXPECT_EQ(program->GetPixelSourceName(), programs[i].second);
        EXPECT_TRUE(program->IsValid()) << i;
    }
    // The lit programs write colour and depth; everything else colour only.
    EXPECT_EQ(w.graphics.GetProgram(Graphics::kStaticLitProgram)->GetDeviceProgram()->OutputMask(), 3u);
    EXPECT_EQ(w.graphics.GetProgram(Graphics::kSkyboxProgram)->GetDeviceProgram()->OutputMask(), 1u);

    EXPECT_TRUE(w.graphics.DrawsSkybox());
    EXPECT_TRUE(w.graphics.DrawsDebugShapes());
    EXPECT_TRUE(w.graphics.HasDebugFont());
    const rd::Format formats[] = {rd::Format::X8R8G8B8, rd::Format::X8R8G8B8, rd::Format::X8R8G8B8,
                                  rd::Format::R32F, rd::Format::R32F};
    for (int i = 0; i < Graphics::kTargetCount; ++i) {
        rd::Texture* target = w.graphics.GetTarget(Graphics::TargetIndex(i));
        ASSERT_NE(target, nullptr);
        EXPECT_EQ(target->Name(), Graphics::kTargetNames[i]);
        EXPECT_EQ(target->Width(), 320u);
        EXPECT_EQ(target->Height(), 200u);
        EXPECT_EQ(target->GetFormat(), formats[i]);
    }
    EXPECT_EQ(w.graphics.GetBackBuffer(), w.recording->BackBuffer());
    ASSERT_TRUE(w.graphics.GetStaticLayout() && w.graphics.GetSkinnedLayout());
    EXPECT_EQ(w.graphics.GetStaticLayout()->Elements().size(), 4u);
    EXPECT_EQ(w.graphics.GetSkinnedLayout()->Elements().size(), 6u);
    EXPECT_EQ(w.graphics.GetSkinnedLayout()->Elements()[5].offset, 52);
    EXPECT_EQ(w.graphics.GetDebugMesh(Graphics::kDebugCircle)->GetVertexCount(), 25u);
    for (int i = 0; i < Graphics::kDebugMeshCount; ++i) {
        EXPECT_TRUE(w.graphics.GetDebugMesh(Graphics::DebugMeshIndex(i))->HasBuffers()) << i;
    }
    // The skybox planes are meshes of the mesh manager, placed for a cube of 5.
    Mesh* top = w.meshes.Find("SkyboxTopPlane");
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->position, Vec3(0, 2.5f, 0));
    EXPECT_EQ(top->rotation, Vec3(-90, 0, 0));
    EXPECT_EQ(top->scale, Vec3(5, 5, 5));
    EXPECT_EQ(w.meshes.Find("SkyboxBackPlane")->rotation, Vec3(0, 180, 0));
    EXPECT_EQ(w.meshes.Find("SkyboxLeftPlane")->position, Vec3(-2.5f, 0, 0));
}

TEST(GraphicsSystem, AWindowChangeRebuildsInOrderAndSendsLostThenResetOnce) {
    World w;
    w.Start();
    ShaderProgram* lit = w.graphics.GetProgram(Graphics::kStaticLitProgram);
    lit->FindParameter(InternName("WorldMat"));
    ASSERT_GT(lit->CachedParameterCount(), 0u);
    w.recording->GetTrace().Clear();

    w.core.SendMessageValues("WindowScreenStateChange", true, u32(800), u32(600));
    EXPECT_EQ(w.heard.events, (std::vector<std::string>{"LostDevice", "ResetDevice"}));
    EXPECT_EQ(w.NamedReleases(), (std::vector<std::string>{"screenTarget", "edgeTarget", "unimpDepthTarget",
                                                            "impDepthTarget", "auxTarget", "staticVertexDecl",
                                                            "skinnedVertexDecl"}));
    for (int i = 0; i < Graphics::kTargetCount; ++i) {
        rd::Texture* target = w.graphics.GetTarget(Graphics::TargetIndex(i));
        ASSERT_NE(target, nullptr);
        EXPECT_EQ(target->Name(), Graphics::kTargetNames[i]);
        EXPECT_EQ(target->Width(), 800u);
        EXPECT_EQ(target->Height(), 600u);
    }
    EXPECT_EQ(lit->CachedParameterCount(), 0u);
    EXPECT_TRUE(w.graphics.HasDebugFont());
    EXPECT_TRUE(w.meshes.Find("SkyboxTopPlane")->HasBuffers());
    // A size of 0 (a minimised window) keeps the last good size.
    w.graphics.OnWindowScreenStateChange(true, 0, 0);
    EXPECT_EQ(w.graphics.GetTarget(Graphics::kScreenTarget)->Width(), 800u);
}

TEST(GraphicsSystem, ShutdownReleasesEverythingItMade) {
    World w;
    w.Start();
    w.graphics.Update(0.016f);
    w.recording->GetTrace().Clear();
    w.graphics.Shutdown();
    EXPECT_EQ(w.NamedReleases(), (std::vector<std::string>{"staticVertexDecl", "skinnedVertexDecl", "screenTarget",
                                                            "edgeTarget", "auxTarget", "impDepthTarget",
                                                            "unimpDepthTarget"}));
    // What is left are the six sky planes' buffers, which the mesh manager owns.
    EXPECT_EQ(w.recording->LiveObjects(), 12u);
    w.meshes.Clear();
    EXPECT_EQ(w.recording->LiveObjects(), 0u);
    EXPECT_EQ(w.graphics.GetProgram(Graphics::kDebugProgram), nullptr);
}

TEST(GraphicsSystem, UpdateSendsGraphicsUpdateSetsCullingDrawsAndEmptiesTheQueues) {
    World w;
    w.Start();
    w.recording->GetTrace().Clear();
    Graphics::DrawDebugText("hello", 4, 4, 255, 255, 255, 255);
    Graphics::DrawDebugShape(1, 0, 0, 0, 1, 0, 0, 255, 0, 0, 255);
    w.graphics.Update(0.25f);
    EXPECT_EQ(w.heard.events, (std::vector<std::string>{"GraphicsUpdate " + std::to_string(0.25f)}));
    const std::vector<std::string> lines = w.recording->GetTrace().Lines({"SetRenderState", "Clear", "Present"});
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "SetRenderState CullMode 3");
    EXPECT_EQ(lines.back(), "Present");
    EXPECT_EQ(w.recording->PresentCount(), 1u);
    EXPECT_TRUE(DebugDrawQueue::Instance().Texts().empty());
    EXPECT_TRUE(DebugDrawQueue::Instance().Shapes().empty());
}

TEST(GraphicsSystem, AMissingShaderSourceLeavesItsProgramsInvalidAndTheFrameRuns) {
    const std::filesystem::path root = FreshGraphicsFolder("missing-edge");
    std::filesystem::copy(std::filesystem::path(LV_SOURCE_DIR) / "rsc" / "shaders", root / "shaders");
    std::filesystem::remove(root / "shaders" / "edge-ps.psh");
    World w(root.string());
    GraphicsLogCapture log;
    w.Start();
    EXPECT_NE(log.Text().find("shader 'edge-ps': no such SHADER resource"), std::string::npos) << log.Text();
    EXPECT_FALSE(w.graphics.GetProgram(Graphics::kStaticEdgeProgram)->IsValid());
    EXPECT_FALSE(w.graphics.GetProgram(Graphics::kSkinnedEdgeProgram)->IsValid());
    EXPECT_TRUE(w.graphics.GetProgram(Graphics::kStaticLitProgram)->IsValid());
    for (int i = 0; i < 3; ++i) w.graphics.Update(0.016f);
    EXPECT_EQ(w.recording->PresentCount(), 3u);
}

TEST(GraphicsSystem, ATargetThatCannotBeMadeSkipsFramesUntilALaterResetMakesIt) {
    World w;
    w.Start();
    w.recording->FailRenderTargets(1);
    w.graphics.OnWindowScreenStateChange(true, 400, 300);
    EXPECT_EQ(w.graphics.GetTarget(Graphics::kScreenTarget), nullptr);
    w.graphics.Update(0.016f);
    EXPECT_EQ(w.recording->PresentCount(), 0u);
    w.graphics.OnWindowScreenStateChange(true, 400, 300);
    ASSERT_NE(w.graphics.GetTarget(Graphics::kScreenTarget), nullptr);
    w.graphics.Update(0.016f);
    EXPECT_EQ(w.recording->PresentCount(), 1u);
}

TEST(GraphicsSystem, FadesAndDebugKeys) {
    World w;
    w.Start();
    EXPECT_EQ(V(w.graphics.GetFadeColor()), V(Vec4(1, 1, 1, 1)));
    std::string done = "Faded";
    w.core.SendMessageValues("StartFade", Vec4(1, 1, 1, 1), Vec4(0, 0, 0, 0), 2.0f, &done);
    w.graphics.StepFade(0.5f);
    w.graphics.StepFade(0.5f);
    EXPECT_NEAR(w.graphics.GetFadeColor().x, 0.5f, 1e-6f);
    EXPECT_NEAR(w.graphics.GetFadeColor().w, 0.5f, 1e-6f);
    w.graphics.StepFade(0.5f);
    w.graphics.StepFade(0.5f);
    EXPECT_EQ(V(w.graphics.GetFadeColor()), V(Vec4(0, 0, 0, 0)));
    w.graphics.StepFade(0.5f);
    EXPECT_EQ(std::count(w.heard.events.begin(), w.heard.events.end(), "Faded"), 1);

    // "GameReady" replaces a running fade and its message.
    w.heard.events.clear();
    w.core.SendMessageValues("StartFade", Vec4(1, 1, 1, 1), Vec4(0, 0, 0, 0), 2.0f, &done);
    w.core.Send("GameReady");
    EXPECT_EQ(V(w.graphics.GetFadeColor()), V(Vec4(0, 0, 0, 0)));
    for (int i = 0; i < 4; ++i) w.graphics.StepFade(0.25f);
    EXPECT_EQ(V(w.graphics.GetFadeColor()), V(Vec4(1, 1, 1, 1)));
    EXPECT_TRUE(w.heard.events.empty());

    // A level quit mid-fade ("GameEnding") takes its fade along: no message
    // reaches the screen that follows, which is drawn unfaded.
    w.core.SendMessageValues("StartFade", Vec4(1, 1, 1, 1), Vec4(0, 0, 0, 0), 2.0f, &done);
    w.graphics.StepFade(1.0f);
    w.core.Send("GameEnding");
    for (int i = 0; i < 4; ++i) w.graphics.StepFade(1.0f);
    EXPECT_EQ(V(w.graphics.GetFadeColor()), V(Vec4(1, 1, 1, 1)));
    EXPECT_TRUE(w.heard.events.empty());

    // Debug keys act only with "Debug" on, toggles on the press.
    w.core.SendMessageValues("KeyTriggered", 119, true);
    EXPECT_TRUE(w.graphics.DrawsSkybox());
    ComponentTest::TextSerializer config(true);
    config.values = {{"Debug", "1"}};
    w.graphics.LoadConfig(&config);
    w.core.SendMessageValues("KeyTriggered", 119, true);
    w.core.SendMessageValues("KeyTriggered", 119, false);
    EXPECT_FALSE(w.graphics.DrawsSkybox());
    w.core.SendMessageValues("KeyTriggered", 112, true);
    EXPECT_FALSE(w.graphics.DrawsDebugShapes());
    w.core.SendMessageValues("KeyTriggered", 48, true);  // recompiles the lit programs
    EXPECT_TRUE(w.graphics.GetProgram(Graphics::kSkinnedLitProgram)->IsValid());
}

Texture* AddWhiteTexture(TextureManager& textures, const std::string& name) {
    Texture* texture = textures.Create(name);
    const std::string tga = MakeTga32(1, 1, {255, 255, 255, 255});
    texture->CreateFromBytes(name, Bytes(tga), tga.size());
    return texture;
}

TEST(GraphicsSystem, SkyboxChoosesItsFacesByBaseNameAndDrawsWithoutTranslation) {
    World w;
    w.Start();
    // Nothing set yet: only depth testing is turned on.
    w.recording->GetTrace().Clear();
    w.graphics.DrawSkybox(*w.recording, Vec3(0, 0, 1), Vec3(0, 1, 0));
    EXPECT_EQ(w.recording->GetTrace().Lines(), (std::vector<std::string>{"SetRenderState ZEnable 1"}));

    Texture* top = AddWhiteTexture(w.textures, "sky-top");
    std::string name = "textures/sky.png";
    w.graphics.OnSetSkybox(&name);
    EXPECT_TRUE(w.graphics.GetSkybox().IsLoaded());
    EXPECT_EQ(w.graphics.GetSkybox().GetTexture(Skybox::kTop), top);
    for (Skybox::Face face : {Skybox::kBottom, Skybox::kRight, Skybox::kLeft, Skybox::kFront, Skybox::kBack}) {
        EXPECT_EQ(w.graphics.GetSkybox().GetTexture(face), nullptr);
    }
    // All six suffixes are looked up.
    Texture* faces[Skybox::kFaceCount];
    for (int i = 0; i < Skybox::kFaceCount; ++i) faces[i] = AddWhiteTexture(w.textures, std::string("dusk") + Skybox::kSuffixes[i]);
    std::string dusk = "dusk";
    w.graphics.OnSetSkybox(&dusk);
    for (int i = 0; i < Skybox::kFaceCount; ++i) EXPECT_EQ(w.graphics.GetSkybox().GetTexture(Skybox::Face(i)), faces[i]);
    std::string empty;
    w.graphics.OnSetSkybox(&empty);
    EXPECT_EQ(w.graphics.GetSkyboxName(), "dusk");
    w.graphics.OnSetSkybox(&name);

    // Drawn front, back, left, right, top, bottom depth tested but not
    // written (it lies at the far plane, behind what the frame drew
    // before it); only the top face has a texture.
    w.recording->GetTrace().Clear();
    w.graphics.DrawSkybox(*w.recording, Vec3(1, 0, 1), Vec3(0, 1, 0));
    const std::vector<std::string> lines = w.recording->GetTrace().Lines({"SetRenderState", "SetTexture", "DrawIndexed"});
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[0], "SetRenderState ZEnable 1");
    EXPECT_EQ(lines[1], "SetRenderState ZWriteEnable 0");
    EXPECT_EQ(lines.back(), "SetRenderState ZWriteEnable 1");
    const std::string topLabel = top->GetDeviceTexture()->Label();
    const std::vector<std::string> textures = {lines[2], lines[4], lines[6], lines[8], lines[10], lines[12]};
    EXPECT_EQ(textures, (std::vector<std::string>{"SetTexture 0 null", "SetTexture 0 null", "SetTexture 0 null",
                                                   "SetTexture 0 null", "SetTexture 0 " + topLabel,
                                                   "SetTexture 0 null"}));
    EXPECT_EQ(lines[3], "DrawIndexed 4 4 2");
    // The sky view keeps the camera's orientation and has no translation.
    rd::Program* sky = w.graphics.GetProgram(Graphics::kSkyboxProgram)->GetDeviceProgram();
    const std::vector<float> view = w.recording->UniformValues(sky, "CamMat");
    ASSERT_EQ(view.size(), 16u);
    EXPECT_EQ(std::vector<float>(view.begin() + 12, view.end()), (std::vector<float>{0, 0, 0, 1}));
    Matrix4 expected;
    LookAtMatrix(expected, Vec3(0, 0, 0), Vec3(1, 0, 1), Vec3(0, 1, 0));
    EXPECT_EQ(view, std::vector<float>(expected.m, expected.m + 16));
}


// Fades of no length, the recompile key.

TEST(GraphicsSystem, ZeroSecondFadesKeepTheirStartColourAndAFadeEndsAfterThePresent) {
    World w;
    w.Start();
    std::string done = "Faded";
    for (float seconds : {0.0f, -1.0f}) {
        w.core.SendMessageValues("StartFade", Vec4(0.25f, 0.5f, 0.75f, 1), Vec4(0, 0, 0, 0), seconds, &done);
        for (int i = 0; i < 3; ++i) w.graphics.Update(0.5f);
        EXPECT_EQ(V(w.graphics.GetFadeColor()), V(Vec4(0.25f, 0.5f, 0.75f, 1)));
    }
    std::string silent;  // an empty name sends nothing, not even a message named ""
    w.core.Listen("", MakeDelegate(&w.heard, &Heard::Faded));
    w.core.SendMessageValues("StartFade", Vec4(1, 1, 1, 1), Vec4(0, 0, 0, 0), 0.5f, &silent);
    w.graphics.Update(0.5f);
    EXPECT_EQ(std::count(w.heard.events.begin(), w.heard.events.end(), "Faded"), 0);
    // The completion message comes after the frame of its update was presented.
    struct Watcher {
        void Faded() { presents.push_back(recording->PresentCount()); }
        rd::RecordingDevice* recording;
        std::vector<u32> presents;
    } watcher{w.recording, {}};
    w.core.Listen("Faded", MakeDelegate(&watcher, &Watcher::Faded));
    const u32 presents = w.recording->PresentCount();
    w.core.SendMessageValues("StartFade", Vec4(0, 0, 0, 0), Vec4(1, 1, 1, 1), 0.5f, &done);
    w.graphics.Update(0.5f);
    EXPECT_EQ(watcher.presents, (std::vector<u32>{presents + 1}));
    w.core.Unlisten("Faded", MakeDelegate(&watcher, &Watcher::Faded));
}

TEST(GraphicsSystem, TheRecompileKeyActsOnPressAndReleaseAndAFailedRecompileKeepsTheWorkingShaders) {
    const std::filesystem::path root = FreshGraphicsFolder("recompile");
    std::filesystem::copy(std::filesystem::path(LV_SOURCE_DIR) / "rsc" / "shaders", root / "shaders");
    World w(root.string());
    w.Start();
    auto programReleases = [&] {
        int count = 0;
        for (const rd::TraceEntry& e : w.recording->GetTrace().Entries()) count += e.op == "Release" && e.args.rfind("prog", 0) == 0;
        return count;
    };
    w.recording->GetTrace().Clear();
    for (int key : {48, 112, 119}) w.core.SendMessageValues("KeyTriggered", key, true);
    EXPECT_EQ(programReleases(), 0);  // "Debug" off: no key acts
    EXPECT_TRUE(w.graphics.DrawsDebugShapes() && w.graphics.DrawsSkybox());
    ComponentTest::TextSerializer config(true);
    config.values = {{"Debug", "1"}};
    w.graphics.LoadConfig(&config);
    w.core.SendMessageValues("KeyTriggered", 48, true);
    w.core.SendMessageValues("KeyTriggered", 48, false);
    EXPECT_EQ(programReleases(), 8);  // two programs, two stages, press and release

    // Both stages of the static program broken: it keeps its program; the
    // skinned one relinks its new vertex stage with the old pixel stage.
    ShaderProgram* lit = w.graphics.GetProgram(Graphics::kStaticLitProgram);
    rd::Program* working = lit->GetDeviceProgram();
    WriteGraphicsFile(root / "shaders" / "lit-vert-ps.psh", "#error half-edited\n");
    WriteGraphicsFile(root / "shaders" / "static-vert-vs.psh", "#error half-edited\n");
    GraphicsLogCapture log;
    w.core.SendMessageValues("KeyTriggered", 48, true);
    EXPECT_NE(log.Text().find("shader compile failed"), std::string::npos) << log.Text();
    EXPECT_EQ(lit->GetDeviceProgram(), working);
    EXPECT_TRUE(w.graphics.GetProgram(Graphics::kSkinnedLitProgram)->IsValid());
}

}  // namespace
}  // namespace Ostrel
