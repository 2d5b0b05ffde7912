#include "tools/viewer/ModelView.h"

#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/base/UserFolder.h"
#include "engine/components/CameraComponent.h"
#include "engine/components/DefaultCameraLogicComponent.h"
#include "engine/components/MeshComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/graphics/animation/FidgetComponent.h"
#include "engine/graphics/models/ModelData.h"
#include "engine/graphics/models/ModelLoaders.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/io/SerializerXML.h"
#include "engine/io/UserDataFolder.h"
#include "engine/resources/ResourceManager.h"
#include "tools/editor/ObjectHandle.h"
#include "tools/panels/PanelApi.h"
#include "tools/panels/PanelGroup.h"
#include "tools/panels/PanelStatus.h"
#include "tools/viewer/ProcessRunner.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <stdlib.h>

namespace Ostrel {

namespace {

constexpr const char* kBarName = "Viewer Info";
constexpr const char* kLayoutFile = "modelview.xcfg";

constexpr const char* kLayoutKeys[2][4] = {
    {"SystemBarSizeX", "SystemBarSizeY", "SystemBarPosX", "SystemBarPosY"},
    {"ObjectBarSizeX", "ObjectBarSizeY", "ObjectBarPosX", "ObjectBarPosY"},
};

ModelView& Viewer(void* client) { return *static_cast<ModelView*>(client); }

template <class T>
T* ComponentOf(u32 id) {
    Composition* object = ObjectHandle(id).GetObject();
    return object ? object->GetComponentAs<T>() : nullptr;
}

void SerializeLayout(Serializer& serializer, std::array<ModelView::BarLayout, 2>& layout) {
    SerializeBarLayouts(serializer, layout.data(), kLayoutKeys, layout.size());
}

// The extension after the last '.' of the file name, with ASCII capitals
// lowered (other bytes, as in UTF-8 names, stay as they are).
std::string LowerExtension(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) return {};
    std::string ext = name.substr(dot + 1);
    for (char& c : ext) {
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return ext;
}

// The converter's own output (the log file it wrote) for our log: the last
// kMaxReport bytes, so a converter that prints a lot cannot flood it.
std::string ConverterReport(const std::string& logPath) {
    constexpr size_t kMaxReport = 4000;
    std::ifstream in(logPath, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::string report = text.str();
    while (!report.empty() && (report.back() == '\n' || report.back() == ' ')) report.pop_back();
    if (report.empty()) return "; the converter printed nothing\n";
    if (report.size() > kMaxReport) report = "..." + report.substr(report.size() - kMaxReport);
    return "; the converter said:\n" + report + "\n";
}

// The converter's last line of output (its own word on what went wrong),
// without its program-name prefix and with the dropped file's absolute path
// shortened to its name, for the status line; empty when it printed nothing.
std::string ConverterLastLine(const std::string& logPath, const std::string& converter, const std::string& source) {
    std::ifstream in(logPath, std::ios::binary);
    std::string line, last;
    while (std::getline(in, line)) {
        if (line.find_first_not_of(" \t\r") != std::string::npos) last = line;
    }
    const std::string prefix = std::filesystem::path(converter).filename().string() + ": ";
    if (last.rfind(prefix, 0) == 0) last.erase(0, prefix.size());
    const std::string name = std::filesystem::path(source).filename().string();
    for (size_t at = last.find(source); !source.empty() && at != std::string::npos; at = last.find(source, at))
        last.replace(at, source.size(), name);
    return last;
}

std::string FileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

// The file's name in quotes, for the status line. Built by appending: GCC's
// release build misreads "'" + std::string as an oversized copy
// (-Wstringop-overflow).
std::string QuotedFileName(const std::string& path) {
    std::string quoted(1, '\'');
    quoted += FileName(path);
    quoted += '\'';
    return quoted;
}

std::string DescribeConverterFailure(const ProcessResult& result, const std::string& converter, bool wroteModel) {
    if (!result.started) return converter + " could not be run (" + result.error + ")";
    if (result.signal != 0) return converter + " was ended by signal " + std::to_string(result.signal);
    if (result.exitCode != 0) return converter + " exited with code " + std::to_string(result.exitCode);
    if (!wroteModel) return converter + " wrote no model file";
    return converter + " failed";
}

}  // namespace

ModelView::ModelView() { m_layout[1].posX = 320; }

ModelView::~ModelView() {
    m_subscriptions.Clear();
    DeleteBar();
    RemoveOwnWorkFolder();
}

ObjectManager* ModelView::Objects() const {
    Engine* engine = m_engine ? m_engine : Engine::Instance();
    return engine ? static_cast<ObjectManager*>(engine->GetObjectManager()) : nullptr;
}

// ---- configuration and layout ----------------------------------------------

// The shipped default (rsc/), then the user's own layout over it.
void ModelView::LoadConfig(Serializer* config) {
    auto read = [this](Serializer& from) { SerializeLayout(from, m_layout); };
    if (config) read(*config);
    ReadUserLayout(GetName(), kLayoutFile, read);
}

std::string ModelView::LayoutPath() const { return ToolLayoutPath(kLayoutFile); }

bool ModelView::SaveLayout() {
    SerializerXML writer(false);
    std::string block = GetName();
    writer.SerializeBlock(block);
    SerializeLayout(writer, m_layout);
    std::string end = "EOF";
    writer.SerializeBlock(end);
    const std::string path = LayoutPath();
    if (!writer.SaveFile(path)) return false;  // logged by the writer
    return true;
}

void ModelView::ReadLayoutBack() {
    ReadBarPlace(m_bar, m_layout[0]);
}

// ---- the work folder --------------------------------------------------------

std::string ModelView::ModelFilePath() const { return m_workFolder + "/" + kModelFile; }
std::string ModelView::ConvertLogPath() const { return m_workFolder + "/" + kConvertLog; }

// The per-user folder when the environment names one (without it the
// per-user folder would sit in the working folder), else a temporary folder
// of our own.
void ModelView::PrepareWorkFolder() {
    if (!UserDataBaseFolder().empty() && CreateUserDataFolder(kUserFolderName)) {
        m_workFolder = GetUserDataPath(kUserFolderName);
        return;
    }
    std::error_code error;
    std::string pattern = (std::filesystem::temp_directory_path(error) / "lantern-vaults-viewer-XXXXXX").string();
    if (!error && ::mkdtemp(pattern.data()) != nullptr) {
        m_workFolder = pattern;
        m_ownsWorkFolder = true;
        LogMessage("ModelView: no per-user folder; converted models go to " + m_workFolder + " for this run\n");
        return;
    }
    LogMessage("ModelView: no folder for converted models (no per-user folder, no temporary folder); dropped "
               "models cannot be shown\n");
}

void ModelView::RemoveOwnWorkFolder() {
    if (!m_ownsWorkFolder) return;
    std::error_code error;
    std::filesystem::remove_all(m_workFolder, error);
    m_ownsWorkFolder = false;
    m_workFolder.clear();
}

// ---- lifecycle --------------------------------------------------------------

void ModelView::Initialize() {
    if (m_converter.empty()) m_converter = FindHelperProgram(kConverterName);
    if (m_workFolder.empty()) PrepareWorkFolder();
    if (m_subscriptions.Empty()) {
        m_subscriptions.Listen("KeyTriggered", MakeDelegate(this, &ModelView::OnKeyTriggered));
        m_subscriptions.Listen("FileDrop", MakeDelegate(this, &ModelView::OnFileDropMessage));
    }
    m_modelId = 0;
    m_cameraId = 0;
    m_lightId = 0;
    m_animationOnly = false;
    DeleteBar();
    m_bar = TwNewBar(kBarName);
    TwDefine(" GLOBAL contained=true ");
    TwDefine("'Viewer Info' color='200 200 200' text=dark ");
    TwDefine("'Object Info' color='250 50 50' text=light ");
    const s32 size[2] = {m_layout[0].sizeX, m_layout[0].sizeY};
    const s32 position[2] = {m_layout[0].posX, m_layout[0].posY};
    TwSetParam(m_bar, nullptr, "size", PanelParamType::Int32, 2, size);
    TwSetParam(m_bar, nullptr, "position", PanelParamType::Int32, 2, position);
    m_firstFrame = true;
    m_loadCountdown = -1;
}

void ModelView::Shutdown() {
    m_subscriptions.Clear();
    ReadLayoutBack();
    SaveLayout();
    DeleteBar();
    RemoveOwnWorkFolder();
}

void ModelView::DeleteBar() {
    if (m_bar) TwDeleteBar(m_bar);
    m_bar = nullptr;
}

// ---- the frame --------------------------------------------------------------

void ModelView::Update(f32 /*dt*/) {
    if (m_firstFrame) {
        BuildScene();
        m_firstFrame = false;
    }
    ObjectHandle(m_floorId).SetVisible(m_showFloor);
    const ObjectHandle model(m_modelId);
    model.SetShowBindPose(m_showBindPose);
    m_animationTime = model.GetAnimationTime();
    if (m_loadCountdown > 0 && --m_loadCountdown == 0) LoadDroppedModel();
}

void ModelView::BuildScene() {
    ObjectManager* objects = Objects();
    if (!objects) return;
    objects->CreateObject("skybox-obj", nullptr);
    m_floorId = objects->CreateObject("ground-base-obj", nullptr);
    if (Composition* floor = ObjectHandle(m_floorId).GetObject()) {
        if (TransformComponent* transform = floor->GetTransform()) transform->SetScale(Vec3(16.0f, 1.0f, 16.0f));
        if (MeshComponent* mesh = floor->GetComponentAs<MeshComponent>()) {
            mesh->SetTiles(Vec2(16.0f, 16.0f));
            mesh->SetDiffuseTexture("grid");
        }
    } else {
        LogMessage("ModelView: the archetype 'ground-base-obj' could not be made; no floor\n");
    }
    // One white light above, left of and in front of the model, with no
    // fall-off: without it the lit programs have only their ambient term and
    // every model is one flat shade.
    m_lightId = objects->CreateObject(kLightName, nullptr);
    if (m_lightId == 0)
        LogMessage(std::string("ModelView: the archetype '") + kLightName + "' could not be made; models are unlit\n");
    m_cameraId = objects->CreateObject("DefaultCamera", nullptr);
    if (m_cameraId == 0) LogMessage("ModelView: the archetype 'DefaultCamera' could not be made; no camera\n");
    ResetCamera();
    if (Composition* camera = ObjectHandle(m_cameraId).GetObject()) {
        if (auto* logic = camera->GetComponentAs<DefaultCameraLogicComponent>()) logic->SetCameraSpeed(10.0f);
    }
    FillViewerBar();
}

void ModelView::ResetCamera() {
    Composition* camera = ObjectHandle(m_cameraId).GetObject();
    CameraComponent* component = camera ? camera->GetComponentAs<CameraComponent>() : nullptr;
    if (!component) return;
    component->SetPosition(0.0f, 6.0f, -10.0f);
    component->SetLookAt(0.0f, 0.0f, 0.0f);
}

void ModelView::SetAnimate(bool animate) {
    m_animate = animate;
    if (FidgetComponent* fidget = ComponentOf<FidgetComponent>(m_modelId)) fidget->SetRunning(animate);
}

void ModelView::FillViewerBar() {
    if (!m_bar) return;
    TwRemoveAllVars(m_bar);
    PanelGroup group(m_bar);
    group.AddCallbackVar("Animation only", 2, &ModelView::SetAnimationOnlyCallback,
                         &ModelView::GetAnimationOnlyCallback, this);
    group.AddButton("Reset Camera", &ModelView::ResetCameraButton, this);
    group.AddFloat("Duration", &m_duration, true);
    group.AddButton("Next Key", &ModelView::NextKeyButton, this);
    group.AddButton("Previous Key", &ModelView::PreviousKeyButton, this);
    group.AddCallbackVar("Animation Time", 6, &ModelView::SetAnimationTimeCallback,
                         &ModelView::GetAnimationTimeCallback, this);
    group.AddCallbackVar("Animate", 2, &ModelView::SetAnimateCallback, &ModelView::GetAnimateCallback, this);
    group.AddBool("Show Bind Pose", &m_showBindPose, false);
    group.AddBool("Show Floor", &m_showFloor, false);
    group.AddBool("Scale Model", &m_scaleModel, false);
    TwAddSeparator(m_bar, "Separator 0", "");
    // The first screen's hint: what to do to see a model.
    group.AddString("Drop a file", &m_dropHint, true);
    if (Composition* camera = ObjectHandle(m_cameraId).GetObject()) camera->ExposeProperties(&group);
}

// ---- drops ------------------------------------------------------------------

void ModelView::OnKeyTriggered(int /*key*/, bool /*pressed*/) {}

void ModelView::OnFileDropMessage(std::string* path) {
    if (path) OnFileDrop(*path);
}

void ModelView::OnFileDrop(const std::string& path) {
    const std::string ext = LowerExtension(path);
    if (ext == "fbx" || ext == "bin") {
        m_droppedPath = path;
        m_loadCountdown = 2;
    } else if (ext == "png" || ext == "tga") {
        LogSourceScope source(path);
        if (!LoadTextureFromFile(path)) {
            LogMessage("ModelView: the texture '" + path + "' could not be loaded\n");
            ShowPanelStatus("Texture '" + FileName(path) + "' could not be loaded (the log says why)");
        }
        m_textureName = std::filesystem::path(path).stem().string();
        ApplyTexture();
    } else {
        LogMessage("ModelView: '" + path + "' is not a kind the viewer takes (.fbx, .bin, .png, .tga); ignored\n");
        ShowPanelStatus(QuotedFileName(path) + " ignored: the viewer takes .fbx, .bin, .png and .tga files");
    }
}

void ModelView::ApplyTexture() const {
    if (m_textureName.empty()) return;
    if (MeshComponent* mesh = ComponentOf<MeshComponent>(m_modelId)) mesh->SetDiffuseTexture(m_textureName);
}

// Copy or conversion, read, and only then replace: any failure on the way
// has been logged and put on the status line, and returns with the scene as
// it was (see the header).
void ModelView::LoadDroppedModel() {
    ModelData data;
    {
        // What the reader logs about the model file names the file the user
        // dropped as well (but not what the scene logs afterwards).
        LogSourceScope source(m_droppedPath);
        if (!MakeModelFile()) return;
        data = ReadModelFile(ModelFilePath());
    }
    if (!HoldsWhatTheDropNeeds(data)) return;
    if (m_animationOnly) {
        ReplaceGeometryParts(kAssetName, data, kModelPartAnimation);
    } else {
        ReplaceModel(data);
    }
    ApplyTexture();
    FidgetComponent* fidget = ComponentOf<FidgetComponent>(m_modelId);
    m_duration = fidget ? fidget->GetAnimationLength() : 0.0f;
    if (fidget) fidget->SetRunning(m_animate);
}

// The dropped file, converted or copied, as the model file; false after
// saying why.
bool ModelView::MakeModelFile() {
    if (m_workFolder.empty()) {
        LogMessage("ModelView: '" + m_droppedPath + "' is not shown: no folder for converted models\n");
        ShowPanelStatus(QuotedFileName(m_droppedPath) + " not shown: no folder for converted models");
        return false;
    }
    if (LowerExtension(m_droppedPath) == "fbx") return ConvertModel(m_droppedPath);
    return CopyModelFile(m_droppedPath);
}

// A model drop needs a mesh, an animation-only drop a clip: without it the
// drop would show what is already loaded under "mv-asset" as if it were the
// dropped file. The reader has logged what it left out.
bool ModelView::HoldsWhatTheDropNeeds(const ModelData& data) const {
    const u32 needed = m_animationOnly ? kModelPartAnimation : kModelPartMesh;
    if (data.Parts() & needed) return true;
    const std::string part = m_animationOnly ? "animation" : "mesh";
    LogMessage("ModelView: '" + m_droppedPath + "' holds no " + part + "; not shown, the scene is left as it was\n");
    ShowPanelStatus(QuotedFileName(m_droppedPath) + " not shown: it holds no " + part + " (the log says why)");
    return false;
}

// The model shown goes at once, before its mesh and skeleton are rewritten
// in place under it (its fidget must not pose the new skeleton); then the
// new one is made from the parts the file has.
void ModelView::ReplaceModel(const ModelData& data) {
    ObjectManager* objects = Objects();
    if (objects && objects->GetObject(m_modelId)) {
        objects->DestroyObject(m_modelId);
        objects->DestroyPendingNow();
    }
    m_modelId = 0;
    const u32 parts = ReplaceGeometryParts(kAssetName, data, 0xFFFFu);
    Composition* object = objects ? objects->SpawnComposition(kAssetName) : nullptr;
    if (!object) {
        LogMessage(std::string("ModelView: the archetype '") + kAssetName + "' could not be made; no model\n");
        return;
    }
    m_modelId = object->GetId();
    CompositionFactory* factory = CompositionFactory::Instance();
    auto* fidget = (parts & kModelPartSkeleton) && factory
                       ? static_cast<FidgetComponent*>(factory->CreateComponent(FidgetComponent::kTypeId))
                       : nullptr;
    if (fidget) {
        fidget->SetAnimation(kAssetName);
        fidget->SetSkeleton(kAssetName);
        fidget->SetShowBindPose(m_showBindPose);
        fidget->SetRunning(true);
        object->AddComponent(fidget);
    }
    objects->InitializeObject(object);
}

bool ModelView::ConvertModel(const std::string& path) {
    const std::string model = ModelFilePath();
    std::error_code error;
    std::filesystem::remove(model, error);
    // The converter runs in the work folder: paths are made absolute first.
    std::string converter = m_converter.empty() ? std::string(kConverterName) : m_converter;
    if (converter.find('/') != std::string::npos) converter = std::filesystem::absolute(converter, error).string();
    if (converter.find('/') == std::string::npos && FindOnPath(converter).empty()) {
        LogMessage("ModelView: " + converter + " not found: looked in " + HelperProgramFolder() +
                   " and on PATH; '" + path + "' is not shown\n");
        ShowPanelStatus("Converting '" + FileName(path) + "' failed: " + converter + " not found");
        return false;
    }
    const std::string source = std::filesystem::absolute(path, error).string();
    std::vector<std::string> argv = {converter, source, "-mv"};
    if (m_scaleModel) argv.push_back("-s");
    const ProcessResult result = RunProcess(argv, ConvertLogPath(), m_workFolder);
    const bool wroteModel = std::filesystem::is_regular_file(model, error);
    if (result.started && result.exitCode == 0 && wroteModel) return true;
    std::filesystem::remove(model, error);
    const std::string failure = DescribeConverterFailure(result, FileName(converter), wroteModel);
    LogMessage("ModelView: converting '" + path + "' failed: " +
               DescribeConverterFailure(result, converter, wroteModel) + ConverterReport(ConvertLogPath()));
    const std::string said = result.started ? ConverterLastLine(ConvertLogPath(), converter, source) : std::string();
    ShowPanelStatus("Converting '" + FileName(path) + "' failed: " + failure + (said.empty() ? "" : ": " + said));
    return false;
}

bool ModelView::CopyModelFile(const std::string& path) {
    const std::string model = ModelFilePath();
    std::error_code error;
    std::filesystem::remove(model, error);
    error.clear();
    std::filesystem::copy_file(path, model, std::filesystem::copy_options::overwrite_existing, error);
    if (!error) return true;
    const std::string why = error.message();
    std::filesystem::remove(model, error);
    LogMessage("ModelView: copying '" + path + "' to " + model + " failed: " + why + "\n");
    ShowPanelStatus("Copying '" + FileName(path) + "' failed: " + why);
    return false;
}

// ---- panel callbacks --------------------------------------------------------

void ModelView::ResetCameraButton(void* viewer) { Viewer(viewer).ResetCamera(); }
void ModelView::NextKeyButton(void* viewer) { ObjectHandle(Viewer(viewer).m_modelId).NextKey(); }
void ModelView::PreviousKeyButton(void* viewer) { ObjectHandle(Viewer(viewer).m_modelId).PreviousKey(); }

void ModelView::SetAnimationOnlyCallback(const void* value, void* viewer) {
    Viewer(viewer).m_animationOnly = *static_cast<const bool*>(value);
}
void ModelView::GetAnimationOnlyCallback(void* value, void* viewer) {
    *static_cast<bool*>(value) = Viewer(viewer).m_animationOnly;
}
void ModelView::SetAnimationTimeCallback(const void* value, void* viewer) {
    ObjectHandle(Viewer(viewer).m_modelId).SetAnimationTime(*static_cast<const f32*>(value));
}
void ModelView::GetAnimationTimeCallback(void* value, void* viewer) {
    *static_cast<f32*>(value) = Viewer(viewer).m_animationTime;
}
void ModelView::SetAnimateCallback(const void* value, void* viewer) {
    Viewer(viewer).SetAnimate(*static_cast<const bool*>(value));
}
void ModelView::GetAnimateCallback(void* value, void* viewer) { *static_cast<bool*>(value) = Viewer(viewer).m_animate; }

}  // namespace Ostrel
