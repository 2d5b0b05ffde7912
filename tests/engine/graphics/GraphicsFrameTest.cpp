// The frame on the recording device: the exact pass order with its targets
// and states, mesh runs, the program switch between animated and static
// objects, depth target 1 by importance, the frame without a camera, a lost
// device, the drop-shadow look-up, skinning and the guards against missing
// meshes, cameras and stale hierarchy handles.

#include "engine/components/ShadowComponent.h"
#include "engine/components/VisualLookup.h"
#include "engine/graphics/animation/FidgetComponent.h"
#include "engine/graphics/textures/Texture.h"
#include "engine/physics/HbvManager.h"
#include "engine/world/TilePaletteRecord.h"

#include "tests/engine/graphics/FrameTestSupport.h"
#include "tests/engine/graphics/textures/ImageFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace Ostrel {
namespace {

using namespace Ostrel::Testing;

// One tile palette, "tiles", whose atlas is a real texture and whose tile
// textures are never made.
class OnePalette final : public VisualLookup {
public:
    explicit OnePalette(Texture* atlas) : m_atlas(atlas), m_previous(VisualLookup::Install(this)) {
        m_palette.name = "tiles";
        m_palette.tilesX = 2;
        m_palette.tilesY = 4;
        m_palette.tileU = 0.5f;
        m_palette.tileV = 0.25f;
    }
    ~OnePalette() override { VisualLookup::Install(m_previous); }
    Texture* FindTexture(const std::string&) const override { return nullptr; }
    TilePaletteRecord* FindTilePalette(const std::string& name) const override {
        return name == "tiles" ? &m_palette : nullptr;
    }
    int GetPaletteColumns(const TilePaletteRecord& palette) const override { return palette.tilesX; }
    void BuildTileTexture(Texture** slot, const std::vector<s32>&, int, int, int, std::string*) override {
        *slot = nullptr;
    }
    void DestroyTexture(Texture*) override {}
    void GetPaletteAtlas(const TilePaletteRecord& palette, Texture** atlas, float* tileU, float* tileV) const override {
        *atlas = m_atlas;
        *tileU = palette.tileU;
        *tileV = palette.tileV;
    }

private:
    Texture* m_atlas;
    mutable TilePaletteRecord m_palette;
    VisualLookup* m_previous;
};

std::unique_ptr<Texture> GreyTexture(const char* name) {
    auto texture = std::make_unique<Texture>();
    const std::string file = MakeTga32(4, 4, std::vector<u8>(4 * 4 * 4, 128));
    texture->CreateFromBytes(name, Bytes(file), file.size());
    return texture;
}

void ExpectMatrix(const std::vector<float>& actual, const Matrix4& expected, const char* what) {
    ASSERT_EQ(actual.size(), 16u) << what;
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual[i], expected.m[i], 1e-5f) << what << " element " << i;
}

// Which targets a draw went to, as "rt0 rt1 rt2".
std::string TargetsOf(const rd::TraceEntry& e) { return e.targets[0] + " " + e.targets[1] + " " + e.targets[2]; }

