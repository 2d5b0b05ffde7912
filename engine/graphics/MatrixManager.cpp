#include "engine/graphics/MatrixManager.h"

#include "engine/core/VarFun_Delegate.h"
#include "engine/base/Log.h"

namespace Ostrel {

MatrixManager::MatrixManager() { s_instance = this; }

MatrixManager::~MatrixManager() {
    m_subscriptions.Clear();
    if (s_instance == this) s_instance = nullptr;
}

void MatrixManager::Initialize() {
    m_subscriptions.Listen("GraphicsUpdate", MakeDelegate(this, &MatrixManager::OnGraphicsUpdate));
    m_subscriptions.Listen("CameraPosUpdate", MakeDelegate(this, &MatrixManager::OnCameraPosUpdate));
    m_subscriptions.Listen("CameraLookAtUpdate", MakeDelegate(this, &MatrixManager::OnCameraLookAtUpdate));
    m_subscriptions.Listen("CameraUpUpdate", MakeDelegate(this, &MatrixManager::OnCameraUpUpdate));
    m_subscriptions.Listen("WindowScreenStateChange", MakeDelegate(this, &MatrixManager::OnWindowScreenStateChange));
}

void MatrixManager::SetScreenSize(const DeviceParams& params) { BuildSizeMatrices(params.width, params.height); }

void MatrixManager::OnCameraPosUpdate(float x, float y, float z) {
    m_eye = Vec3(x, y, z);
    m_dirty = true;
}

void MatrixManager::OnCameraLookAtUpdate(float x, float y, float z) {
    m_lookAt = Vec3(x, y, z);
    m_dirty = true;
}

void MatrixManager::OnCameraUpUpdate(float x, float y, float z) {
    m_up = Vec3(x, y, z);
    m_dirty = true;
}

void MatrixManager::OnGraphicsUpdate(float) {
    if (!m_dirty) return;
    LookAtMatrix(m_view, m_eye, m_lookAt, m_up);
    InverseMatrix(m_inverseView, m_view);
    m_dirty = false;
    ++m_viewBuilds;
}

void MatrixManager::OnWindowScreenStateChange(bool, unsigned width, unsigned height) {
    BuildSizeMatrices(width, height);
}

void MatrixManager::BuildSizeMatrices(u32 width, u32 height) {
    if (width == 0 || height == 0) {
        LogMessagef("MatrixManager: screen size %u x %u ignored, keeping %u x %u\n", width, height, m_width, m_height);
        return;
    }
    m_width = width;
    m_height = height;
    const float w = float(width), h = float(height);
    PerspectiveMatrix(m_projection, kFieldOfView, kNearPlane, kFarPlane, width, height);
    m_screen = Matrix4(w / 2, 0, 0, 0, 0, -h / 2, 0, 0, 0, 0, 1, 0, w / 2, h / 2, 0, 1);
    OrthoMatrix(m_ortho, width, height);
    InverseMatrix(m_inverseProjection, m_projection);
    InverseMatrix(m_inverseScreen, m_screen);
}

}  // namespace Ostrel
