// The model viewer headless: its panel and scene, the drop pipeline with a
// fake converter (argument vector, hostile names, the two-frame countdown,
// failed drops that leave the model shown as it was), animation-only drops,
// late textures and the layout file; and the process runner on its own.

#include "tools/viewer/ModelView.h"

#include "engine/components/CameraComponent.h"
#include "engine/components/LightComponent.h"
#include "engine/components/MeshComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/TransformComponent.h"
#include "engine/graphics/animation/AnimationManager.h"
#include "engine/graphics/animation/FidgetComponent.h"
#include "engine/graphics/animation/SkeletonManager.h"
#include "engine/graphics/models/MeshManager.h"
#include "engine/io/ConfigureFileXML.h"
#include "engine/io/UserDataFolder.h"
#include "engine/resources/ResourceManager.h"
#include "tests/engine/io/XmlTestFiles.h"
#include "tests/tools/editor/EditorTestWorld.h"
#include "tools/editor/ObjectHandle.h"
#include "tools/model-writer/SampleModels.h"
#include "tools/panels/PanelModel.h"
#include "tools/viewer/ProcessRunner.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include <sys/stat.h>
#include <unistd.h>

namespace Ostrel {
namespace {

namespace fs = std::filesystem;

const char* kViewerArchetypes = R"(
<DefaultCamera>
    <TransformComponent />
    <CameraComponent />
    <DefaultCameraLogicComponent><CameraSpeed>3</CameraSpeed></DefaultCameraLogicComponent>
</DefaultCamera>
<skybox-obj><TransformComponent /></skybox-obj>
<viewer-light-obj>
    <TransformComponent><PosY>10</PosY></TransformComponent>
    <LightComponent />
</viewer-light-obj>
<ground-base-obj>
    <TransformComponent />
    <MeshComponent><MeshID>Square</MeshID></MeshComponent>
</ground-base-obj>
<mv-asset>
    <TransformComponent />
    <MeshComponent><MeshID>mv-asset</MeshID></MeshComponent>
</mv-asset>
)";

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// An executable shell script standing in for the converter.
void WriteScript(const fs::path& path, const std::string& body) {
    WriteText(path, "#!/bin/sh\n" + body);
    ::chmod(path.c_str(), 0755);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class ModelViewTest : public ::testing::Test {
protected:
    ModelViewTest() : w(kViewerArchetypes) {
        // Each test in a folder of its own, the working folder; the model
        // file and the converter's log are in its "user" folder.
        folder = fs::path(LV_TEST_TMP) / "viewer-tests" / std::to_string(getpid());
        work = folder / "user";
        fs::remove_all(folder);
        fs::create_directories(folder / "rsc");
        fs::create_directories(work);
        previous = fs::current_path();
        fs::current_path(folder);
        resources.RegisterExtension("Config", "xcfg");
        resources.LoadHierarchy((folder / "rsc").string());
        hinge = (folder / "hinge.bin").string();
        crate = (folder / "crate.bin").string();
        EXPECT_EQ(WriteModelFile(hinge, MakeHinge()), "");
        EXPECT_EQ(WriteModelFile(crate, MakeCrate()), "");
        // Records its arguments, one a line, and leaves the hinge as output.
        WriteScript(folder / "fake-converter", "printf '%s\\n' \"$@\" > args.txt\ncp '" + hinge + "' mv-asset.bin\n");
        // Writes half a file and fails.
        WriteScript(folder / "failing-converter", "echo broken > mv-asset.bin\necho 'no meshes' >&2\nexit 2\n");
        w.world.engine.AddSystem(&viewer);
        viewer.SetConverter((folder / "fake-converter").string());
        viewer.SetWorkFolder(work.string());
    }
    ~ModelViewTest() override {
        viewer.Shutdown();
        // Nothing of the viewer's own in the working folder or rsc/.
        for (const fs::path& in : {folder, folder / "rsc"}) {
            EXPECT_FALSE(fs::exists(in / "mv-asset.bin")) << in;
            EXPECT_FALSE(fs::exists(in / "convert.log")) << in;
        }
        fs::current_path(previous);
    }

    void Start() {
        viewer.Initialize();
        Frame();
    }
    void Frame() {
        w.Step();
        viewer.Update(0.0f);
    }
    Composition* Model() const { return ObjectHandle(viewer.GetModelId()).GetObject(); }

    EditorTest::EditorWorld w;
    MeshManager meshes;
    SkeletonManager skeletons;
    AnimationManager animations;
    fs::path folder, work, previous;
    std::string hinge, crate;
    ResourceManager resources;
    PanelModel model;
    ModelView viewer;
};

TEST_F(ModelViewTest, StartShowsThePanelTheFloorAndTheCamera) {
    Start();
    ASSERT_EQ(model.Bars().size(), 1u);
    const PanelBar& bar = *model.Bars()[0];
    EXPECT_EQ(bar.name, "Viewer Info");
    EXPECT_EQ(bar.colour, (std::array<u8, 3>{200, 200, 200}));
    EXPECT_FALSE(bar.lightText);
    EXPECT_TRUE(model.Contained());
    EXPECT_EQ(bar.size, (std::array<s32, 2>{300, 400}));
    EXPECT_EQ(bar.position, (std::array<s32, 2>{10, 10}));
    std::vector<std::string> top;
    for (const PanelEntry& e : bar.entries) {
        if (e.group.empty()) top.push_back(e.name);
    }
    ASSERT_GE(top.size(), 11u);
    EXPECT_EQ(std::vector<std::string>(top.begin(), top.begin() + 11),
              (std::vector<std::string>{"Animation only", "Reset Camera", "Duration", "Next Key", "Previous Key",
                                        "Animation Time", "Animate", "Show Bind Pose", "Show Floor", "Scale Model",
                                        "Separator 0"}));
    ASSERT_GE(top.size(), 12u);
    EXPECT_EQ(top[11], "Drop a file");
    EXPECT_EQ(std::get<std::string>(model.Read("Viewer Info", "", "Drop a file")), ".fbx .bin .png .tga");
    EXPECT_FALSE(model.Commit("Viewer Info", "", "Duration", 5.0f));  // read-only
    EXPECT_EQ(std::get<f32>(model.Read("Viewer Info", "", "Duration")), 0.0f);

    Composition* floor = ObjectHandle(viewer.GetFloorId()).GetObject();
    ASSERT_NE(floor, nullptr);
    EXPECT_EQ(floor->GetTransform()->GetScale().x, 16.0f);
    EXPECT_EQ(floor->GetTransform()->GetScale().z, 16.0f);
    MeshComponent* mesh = floor->GetComponentAs<MeshComponent>();
    EXPECT_EQ(mesh->GetTiles().x, 16.0f);
    EXPECT_EQ(mesh->GetDiffuseTextureId(), "grid");
    EXPECT_TRUE(model.Commit("Viewer Info", "", "Show Floor", false));
    Frame();
    EXPECT_FALSE(mesh->IsVisible());
    Composition* light = ObjectHandle(viewer.GetLightId()).GetObject();
    ASSERT_NE(light, nullptr) << "the scene has a light, so models are shaded";
    EXPECT_NE(light->GetComponentAs<LightComponent>(), nullptr);
    EXPECT_EQ(light->GetTransform()->GetPosition().y, 10.0f);

    auto* camera = ObjectHandle(viewer.GetCameraId()).GetObject()->GetComponentAs<CameraComponent>();
    ASSERT_NE(camera, nullptr);
    camera->SetPosition(5.0f, 5.0f, 5.0f);
    EXPECT_TRUE(model.Press("Viewer Info", "", "Reset Camera"));
    model.RunQueued();
    EXPECT_EQ(camera->GetPosition().y, 6.0f);
    EXPECT_EQ(camera->GetPosition().z, -10.0f);
    EXPECT_EQ(camera->GetLookAt().x, 0.0f);
}

TEST_F(ModelViewTest, CapitalFbxRunsTheConverterWithoutAShellTwoFramesLater) {
    Start();
    // Names a shell would take apart or run; they must arrive as they are.
    const std::string hostile = (folder / "a b \"q\" '$(touch pwned)'; `touch pwned2`.FBX").string();
    viewer.SetScaleModel(true);
    viewer.OnFileDrop(hostile);
    EXPECT_EQ(viewer.GetLoadCountdown(), 2);
    Frame();
    EXPECT_FALSE(fs::exists(work / "args.txt"));
    Frame();
    EXPECT_EQ(Lines(ReadText(work / "args.txt")), (std::vector<std::string>{hostile, "-mv", "-s"}));
    EXPECT_FALSE(fs::exists(folder / "pwned"));
    EXPECT_FALSE(fs::exists(folder / "pwned2"));
    ASSERT_NE(Model(), nullptr);
    EXPECT_EQ(Model()->GetName(), "mv-asset");
    // The hinge has a skeleton: a fidget playing its one-second clip.
    FidgetComponent* fidget = Model()->GetComponentAs<FidgetComponent>();
    ASSERT_NE(fidget, nullptr);
    EXPECT_EQ(fidget->GetSkeletonName(), "mv-asset");
    EXPECT_TRUE(fidget->IsRunning());
    EXPECT_FLOAT_EQ(std::get<f32>(model.Read("Viewer Info", "", "Duration")), 1.0f);
    EXPECT_TRUE(model.Commit("Viewer Info", "", "Animate", false));
    model.RunQueued();
    EXPECT_FALSE(fidget->IsRunning());

    // Without "Scale Model" there is no "-s"; a second drop restarts the
    // count, and the model shown stays until the new one is read.
    viewer.SetScaleModel(false);
    const u32 first = viewer.GetModelId();
    viewer.OnFileDrop("x.fbx");
    Frame();
    viewer.OnFileDrop("y.Fbx");
    Frame();
    EXPECT_EQ(viewer.GetModelId(), first);
    Frame();
    ASSERT_NE(Model(), nullptr);
    EXPECT_EQ(ObjectHandle(first).GetObject(), nullptr);
    // The converter runs in the work folder: a relative path is made whole.
    EXPECT_EQ(Lines(ReadText(work / "args.txt")), (std::vector<std::string>{(folder / "y.Fbx").string(), "-mv"}));
}

// A failed drop of any kind leaves the model shown, its skeleton, clip and
// texture as they were: nothing loaded under "mv-asset" is replaced by less,
// and no new object shows the earlier mesh as if it were the dropped file.
TEST_F(ModelViewTest, FailedDropLeavesTheEarlierModelAsItWas) {
    Start();
    viewer.OnFileDrop((folder / "Wood.TGA").string());
    viewer.OnFileDrop(hinge);  // a converted model is copied
    Frame();
    Frame();
    ASSERT_NE(Model(), nullptr);
    const u32 shown = viewer.GetModelId();
    FidgetComponent* fidget = Model()->GetComponentAs<FidgetComponent>();
    ASSERT_NE(fidget, nullptr);
    const u32 indices = meshes.Find("mv-asset")->GetIndexCount();
    ASSERT_TRUE(fs::exists(work / "mv-asset.bin"));
    auto expectHingeKept = [&](const std::string& dropped) {
        EXPECT_EQ(viewer.GetModelId(), shown) << dropped;
        ASSERT_NE(Model(), nullptr) << dropped;
        EXPECT_EQ(Model()->GetComponentAs<FidgetComponent>(), fidget) << dropped;
        EXPECT_EQ(Model()->GetComponentAs<MeshComponent>()->GetDiffuseTextureId(), "Wood") << dropped;
        EXPECT_EQ(meshes.Find("mv-asset")->GetIndexCount(), indices) << dropped;
        EXPECT_EQ(skeletons.Find("mv-asset")->bones.size(), 2u) << dropped;
        EXPECT_EQ(animations.Find("mv-asset")->duration, 1.0f) << dropped;
        EXPECT_FLOAT_EQ(std::get<f32>(model.Read("Viewer Info", "", "Duration")), 1.0f) << dropped;
    };

    XmlTest::LogCapture log;
    const std::string failing = (folder / "failing-converter").string();
    viewer.SetConverter(failing);
    viewer.OnFileDrop("broken.fbx");
    Frame();
    Frame();
    expectHingeKept("broken.fbx");
    EXPECT_FALSE(fs::exists(work / "mv-asset.bin"));  // neither the old nor half a new one
    EXPECT_EQ(ReadText(work / "convert.log"), "no meshes\n");
    // The reason and the converter's own words are in the log itself.
    EXPECT_NE(log.Text().find("ModelView: converting 'broken.fbx' failed: " + failing +
                              " exited with code 2; the converter said:\nno meshes\n"),
              std::string::npos)
        << log.Text();
    // And, short, on the window's status line.
    EXPECT_EQ(model.Status().Text(), "Converting 'broken.fbx' failed: failing-converter exited with code 2: no meshes");

    const std::string missing = (folder / "no-such-converter").string();
    viewer.SetConverter(missing);
    viewer.OnFileDrop("other.fbx");
    Frame();
    Frame();
    expectHingeKept("other.fbx");
    EXPECT_NE(log.Text().find("converting 'other.fbx' failed: " + missing +
                              " could not be run (No such file or directory)"),
              std::string::npos)
        << log.Text();
    EXPECT_EQ(model.Status().Text(),
              "Converting 'other.fbx' failed: no-such-converter could not be run (No such file or directory)");
    viewer.SetConverter("no-such-converter-anywhere");
    viewer.OnFileDrop("third.fbx");
    Frame();
    Frame();
    expectHingeKept("third.fbx");
    EXPECT_NE(log.Text().find("ModelView: no-such-converter-anywhere not found: looked in " + HelperProgramFolder() +
                              " and on PATH; 'third.fbx' is not shown"),
              std::string::npos)
        << log.Text();
    EXPECT_EQ(model.Status().Text(), "Converting 'third.fbx' failed: no-such-converter-anywhere not found");
    EXPECT_EQ(log.Text().find("see convert.log"), std::string::npos) << "no pointer to a file instead of the reason";

    viewer.OnFileDrop((folder / "missing.bin").string());
    Frame();
    Frame();
    expectHingeKept("missing.bin");
    EXPECT_FALSE(fs::exists(work / "mv-asset.bin"));
    EXPECT_EQ(model.Status().Text(), "Copying 'missing.bin' failed: " + std::string(std::strerror(ENOENT)));
    EXPECT_NE(log.Text().find("mv-asset.bin failed: " + std::string(std::strerror(ENOENT))), std::string::npos);

    // Copied, but no mesh to show: empty, cut inside its mesh, a clip alone.
    WriteText(folder / "empty.bin", "");
    WriteText(folder / "cut.bin", ReadText(crate).substr(0, 60));
    ASSERT_EQ(WriteModelFile((folder / "wave.bin").string(), MakeHingeWave()), "");
    for (const char* file : {"empty.bin", "cut.bin", "wave.bin"}) {
        viewer.OnFileDrop((folder / file).string());
        Frame();
        Frame();
        expectHingeKept(file);
        EXPECT_EQ(model.Status().Text(), "'" + std::string(file) + "' not shown: it holds no mesh (the log says why)");
        EXPECT_NE(log.Text().find("ModelView: '" + (folder / file).string() +
                                  "' holds no mesh; not shown, the scene is left as it was"),
                  std::string::npos)
            << log.Text();
    }
    EXPECT_EQ(ReadText(work / "mv-asset.bin"), ReadText(folder / "wave.bin"));  // the file as dropped

    for (const char* other : {"notes.txt", "bunny.OBJ", "README"}) {
        const std::string before = log.Text();
        viewer.OnFileDrop(other);
        EXPECT_EQ(log.Text().substr(before.size()), "ModelView: '" + std::string(other) +
                                                         "' is not a kind the viewer takes (.fbx, .bin, .png, "
                                                         ".tga); ignored\n");
        EXPECT_EQ(model.Status().Text(),
                  "'" + std::string(other) + "' ignored: the viewer takes .fbx, .bin, .png and .tga files");
    }
    EXPECT_EQ(viewer.GetLoadCountdown(), 0);
}

TEST_F(ModelViewTest, AnimationOnlyKeepsTheModelAndTexturesWaitForIt) {
    Start();
    viewer.OnFileDrop((folder / "Wood.TGA").string());  // no file and no model: remembered
    EXPECT_EQ(viewer.GetTextureName(), "Wood");
    viewer.OnFileDrop(hinge);
    Frame();
    Frame();
    ASSERT_NE(Model(), nullptr);
    EXPECT_EQ(Model()->GetComponentAs<MeshComponent>()->GetDiffuseTextureId(), "Wood");
    const u32 id = viewer.GetModelId();

    WriterModel wave = MakeHingeWave();
    const std::string wavePath = (folder / "wave.bin").string();
    ASSERT_EQ(WriteModelFile(wavePath, wave), "");
    EXPECT_TRUE(model.Commit("Viewer Info", "", "Animation only", true));
    model.RunQueued();
    EXPECT_TRUE(viewer.GetAnimationOnly());
    viewer.OnFileDrop(wavePath);
    EXPECT_EQ(viewer.GetModelId(), id);
    Frame();
    Frame();
    EXPECT_EQ(viewer.GetModelId(), id);
    EXPECT_FLOAT_EQ(viewer.GetDuration(), 2.0f);
    EXPECT_EQ(animations.Find("mv-asset")->duration, 2.0f);
}

// The real converter (built beside the program) on a skinned, animated FBX:
// the viewer gets a skeleton and a clip, so the model plays in a fidget and
// "Duration" shows the clip's length.
TEST_F(ModelViewTest, RealConverterGivesASkinnedSourceItsFidgetAndClip) {
    const fs::path source = "/usr/share/assimp/models/FBX/animation_with_skeleton.fbx";
    ASSERT_TRUE(fs::exists(source));
    viewer.SetConverter((fs::path(LV_EXECUTABLE).parent_path() / "model-converter").string());
    Start();
    fs::copy_file(source, folder / "Walk Cycle.FBX");
    viewer.OnFileDrop((folder / "Walk Cycle.FBX").string());
    Frame();
    Frame();
    ASSERT_NE(Model(), nullptr) << ReadText(work / "convert.log");
    EXPECT_NE(ReadText(work / "convert.log").find("16 bones"), std::string::npos);
    FidgetComponent* fidget = Model()->GetComponentAs<FidgetComponent>();
    ASSERT_NE(fidget, nullptr);
    EXPECT_TRUE(fidget->IsRunning());
    ASSERT_NE(skeletons.Find("mv-asset"), nullptr);
    EXPECT_EQ(skeletons.Find("mv-asset")->bones.size(), 16u);
    EXPECT_EQ(animations.Find("mv-asset")->tracks.size(), 16u);
    EXPECT_NEAR(std::get<f32>(model.Read("Viewer Info", "", "Duration")), 0.8333f, 1e-3f);
}

TEST_F(ModelViewTest, LayoutDefaultsAndIsWrittenBackToTheUserFolder) {
    const char* before = std::getenv("XDG_DATA_HOME");
    const std::string savedXdg = before ? before : "";
    setenv("XDG_DATA_HOME", (folder / "xdg").c_str(), 1);
    viewer.Initialize();
    s32 moved[2] = {400, 20};
    model.Bars()[0]->position = {moved[0], moved[1]};
    viewer.Shutdown();
    const fs::path file = folder / "xdg" / kUserFolderName / "modelview.xcfg";
    ASSERT_TRUE(fs::exists(file));
    EXPECT_FALSE(fs::exists(folder / "rsc" / "modelview.xcfg")) << "the data folder is not written";
    EXPECT_FALSE(fs::exists(folder / "ModelView"));
    const std::string text = ReadText(file);
    EXPECT_NE(text.find("SystemBarPosX"), std::string::npos);
    EXPECT_NE(text.find("400"), std::string::npos);
    EXPECT_LT(text.find("SystemBarSizeX"), text.find("ObjectBarPosY"));

    ModelView again;
    ConfigureFileXML config(true);
    ASSERT_TRUE(config.Load(file.string()));
    again.LoadConfig(&config);
    EXPECT_EQ(again.GetLayout()[0].posX, 400);
    EXPECT_EQ(again.GetLayout()[0].sizeX, 300);
    EXPECT_EQ(again.GetLayout()[1].posX, 320);
    // Without a shipped default the user's layout is read all the same.
    ModelView next;
    next.LoadConfig(nullptr);
    EXPECT_EQ(next.GetLayout()[0].posX, 400);
    if (before) {
        setenv("XDG_DATA_HOME", savedXdg.c_str(), 1);
    } else {
        unsetenv("XDG_DATA_HOME");
    }
}

// Unless told otherwise the viewer keeps its files in the per-user folder;
// with no home to find that by (it would then be in the working folder), in
// a temporary folder of its own that goes with the viewer.
TEST(ModelViewWorkFolder, PerUserFolderElseATemporaryOneThatGoesWithTheViewer) {
    std::map<std::string, std::optional<std::string>> saved;
    for (const char* name : {"XDG_DATA_HOME", "HOME"}) {
        const char* value = std::getenv(name);
        saved[name] = value ? std::optional<std::string>(value) : std::nullopt;
    }
    const fs::path xdg = fs::path(LV_TEST_TMP) / ("viewer-xdg-" + std::to_string(getpid()));
    setenv("XDG_DATA_HOME", xdg.c_str(), 1);
    {
        PanelModel panels;
        ModelView viewer;
        viewer.Initialize();
        EXPECT_EQ(viewer.GetWorkFolder(), (xdg / kUserFolderName).string());
        EXPECT_TRUE(fs::is_directory(viewer.GetWorkFolder()));
    }
    unsetenv("XDG_DATA_HOME");
    unsetenv("HOME");
    std::string temporary;
    {
        PanelModel panels;
        ModelView viewer;
        viewer.Initialize();
        temporary = viewer.GetWorkFolder();
        EXPECT_TRUE(fs::is_directory(temporary));
        EXPECT_EQ(fs::path(temporary).parent_path(), fs::temp_directory_path());
        std::ofstream(fs::path(temporary) / "mv-asset.bin") << "model";
    }
    EXPECT_FALSE(fs::exists(temporary));
    for (const auto& [name, value] : saved) {
        if (value) setenv(name.c_str(), value->c_str(), 1);
        else unsetenv(name.c_str());
    }
    fs::remove_all(xdg);
}

TEST(ProcessRunner, PassesArgumentsVerbatimAndReportsTheExit) {
    const fs::path log = fs::path(LV_TEST_TMP) / ("runner-" + std::to_string(getpid()) + ".log");
    WriteText(log, "old text that must go\n");
    ProcessResult ok = RunProcess({"printf", "%s|", "a b", "$(x)", ";"}, log.string());
    EXPECT_TRUE(ok.started);
    EXPECT_EQ(ok.exitCode, 0);
    EXPECT_EQ(ReadText(log), "a b|$(x)|;|");
    ProcessResult failed = RunProcess({"sh", "-c", "echo oops >&2; exit 7"}, log.string());
    EXPECT_EQ(failed.exitCode, 7);
    EXPECT_EQ(ReadText(log), "oops\n");
    const fs::path elsewhere = fs::canonical(fs::temp_directory_path());
    EXPECT_EQ(RunProcess({"pwd"}, log.string(), elsewhere.string()).exitCode, 0);
    EXPECT_EQ(ReadText(log), elsewhere.string() + "\n");  // run there; the log where the caller said
    EXPECT_FALSE(RunProcess({"/no/such/program"}, log.string()).started);
    EXPECT_FALSE(RunProcess({}, log.string()).started);
    EXPECT_EQ(FindHelperProgram("no-such-helper-here"), "no-such-helper-here");
    EXPECT_EQ(FindOnPath("no-such-helper-here"), "");
    EXPECT_FALSE(FindOnPath("sh").empty());
    ProcessResult killed = RunProcess({"sh", "-c", "kill -9 $$"}, log.string());
    EXPECT_EQ(killed.signal, 9);
    fs::remove(log);
}

}  // namespace
}  // namespace Ostrel