TEST(GraphicsFrame, PostProcessedFrameBindsEveryTargetInPassOrder) {
    FrameWorld w(true);
    w.UseCamera();
    Composition* selected = w.Make("mesh-obj", "box");
    w.MeshOf(selected)->SetHighlighted(true);
    w.MeshOf(selected)->SetColor(1, 0, 1);
    w.File(List::Draw, selected);
    w.File(List::TransparentPlane, w.Make("plane-obj"));
    w.Frame();

    EXPECT_EQ(w.Lines({"SetRenderTarget", "Clear", "BeginScene", "EndScene", "Present"}),
              (std::vector<std::string>{
                  "Clear 3 0x00000000 1", "BeginScene",
                  // the clears of the off-screen targets
                  "SetRenderTarget 0 edgeTarget", "Clear 1 0x00000000 0",
                  "SetRenderTarget 0 unimpDepthTarget", "SetRenderTarget 1 impDepthTarget", "Clear 3 0x00000000 1",
                  "SetRenderTarget 0 screenTarget", "SetRenderTarget 2 auxTarget", "Clear 1 0x00000000 1",
                  // opaque pass: the first object, its run, its highlight edges
                  "SetRenderTarget 1 unimpDepthTarget", "SetRenderTarget 1 unimpDepthTarget",
                  "SetRenderTarget 0 edgeTarget", "SetRenderTarget 0 screenTarget",
                  // blended pass, debug shapes, composite
                  "SetRenderTarget 1 unimpDepthTarget",
                  "SetRenderTarget 0 edgeTarget", "SetRenderTarget 1 null", "SetRenderTarget 2 null",
                  "EndScene", "SetRenderTarget 0 backbuffer", "SetRenderTarget 1 null", "SetRenderTarget 2 null",
                  "Clear 1 0x00000000 0", "BeginScene", "EndScene", "Present"}));

    const auto lit = w.DrawsWith({Graphics::kStaticLitProgram});
    ASSERT_EQ(lit.size(), 1u);
    EXPECT_EQ(TargetsOf(lit[0]), "screenTarget unimpDepthTarget auxTarget");
    const auto edges = w.DrawsWith({Graphics::kStaticEdgeProgram});
    ASSERT_EQ(edges.size(), 1u);
    EXPECT_EQ(TargetsOf(edges[0]), "edgeTarget unimpDepthTarget auxTarget");
    EXPECT_EQ(w.recording->UniformValues(w.graphics.GetProgram(Graphics::kStaticEdgeProgram)->GetDeviceProgram(),
                                         "AdditiveColor"),
              (std::vector<float>{1, 0, 1, 1}));
    const auto quads = w.DrawsWith({Graphics::kStaticVertProgram});
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(TargetsOf(quads[0]), "screenTarget unimpDepthTarget auxTarget");
    const auto composite = w.DrawsWith({Graphics::kPostProcessProgram});
    ASSERT_EQ(composite.size(), 1u);
    EXPECT_EQ(TargetsOf(composite[0]), "backbuffer  ");

    // Only the lit programs write a second output: the blended quads, edges,
    // sky, particles and debug shapes leave the depth targets as they are.
    for (int i = 0; i < Graphics::kProgramCount; ++i) {
        const auto index = Graphics::ProgramIndex(i);
        const bool lit = index == Graphics::kStaticLitProgram || index == Graphics::kSkinnedLitProgram;
        EXPECT_EQ(w.graphics.GetProgram(index)->GetDeviceProgram()->OutputMask(), lit ? 3u : 1u) << i;
    }

    // The mesh, its edges and the sky (after the opaque passes; none is
    // loaded, so it only keeps depth testing on), the blended pass's states,
    // then the states a frame leaves behind.
    EXPECT_EQ(w.Lines({"SetRenderState"}),
              (std::vector<std::string>{"SetRenderState CullMode 3", "SetRenderState CullMode 3",
                                        "SetRenderState AlphaBlendEnable 0", "SetRenderState ZEnable 1",
                                        "SetRenderState FillMode 2", "SetRenderState FillMode 3", "SetRenderState ZEnable 1",
                                        "SetRenderState AlphaBlendEnable 1", "SetRenderState DestBlend 6",
                                        "SetRenderState SrcBlend 5", "SetRenderState ZWriteEnable 0",
                                        "SetRenderState ZWriteEnable 1", "SetRenderState AlphaBlendEnable 0",
                                        "SetRenderState DestBlend 1", "SetRenderState SrcBlend 2"}));
}

TEST(GraphicsFrame, DirectFrameKeepsTheBackBufferAndComposesNothing) {
    FrameWorld w(false);
    w.UseCamera();
    Composition* selected = w.Make("mesh-obj", "box");
    w.MeshOf(selected)->SetHighlighted(true);
    w.File(List::Draw, selected);
    w.File(List::TransparentPlane, w.Make("plane-obj"));
    w.Frame();
    EXPECT_EQ(w.Lines({"SetRenderTarget"}), (std::vector<std::string>{"SetRenderTarget 1 unimpDepthTarget"}));
    for (const auto& draw : w.DrawsWith({Graphics::kStaticLitProgram, Graphics::kStaticEdgeProgram,
                                         Graphics::kStaticVertProgram})) {
        EXPECT_EQ(TargetsOf(draw), "backbuffer unimpDepthTarget ");
    }
    EXPECT_EQ(w.DrawsWith({Graphics::kStaticLitProgram, Graphics::kStaticEdgeProgram, Graphics::kStaticVertProgram}).size(), 3u);
    EXPECT_TRUE(w.DrawsWith({Graphics::kPostProcessProgram}).empty());
}

