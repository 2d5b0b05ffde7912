#pragma once
// The model viewer ("-m"): one model on a grid floor under the sky, lit by
// one light ("viewer-light-obj"), seen through the free-flying default
// camera, and one panel, "Viewer Info", with the animation controls and the
// camera's fields.
//
// Files dropped on the window:
//   "fbx"        - converted by the model converter into the model file;
//   "bin"        - copied to the model file;
//   "png", "tga" - put on the model as its diffuse texture (remembered and
//                  put on the next model when none is shown);
//   anything else - logged by name with the kinds above, and ignored.
// The extension is compared lower-cased (ASCII letters only). A dropped
// model is loaded two frames later (a second drop in between restarts the
// count) and, once read, replaces the model shown. With "Animation only"
// set, the model stays and only its animation is replaced from the file.
//
// A drop that fails leaves the scene as it was: the model shown, its clip
// and its texture stay, and nothing loaded under "mv-asset" is touched. It
// fails when there is no work folder, when the copy or the conversion fails
// (the reason is logged: converter not found, could not be run, its exit
// code or signal, no model written, with the converter's own output, which
// also stays in "convert.log"), or when the file read holds no mesh (no
// clip, with "Animation only"): an empty or cut file, or a clip alone. Each
// failure is also put on the status line.
//
// The model file "mv-asset.bin" and the converter's "convert.log" live in
// the viewer's work folder: the per-user folder, or, when the environment
// gives none or it cannot be made, a temporary folder of the viewer's own,
// removed at shutdown; never the working folder or rsc/. The model file is
// removed before each conversion or copy, so a failed one leaves no earlier
// file to be read in its place. The converter runs in the work folder
// without a shell, with the arguments [converter, absolute path, "-mv"] plus
// "-s" when "Scale Model" is set.
//
// The panel layout comes from the configuration "ModelView" (the shipped
// default in rsc/), then from the user's own "modelview.xcfg" in the per-user
// folder, where it is written back at shutdown; missing keys keep 300 x 400
// at (10, 10) and (320, 10).
//
// Main thread only.

#include "engine/base/Types.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/System.h"
#include "engine/platform/SubscriptionList.h"
#include "tools/panels/BarLayout.h"

#include <array>
#include <string>

namespace Ostrel {

class ObjectManager;
class Serializer;
struct ModelData;
struct PanelBar;

class ModelView : public System {
public:
    static constexpr u32 kId = FourCC("MVSy");
    static constexpr const char* kAssetName = "mv-asset";
    static constexpr const char* kModelFile = "mv-asset.bin";
    static constexpr const char* kConvertLog = "convert.log";
    static constexpr const char* kConverterName = "model-converter";
    static constexpr const char* kLightName = "viewer-light-obj";

    using BarLayout = Ostrel::BarLayout;

    ModelView();
    ~ModelView() override;

    void Update(f32 dt) override;
    void Initialize() override;
    void LoadConfig(Serializer* config) override;
    std::string GetName() const override { return "ModelView"; }
    u32 GetId() const override { return kId; }
    void Shutdown() override;

    void OnKeyTriggered(int key, bool pressed);
    // "FileDrop" (the path as a string).
    void OnFileDropMessage(std::string* path);
    void OnFileDrop(const std::string& path);

    // The converter program (default: "model-converter" next to the
    // executable, else on PATH). It runs in the work folder, where the model
    // file and "convert.log" are.
    void SetConverter(const std::string& program) { m_converter = program; }
    // The work folder (see the top); chosen by Initialize unless set before.
    void SetWorkFolder(const std::string& folder) { m_workFolder = folder; }
    const std::string& GetWorkFolder() const { return m_workFolder; }
    std::string ModelFilePath() const;
    std::string ConvertLogPath() const;

    // Writes the layout file; false when it could not be written (logged).
    bool SaveLayout();
    std::string LayoutPath() const;

    void ResetCamera();
    void SetAnimate(bool animate);

    u32 GetModelId() const { return m_modelId; }
    u32 GetCameraId() const { return m_cameraId; }
    u32 GetFloorId() const { return m_floorId; }
    u32 GetLightId() const { return m_lightId; }
    s32 GetLoadCountdown() const { return m_loadCountdown; }
    const std::string& GetDroppedPath() const { return m_droppedPath; }
    const std::string& GetTextureName() const { return m_textureName; }
    f32 GetDuration() const { return m_duration; }
    bool GetAnimationOnly() const { return m_animationOnly; }
    void SetAnimationOnly(bool on) { m_animationOnly = on; }
    void SetScaleModel(bool on) { m_scaleModel = on; }
    const std::array<BarLayout, 2>& GetLayout() const { return m_layout; }
    PanelBar* ViewerBar() const { return m_bar; }

private:
    ObjectManager* Objects() const;
    void BuildScene();
    void FillViewerBar();
    void LoadDroppedModel();
    bool MakeModelFile();
    bool HoldsWhatTheDropNeeds(const ModelData& data) const;
    void ReplaceModel(const ModelData& data);
    bool ConvertModel(const std::string& path);
    bool CopyModelFile(const std::string& path);
    void ApplyTexture() const;
    void ReadLayoutBack();
    void DeleteBar();
    void PrepareWorkFolder();
    void RemoveOwnWorkFolder();

    static void ResetCameraButton(void* viewer);
    static void NextKeyButton(void* viewer);
    static void PreviousKeyButton(void* viewer);
    static void SetAnimationOnlyCallback(const void* value, void* viewer);
    static void GetAnimationOnlyCallback(void* value, void* viewer);
    static void SetAnimationTimeCallback(const void* value, void* viewer);
    static void GetAnimationTimeCallback(void* value, void* viewer);
    static void SetAnimateCallback(const void* value, void* viewer);
    static void GetAnimateCallback(void* value, void* viewer);

    PanelBar* m_bar = nullptr;
    std::array<BarLayout, 2> m_layout;  // "Viewer Info", then the unused object bar
    bool m_firstFrame = true;
    u32 m_modelId = 0;
    u32 m_cameraId = 0;
    u32 m_floorId = 0;
    u32 m_lightId = 0;
    s32 m_loadCountdown = -1;
    std::string m_droppedPath;
    std::string m_textureName;
    bool m_animationOnly = false;
    bool m_animate = true;
    bool m_scaleModel = false;
    bool m_showFloor = true;
    bool m_showBindPose = false;
    f32 m_duration = 0.0f;
    f32 m_animationTime = 0.0f;
    std::string m_converter;
    std::string m_workFolder;
    bool m_ownsWorkFolder = false;  // a temporary folder, removed at shutdown
    std::string m_dropHint = ".fbx .bin .png .tga";
    SubscriptionList m_subscriptions;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::ModelView);
