#pragma once
// The camera and screen matrices of the renderer, one manager per run.
//
// The camera messages ("CameraPosUpdate", "CameraLookAtUpdate",
// "CameraUpUpdate", three floats each) only mark the view stale; the next
// "GraphicsUpdate" rebuilds the view and its inverse once, however many
// camera messages came in between. Before the first camera message the view
// stays all zeros. The window size (SetScreenSize from the main,
// "WindowScreenStateChange" from the window system) rebuilds the projection,
// the orthographic projection, the screen matrix and their inverses at once;
// a width or height of 0 (a minimised window) is ignored and the last good
// matrices stay.
//
// Accessors give addresses that stay valid for the manager's life: the
// renderer keeps them from start-up on. Main thread only.

#include "engine/core/Matrix4.h"
#include "engine/base/Types.h"
#include "engine/core/Vec3.h"
#include "engine/platform/DeviceParams.h"
#include "engine/platform/SubscriptionList.h"

namespace Ostrel {

class MatrixManager {
public:
    // Vertical field of view in radians (the single-precision product), and
    // the near and far planes of the perspective projection.
    static constexpr float kFieldOfView = 3.1415927f * 0.33f;
    static constexpr float kNearPlane = 1.0f;
    static constexpr float kFarPlane = 5000.0f;

    // Registers the new manager as the instance.
    MatrixManager();
    ~MatrixManager();
    MatrixManager(const MatrixManager&) = delete;
    MatrixManager& operator=(const MatrixManager&) = delete;

    // The manager the constructor registered, or null when none exists.
    static MatrixManager* GetInstance() { return s_instance; }

    // Subscribes to the graphics update, the three camera messages and the
    // window's screen-state change in the running engine's core system.
    void Initialize();
    void SetScreenSize(const DeviceParams& params);

    void OnCameraPosUpdate(float x, float y, float z);
    void OnCameraLookAtUpdate(float x, float y, float z);
    void OnCameraUpUpdate(float x, float y, float z);
    // Rebuilds the view when a camera message came since the last rebuild;
    // dt is not used.
    void OnGraphicsUpdate(float dt);
    void OnWindowScreenStateChange(bool windowed, unsigned width, unsigned height);

    Matrix4* GetView() { return &m_view; }
    Matrix4* GetProjection() { return &m_projection; }
    Matrix4* GetOrthoProjection() { return &m_ortho; }
    Matrix4* GetScreen() { return &m_screen; }
    Matrix4* GetInverseView() { return &m_inverseView; }
    Matrix4* GetInverseProjection() { return &m_inverseProjection; }
    Matrix4* GetInverseScreen() { return &m_inverseScreen; }
    const Vec3& GetEye() const { return m_eye; }
    const Vec3& GetLookAt() const { return m_lookAt; }
    const Vec3& GetUp() const { return m_up; }
    // How many times the view was built (tests and the profiler read it).
    u32 GetViewBuildCount() const { return m_viewBuilds; }
    // The size the size-dependent matrices were last built for.
    u32 GetWidth() const { return m_width; }
    u32 GetHeight() const { return m_height; }

private:
    void BuildSizeMatrices(u32 width, u32 height);

    Matrix4 m_view;
    Matrix4 m_projection;
    Matrix4 m_ortho;
    Matrix4 m_screen;
    Matrix4 m_inverseView;
    Matrix4 m_inverseProjection;
    Matrix4 m_inverseScreen;
    bool m_dirty = false;
    Vec3 m_up;
    Vec3 m_lookAt;
    Vec3 m_eye;
    u32 m_width = 0;
    u32 m_height = 0;
    u32 m_viewBuilds = 0;
    SubscriptionList m_subscriptions;

    static inline MatrixManager* s_instance = nullptr;
};

}  // namespace Ostrel