void ExpectMeshRuns(bool postProcess) {
    SCOPED_TRACE(postProcess ? "post-processed" : "direct");
    FrameWorld w(postProcess);
    w.UseCamera();
    // Sorted order: important first, animated before static, one mesh adjacent.
    Composition* important = w.Make("mesh-obj", "crate");
    w.MeshOf(important)->SetImportant(true);
    w.File(List::Draw, important);
    w.File(List::Draw, w.Make("animated-obj", "hinge"));
    w.File(List::Draw, w.Make("mesh-obj", "hinge"));
    w.File(List::Draw, w.Make("mesh-obj", "hinge"));
    w.File(List::Draw, w.Make("mesh-obj", "box"));
    w.Frame();

    const auto lit = w.DrawsWith({Graphics::kStaticLitProgram, Graphics::kSkinnedLitProgram});
    ASSERT_EQ(lit.size(), 5u);
    const std::string staticLit = w.Label(Graphics::kStaticLitProgram);
    const std::string skinnedLit = w.Label(Graphics::kSkinnedLitProgram);
    EXPECT_EQ(lit[0].program, staticLit);
    EXPECT_EQ(lit[1].program, skinnedLit);
    EXPECT_EQ(lit[2].program, staticLit);
    EXPECT_EQ(lit[4].program, staticLit);
    // Depth target 1 follows IsImportant, with or without post-processing.
    EXPECT_EQ(lit[0].targets[1], "impDepthTarget");
    for (int i = 1; i < 5; ++i) EXPECT_EQ(lit[i].targets[1], "unimpDepthTarget") << i;

    // One stream binding per run: crate, hinge (three objects), box.
    std::vector<std::string> streams;
    for (const std::string& line : w.Lines({"SetStreamSource"})) {
        for (const char* mesh : {"crate", "hinge", "box"}) {
            if (line == "SetStreamSource " + w.Vb(mesh) + (mesh == std::string("hinge") ? " 56" : " 36")) streams.push_back(mesh);
        }
    }
    EXPECT_EQ(streams, (std::vector<std::string>{"crate", "hinge", "box"}));

    // Between the animated and the static hinge: program and layout change, the stream stays.
    const auto& entries = w.recording->GetTrace().Entries();
    std::vector<std::string> between;
    int draws = 0;
    for (const rd::TraceEntry& e : entries) {
        if (e.op == "DrawIndexed" && (e.program == staticLit || e.program == skinnedLit)) {
            if (++draws == 3) break;
            continue;
        }
        const bool binding = e.op == "SetProgram" || e.op == "SetVertexLayout" || e.op == "SetStreamSource" ||
                             e.op == "SetIndices";
        if (draws == 2 && binding) between.push_back(e.Line());
    }
    EXPECT_EQ(between, (std::vector<std::string>{"SetProgram " + staticLit, "SetVertexLayout staticVertexDecl"}));
}

TEST(GraphicsFrame, MeshRunsBindTheStreamOnceAndSwitchOnlyTheVertexProgram) {
    ExpectMeshRuns(false);
    ExpectMeshRuns(true);
}

TEST(GraphicsFrame, WithoutACameraOnlyTheUserInterfaceAndTextAreDrawn) {
    FrameWorld w(true);
    w.File(List::Draw, w.Make("mesh-obj", "box"));
    // No camera at all, a camera id whose object has no camera, one whose object is gone.
    Composition* notACamera = w.Make("mesh-obj");
    Composition* gone = w.Make("camera-obj");
    const u32 goneId = gone->GetId();
    w.objects.DestroyObject(goneId);
    w.objects.Update(0.0f);
    for (u32 id : {0u, notACamera->GetId(), goneId}) {
        w.graphics.OnCameraChange(id);
        Graphics::DrawDebugText("hello", 10.7f, 20.2f, 255, 255, 255, 255);
        Graphics::DrawDebugShape(1, 0, 0, 0, 1, -1, -1, 255, 255, 255, 255);
        w.sceneDrawings = 0;
        w.Frame();
        EXPECT_EQ(w.sceneDrawings, 1) << id;
        EXPECT_TRUE(w.DrawsWith({Graphics::kStaticLitProgram, Graphics::kPostProcessProgram}).empty()) << id;
        EXPECT_EQ(w.Lines({"SetRenderTarget"}).size(), 0u) << id;
        EXPECT_GT(w.recording->GetTrace().Count("DrawIndexed"), 0u) << "the text is drawn";
        EXPECT_EQ(w.recording->GetTrace().Count("Present"), 1u);
        EXPECT_TRUE(DebugDrawQueue::Instance().Texts().empty());
        EXPECT_TRUE(DebugDrawQueue::Instance().Shapes().empty());
    }
}

TEST(GraphicsFrame, ALostDeviceKeepsTheQueuesUntilAFrameIsPresented) {
    FrameWorld w;
    w.UseCamera();
    w.File(List::Draw, w.Make("mesh-obj", "box"));
    Graphics::DrawDebugText("one", 1, 1, 255, 255, 255, 255);
    w.recording->ScriptCooperativeLevels({rd::CoopLevel::DeviceLost, rd::CoopLevel::DeviceLost});
    w.Frame();
    EXPECT_EQ(w.recording->GetTrace().Count("Present"), 0u);
    EXPECT_EQ(w.recording->GetTrace().Count("Clear"), 0u);
    Graphics::DrawDebugText("two", 1, 1, 255, 255, 255, 255);
    Graphics::DrawDebugShape(0, 0, 0, 0, 1, 2, 3, 255, 255, 255, 255);
    EXPECT_EQ(DebugDrawQueue::Instance().Texts().size(), 2u);

    // A device that can be reset is rebuilt and the frame drawn at once.
    w.recording->ScriptCooperativeLevels({rd::CoopLevel::DeviceNotReset});
    w.Frame();
    EXPECT_EQ(w.losses, 1);
    EXPECT_EQ(w.recording->GetTrace().Count("Present"), 1u);
    EXPECT_EQ(w.DrawsWith({Graphics::kStaticLitProgram}).size(), 1u);
    EXPECT_TRUE(DebugDrawQueue::Instance().Texts().empty());
    EXPECT_TRUE(DebugDrawQueue::Instance().Shapes().empty());
}

TEST(GraphicsFrame, ShadowsLookUpTheDropShadowOnlyWhenThereAreShadows) {
    FrameWorld w;
    w.UseCamera();
    Texture* dropShadow = w.textures.Create("DropShadow");
    const std::string file = MakeTga32(4, 4, std::vector<u8>(4 * 4 * 4, 128));
    ASSERT_TRUE(dropShadow->CreateFromBytes("DropShadow.tga", Bytes(file), file.size()));
    const std::string bind = "SetTexture 0 " + dropShadow->GetDeviceTexture()->Label();
    const auto countBinds = [&] {
        const auto lines = w.Lines({"SetTexture"});
        return std::count(lines.begin(), lines.end(), bind);
    };
    w.Frame();
    EXPECT_EQ(countBinds(), 0);

    Composition* hidden = w.Make("shadow-obj");
    hidden->GetComponentAs<ShadowComponent>()->SetVisible(false);
    w.File(List::Shadow, hidden);
    Composition* shadow = w.Make("shadow-obj", nullptr, Vec3(1, 7, 2));
    shadow->GetTransform()->SetRotation(Vec3(0, 30, 0));
    w.File(List::Shadow, shadow);
    w.Frame();
    EXPECT_EQ(countBinds(), 1);
    const auto quads = w.DrawsWith({Graphics::kStaticVertProgram});
    ASSERT_EQ(quads.size(), 1u) << "the invisible shadow is skipped";
    // Flat at height 2.05, turned by the object's y rotation less 90 degrees.
    Matrix4 expected;
    BuildTransformMatrix(expected, Vec3(1, 2.05f, 2), Vec3(90, -60, 0), Vec3(1, 1, 1));
    ExpectMatrix(w.recording->UniformValues(w.graphics.GetProgram(Graphics::kStaticVertProgram)->GetDeviceProgram(),
                                            "WorldMat"),
                 expected, "shadow");
}

// Planes lie flat, sized by their x and z scale, raised by their adjust;
// billboards face the camera through the inverse view, rolled by their own
// angle plus the transform's z rotation, both in radians.
TEST(GraphicsFrame, BlendedQuadsBuildTheirWorldMatrices) {
    FrameWorld w;
    w.UseCameraAt(3, 2, -10);
    rd::Program* quads = w.graphics.GetProgram(Graphics::kStaticVertProgram)->GetDeviceProgram();

    w.File(List::TransparentPlane, w.Make("plane-obj", nullptr, Vec3(1, 2, 3)));
    w.Frame();
    Matrix4 expected;
    BuildTransformMatrix(expected, Vec3(1, 2.5f, 3), Vec3(90, 180, 0), Vec3(4, 2, 1));
    ExpectMatrix(w.recording->UniformValues(quads, "WorldMat"), expected, "plane");
    EXPECT_EQ(w.recording->UniformValues(quads, "AdditiveColor"), (std::vector<float>{1, 1, 1, 1}));

    w.graphics.RenderListForTests(List::TransparentPlane).clear();
    Composition* billboard = w.Make("billboard-obj", nullptr, Vec3(1, 2, 3));
    billboard->GetTransform()->SetRotation(Vec3(0, 0, 0.5f));
    billboard->GetTransform()->SetScale(Vec3(2, 1, 1));
    w.File(List::Billboard, billboard);
    w.Frame();
    expected = ScalingMatrix(4, 3, 1) * RotationZMatrix(1.5f) * *w.matrices.GetInverseView();
    expected.m[12] = 1;
    expected.m[13] = 3;
    expected.m[14] = 3;
    ExpectMatrix(w.recording->UniformValues(quads, "WorldMat"), expected, "billboard");
}

// With a palette the lit shader samples the palette's atlas through the
// tile map; a map not made yet clears its sampler but keeps the fractions.
TEST(GraphicsFrame, TiledMeshesSampleThePaletteAtlas) {
    FrameWorld w;
    w.UseCamera();
    auto atlas = GreyTexture("atlas.tga");
    auto crate = GreyTexture("crate.tga");
    OnePalette palettes(atlas.get());
    Composition* floor = w.Make("mesh-obj", "box");
    w.MeshOf(floor)->SetTilesX(2);
    w.MeshOf(floor)->SetTilesY(3);
    w.MeshOf(floor)->SetTilePalette("tiles");
    ASSERT_NE(w.MeshOf(floor)->GetPalette(), nullptr);
    w.File(List::Draw, floor);
    Composition* plain = w.Make("mesh-obj", "crate");
    w.MeshOf(plain)->SetTexture(crate.get());
    w.File(List::Draw, plain);
    w.Frame();

    rd::Program* lit = w.graphics.GetProgram(Graphics::kStaticLitProgram)->GetDeviceProgram();
    // Per draw: the textures bound and the tile uniforms set before it.
    std::vector<std::vector<std::string>> perDraw(1);
    for (const rd::TraceEntry& e : w.recording->GetTrace().Entries()) {
        if (e.op == "SetTexture") perDraw.back().push_back(e.args);
        for (const char* name : {" tile_percentage ", " tex_tiles "}) {
            const auto at = e.args.find(name);
            if (e.op == "SetUniform" && e.args.rfind(lit->Label() + " ", 0) == 0 && at != std::string::npos) {
                perDraw.back().push_back(e.args.substr(at + 1));
            }
        }
        if (e.op == "DrawIndexed" && e.program == lit->Label()) perDraw.emplace_back();
    }
    ASSERT_EQ(perDraw.size(), 3u);
    const std::string atlasLabel = atlas->GetDeviceTexture()->Label();
    const std::string crateLabel = crate->GetDeviceTexture()->Label();
    EXPECT_EQ(perDraw[0], (std::vector<std::string>{"0 " + atlasLabel, "tile_percentage 0.5 0.25", "1 null",
                                                    "tex_tiles 2 3"}));
    EXPECT_EQ(perDraw[1], (std::vector<std::string>{"0 " + crateLabel, "tile_percentage 1 1", "1 null",
                                                    "tex_tiles 1 1"}));
}

TEST(GraphicsFrame, SkinningReadsOnlyPosesThatExistAndNeedsASkeleton) {
    FrameWorld w;
    w.UseCamera();
    Composition* hinge = w.Make("animated-obj", "hinge");
    hinge->GetComponentAs<FidgetComponent>()->Update(0.0f);
    w.File(List::Draw, hinge);
    rd::Program* skinned = w.graphics.GetProgram(Graphics::kSkinnedLitProgram)->GetDeviceProgram();
    w.Frame();
    EXPECT_EQ(w.recording->UniformValues(skinned, "BoneMat").size(), 3u * 16u);

    // The skeleton grows (as a model reload does) before the pose list follows.
    CopySkeleton(*w.skeletons.Find("rig"), AnimationTest::MakeChain(5));
    w.Frame();
    EXPECT_EQ(w.DrawsWith({Graphics::kSkinnedLitProgram}).size(), 1u);
    EXPECT_EQ(w.recording->UniformValues(skinned, "BoneMat").size(), 3u * 16u);

    // Without a skeleton no bone matrices are set.
    std::string none = "no-such-rig";
    hinge->GetComponentAs<FidgetComponent>()->SetSkeleton(none);
    w.Frame();
    EXPECT_EQ(w.DrawsWith({Graphics::kSkinnedLitProgram}).size(), 1u);
    for (const rd::TraceEntry& draw : w.DrawsWith({Graphics::kSkinnedLitProgram})) {
        EXPECT_EQ(std::count(draw.uniformsSinceDraw.begin(), draw.uniformsSinceDraw.end(), "BoneMat"), 0);
    }
}

TEST(GraphicsFrame, MeshesThatCannotBeDrawnAreSkippedButStayFiled) {
    FrameWorld w;
    w.UseCamera();
    Composition* nameless = w.Make("mesh-obj", "no-such-mesh");
    Composition* unbuilt = w.Make("mesh-obj", "unbuilt");
    ASSERT_EQ(w.MeshOf(nameless)->GetMesh(), nullptr);
    ASSERT_FALSE(w.MeshOf(unbuilt)->GetMesh()->HasBuffers());
    for (Composition* object : {nameless, w.Make("mesh-obj", "box"), unbuilt, w.Make("mesh-obj", "box")}) {
        w.File(List::Draw, object);
    }
    // Invisible is not drawn; scaffolding only while shown, whatever Visible says.
    Composition* invisible = w.Make("mesh-obj", "crate");
    w.MeshOf(invisible)->SetVisible(false);
    w.File(List::Draw, invisible);
    Composition* scaffold = w.Make("mesh-obj", "crate");
    w.MeshOf(scaffold)->SetScaffolding(true);
    w.MeshOf(scaffold)->SetVisible(false);
    w.File(List::Draw, scaffold);
    // Invisible but selected: only its edges.
    Composition* selected = w.Make("mesh-obj", "crate");
    w.MeshOf(selected)->SetVisible(false);
    w.MeshOf(selected)->SetHighlighted(true);
    w.File(List::Draw, selected);
    w.Frame();
    EXPECT_EQ(w.DrawsWith({Graphics::kStaticLitProgram}).size(), 2u);
    EXPECT_EQ(w.DrawsWith({Graphics::kStaticEdgeProgram}).size(), 1u);
    w.graphics.OnShowScaffolding(true);
    w.Frame();
    EXPECT_EQ(w.DrawsWith({Graphics::kStaticLitProgram}).size(), 3u);
    EXPECT_EQ(w.graphics.RenderListForTests(List::Draw).size(), 7u);
}

// The hierarchy's static meshes: drawn with the static lit program into the
// unimportant depth target; a handle whose component was destroyed after
// the build is skipped; an answer emptied by a build in progress draws
// nothing and the frame goes on.
TEST(GraphicsFrame, HierarchyPassSkipsStaleHandlesAndCopesWithABuild) {
    FrameWorld w;
    HbvManager hbv;
    hbv.Initialize();
    w.UseCameraAt(0, 2, -10);
    w.Frame();
    EXPECT_TRUE(w.DrawsWith({Graphics::kStaticLitProgram}).empty()) << "before the first level";

    w.core.Send("LevelLoadStarted");
    std::vector<Composition*> level;
    for (int i = 0; i < 4; ++i) level.push_back(w.Make("mesh-obj", "box", Vec3(float(i) - 1.5f, 0, 0)));
    w.objects.Update(0.0f);
    w.core.Send("LevelLoaded");
    std::vector<FunctionRef> jobs;
    w.core.SendMessageValues("RequestBackgroundLoadTargets", &jobs);
    for (const FunctionRef& job : jobs) job->Call();
    ASSERT_EQ(hbv.GetObjectCount(), 4u);
    w.graphics.RenderListForTests(List::Draw).clear();  // whatever the filing did, only the hierarchy draws

    w.Frame();
    const auto draws = w.DrawsWith({Graphics::kStaticLitProgram});
    ASSERT_EQ(draws.size(), 4u);
    for (const auto& draw : draws) EXPECT_EQ(draw.targets[1], "unimpDepthTarget");

    w.objects.DestroyObject(level[1]->GetId());
    w.objects.Update(0.0f);
    w.Frame();
    EXPECT_EQ(w.DrawsWith({Graphics::kStaticLitProgram}).size(), 3u);

    // A rebuild on another thread while frames are drawn.
    std::thread build([&] {
        for (const FunctionRef& job : jobs) job->Call();
    });
    for (int i = 0; i < 20; ++i) {
        w.Frame();
        EXPECT_LE(w.DrawsWith({Graphics::kStaticLitProgram}).size(), 3u);
        EXPECT_EQ(w.recording->GetTrace().Count("Present"), 1u);
    }
    build.join();
    hbv.Shutdown();
}

// Whatever order the tree answers in, the hierarchy's meshes are drawn
// nearest the eye first (hidden pixels then fail the depth test before they
// are shaded).
TEST(GraphicsFrame, HierarchyPassDrawsNearestFirst) {
    FrameWorld w;
    HbvManager hbv;
    hbv.Initialize();
    w.UseCameraAt(0, 2, -10);
    w.core.Send("LevelLoadStarted");
    // Far boxes and near crates side by side, so that no split of the tree
    // by position alone gives the nearest-first order.
    const struct {
        const char* mesh;
        float x, z;
    } placed[] = {{"box", -6, 30}, {"crate", -3, -4}, {"box", 3, 20}, {"crate", 6, 10}};
    for (const auto& one : placed) w.Make("mesh-obj", one.mesh, Vec3(one.x, 0, one.z));
    w.objects.Update(0.0f);
    w.core.Send("LevelLoaded");
    std::vector<FunctionRef> jobs;
    w.core.SendMessageValues("RequestBackgroundLoadTargets", &jobs);
    for (const FunctionRef& job : jobs) job->Call();
    w.graphics.RenderListForTests(List::Draw).clear();
    w.Frame();

    std::vector<std::string> streams;
    for (const std::string& line : w.Lines({"SetStreamSource"})) {
        for (const char* mesh : {"crate", "box"}) {
            if (line == "SetStreamSource " + w.Vb(mesh) + " 36") streams.push_back(mesh);
        }
    }
    EXPECT_EQ(streams, (std::vector<std::string>{"crate", "crate", "box", "box"}));
    hbv.Shutdown();
}

}  // namespace
}  // namespace Ostrel
