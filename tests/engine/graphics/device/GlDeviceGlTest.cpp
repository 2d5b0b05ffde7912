// The GL backend under the offscreen driver: each convention the layer
// promises (see Device.h) is checked by pixels read back from a real draw.

#include "engine/base/ILogProvider.h"
#include "engine/base/Logger.h"
#include "engine/graphics/device/Device.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <mutex>
#include <thread>

namespace Ostrel::rd {
namespace {

constexpr u32 kSize = 64;

struct TestVertex {
    float x, y, z;
    float u, v;
    u8 bgra[4];
    u8 bones[4];
};
static_assert(sizeof(TestVertex) == 28);

const VertexElement kElements[] = {
    {0, DeclType::Float3, DeclUsage::Position},
    {12, DeclType::Float2, DeclUsage::TexCoord},
    {20, DeclType::Color, DeclUsage::Color},
    {24, DeclType::UByte4, DeclUsage::BlendIndices},
};

const char* kVertexShader = R"(
layout(location = 0) in vec3 a_position;
layout(location = 2) in vec2 a_uv;
layout(location = 3) in vec4 a_color;
layout(location = 5) in uvec4 a_bones;
uniform mat4 WorldMat;
out vec2 v_uv;
out vec4 v_color;
flat out uvec4 v_bones;
void main() {
    v_uv = a_uv;
    v_color = a_color;
    v_bones = a_bones;
    gl_Position = WorldMat * vec4(a_position, 1.0);
}
)";

const char* kColourShader = R"(
uniform vec4 u_color;
out vec4 out_color0;
void main() { out_color0 = u_color; }
)";

const char* kTwoOutputShader = R"(
uniform vec4 u_color;
out vec4 out_color0;
out vec4 out_color1;
void main() { out_color0 = u_color; out_color1 = vec4(0.5, 0.0, 0.0, 1.0); }
)";

const char* kTextureShader = R"(
uniform sampler2D diffuse_sampler;
in vec2 v_uv;
out vec4 out_color0;
void main() { out_color0 = texture(diffuse_sampler, v_uv); }
)";

const char* kVertexColourShader = R"(
in vec4 v_color;
out vec4 out_color0;
void main() { out_color0 = v_color; }
)";

const char* kBonePaletteShader = R"(
uniform vec4 palette[4];
flat in uvec4 v_bones;
out vec4 out_color0;
void main() { out_color0 = palette[v_bones.y]; }
)";

using Rgba = std::array<u8, 4>;

class GlDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        device = CreateGlDevice({kSize, kSize, true, nullptr}, &error);
        ASSERT_NE(device, nullptr) << error;
        layout = device->CreateVertexLayout(kElements);
        vs = device->CompileShader(false, kVertexShader, "test-vs", &error);
        ASSERT_NE(vs, nullptr) << error;
        indices = device->CreateIndexBuffer16(12, false);
        // Two clockwise triangles (as seen on screen): 0 1 2 and 2 1 3.
        const u16 quad[6] = {0, 1, 2, 2, 1, 3};
        std::memcpy(indices->Lock(true), quad, sizeof quad);
        indices->Unlock();
    }

    Program* Link(const char* pixelSource) {
        std::string log;
        Shader* ps = device->CompileShader(true, pixelSource, "test-ps", &log);
        EXPECT_NE(ps, nullptr) << log;
        Program* program = ps ? device->LinkProgram(vs, ps, &log) : nullptr;
        EXPECT_NE(program, nullptr) << log;
        return program;
    }

    // A quad from (x0, y0) top-left to (x1, y1) bottom-right in clip space at
    // depth z, uv (0, 0) at its top-left; reversed makes it counter-clockwise.
    Buffer* Quad(float x0, float y0, float x1, float y1, float z, bool reversed = false) {
        TestVertex corners[4] = {
            {x0, y0, z, 0, 0, {0x10, 0x20, 0xFF, 0xFF}, {0, 1, 0, 0}},
            {x1, y0, z, 1, 0, {0x10, 0x20, 0xFF, 0xFF}, {0, 1, 0, 0}},
            {x0, y1, z, 0, 1, {0x10, 0x20, 0xFF, 0xFF}, {0, 1, 0, 0}},
            {x1, y1, z, 1, 1, {0x10, 0x20, 0xFF, 0xFF}, {0, 1, 0, 0}},
        };
        if (reversed) std::swap(corners[1], corners[2]);
        Buffer* buffer = device->CreateVertexBuffer(sizeof corners, false);
        std::memcpy(buffer->Lock(true), corners, sizeof corners);
        buffer->Unlock();
        return buffer;
    }

    void Draw(Program* program, Buffer* vertices, const float* world = nullptr) {
        static const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        device->SetProgram(program);
        device->SetMatrices(program, device->FindUniform(program, "WorldMat"), world ? world : kIdentity, 1);
        device->SetVertexLayout(layout);
        device->SetStreamSource(vertices, sizeof(TestVertex));
        device->SetIndices(indices);
        device->DrawIndexed(Prim::TriangleList, 4, 2);
    }

    void SetColour(Program* program, float r, float g, float b, float a) {
        const float colour[4] = {r, g, b, a};
        device->SetFloats(program, device->FindUniform(program, "u_color"), colour, 4);
    }

    Rgba Pixel(Texture* target, u32 x, u32 y) {
        std::vector<u8> pixels;
        EXPECT_TRUE(device->ReadPixels(target, pixels));
        const size_t at = (size_t(y) * target->Width() + x) * 4;
        return {pixels[at], pixels[at + 1], pixels[at + 2], pixels[at + 3]};
    }
    Rgba BackPixel(u32 x, u32 y) { return Pixel(device->BackBuffer(), x, y); }

    std::unique_ptr<Device> device;
    VertexLayout* layout = nullptr;
    Shader* vs = nullptr;
    Buffer* indices = nullptr;
};

TEST_F(GlDeviceTest, ClearsEveryBoundTargetWithTheBackBufferAtZeroAndWritesOnlyDeclaredOutputs) {
    Texture* depth = device->CreateRenderTarget(kSize, kSize, Format::R32F);
    Texture* aux = device->CreateRenderTarget(kSize, kSize, Format::X8R8G8B8);
    device->SetRenderTarget(1, depth);
    device->SetRenderTarget(2, aux);
    device->Clear(kClearTarget | kClearZBuffer, 0xFF336699, 1.0f);
    EXPECT_EQ(BackPixel(5, 5), (Rgba{0x33, 0x66, 0x99, 255}));
    EXPECT_EQ(Pixel(depth, 5, 5)[0], 0x33);  // R32F keeps the red channel
    EXPECT_EQ(Pixel(aux, 5, 5), (Rgba{0x33, 0x66, 0x99, 255}));

    // One output: target 1 keeps its cleared value where the quad is drawn.
    Program* single = Link(kColourShader);
    SetColour(single, 0, 1, 0, 1);
    Draw(single, Quad(-1, 1, 0, -1, 0.5f));  // the left half
    EXPECT_EQ(BackPixel(5, 5), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(BackPixel(60, 5), (Rgba{0x33, 0x66, 0x99, 255}));
    EXPECT_EQ(Pixel(depth, 5, 5)[0], 0x33);

    // Two outputs write both targets; target 2 is still left alone.
    Program* both = Link(kTwoOutputShader);
    EXPECT_EQ(both->OutputMask(), 3u);
    SetColour(both, 0, 0, 1, 1);
    Draw(both, Quad(0, 1, 1, -1, 0.5f));  // the right half
    EXPECT_EQ(BackPixel(60, 5), (Rgba{0, 0, 255, 255}));
    EXPECT_NEAR(Pixel(depth, 60, 5)[0], 128, 1);
    EXPECT_EQ(Pixel(aux, 60, 5), (Rgba{0x33, 0x66, 0x99, 255}));

    // Unbinding target 1 and clearing leaves it untouched.
    device->SetRenderTarget(1, nullptr);
    device->Clear(kClearTarget, 0xFF000000, 1.0f);
    EXPECT_NEAR(Pixel(depth, 60, 5)[0], 128, 1);
    EXPECT_EQ(Pixel(aux, 60, 5), (Rgba{0, 0, 0, 255}));
}

TEST_F(GlDeviceTest, DepthRunsFromZeroToWAndTestsLessOrEqual) {
    Program* program = Link(kColourShader);
    device->Clear(kClearTarget | kClearZBuffer, 0xFF000000, 0.5f);
    // Clip depth 0.4 is in front of a depth buffer at 0.5 (in GL's own range
    // it would be 0.7, behind).
    SetColour(program, 1, 0, 0, 1);
    Draw(program, Quad(-1, 1, 0, -1, 0.4f));
    EXPECT_EQ(BackPixel(5, 5), (Rgba{255, 0, 0, 255}));
    // 0.6 is behind; exactly 0.5 passes the less-or-equal test.
    SetColour(program, 0, 1, 0, 1);
    Draw(program, Quad(0, 1, 1, -1, 0.6f));
    EXPECT_EQ(BackPixel(60, 5), (Rgba{0, 0, 0, 255}));
    Draw(program, Quad(0, 1, 1, -1, 0.5f));
    EXPECT_EQ(BackPixel(60, 5), (Rgba{0, 255, 0, 255}));
    // Row vectors: a translation in the fourth row moves the left quad right.
    const float world[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 0, -0.2f, 1};
    SetColour(program, 0, 0, 1, 1);
    Draw(program, Quad(-1, 1, 0, -1, 0.4f), world);
    EXPECT_EQ(BackPixel(60, 5), (Rgba{0, 0, 255, 255}));
}

TEST_F(GlDeviceTest, ClockwiseFacesAreFrontAndCounterClockwiseCullingRemovesTheOthers) {
    Program* program = Link(kColourShader);
    device->Clear(kClearTarget | kClearZBuffer, 0xFF000000, 1.0f);
    SetColour(program, 1, 1, 1, 1);
    device->SetRenderState(RS::CullMode, Cull::CounterClockwise);
    Draw(program, Quad(-1, 1, 0, -1, 0.5f));        // clockwise: drawn
    Draw(program, Quad(0, 1, 1, -1, 0.5f, true));   // counter-clockwise: culled
    EXPECT_EQ(BackPixel(5, 32), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(BackPixel(60, 32), (Rgba{0, 0, 0, 255}));
    device->SetRenderState(RS::CullMode, Cull::Clockwise);
    device->Clear(kClearTarget | kClearZBuffer, 0xFF000000, 1.0f);
    Draw(program, Quad(-1, 1, 0, -1, 0.5f));
    Draw(program, Quad(0, 1, 1, -1, 0.5f, true));
    EXPECT_EQ(BackPixel(5, 32), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(BackPixel(60, 32), (Rgba{255, 255, 255, 255}));
    // Wire frame: the centre of a filled quad stays clear, its edge is drawn.
    device->SetRenderState(RS::CullMode, Cull::None);
    device->SetRenderState(RS::FillMode, FillMode::Wireframe);
    device->Clear(kClearTarget | kClearZBuffer, 0xFF000000, 1.0f);
    Draw(program, Quad(-0.5f, 0.5f, 0.5f, -0.5f, 0.5f));
    EXPECT_EQ(BackPixel(32, 20), (Rgba{0, 0, 0, 255}));
    const bool edgeDrawn = BackPixel(15, 20)[0] == 255 || BackPixel(16, 20)[0] == 255 || BackPixel(17, 20)[0] == 255;
    EXPECT_TRUE(edgeDrawn);
}

TEST_F(GlDeviceTest, ScissorRectangleCountsFromTheTopLeftAndDrawsStartAtAnyIndex) {
    Program* program = Link(kColourShader);
    device->Clear(kClearTarget | kClearZBuffer, 0xFF000000, 1.0f);
    // Clears and draws keep to the rectangle while the test is on.
    device->SetScissorRect(0, 0, 16, 8);
    device->SetRenderState(RS::ScissorTestEnable, 1);
    device->Clear(kClearTarget, 0xFFFF0000, 1.0f);
    EXPECT_EQ(BackPixel(2, 2), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(BackPixel(2, 60), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(BackPixel(20, 2), (Rgba{0, 0, 0, 255}));
    device->SetScissorRect(40, 50, 10, 10);
    SetColour(program, 1, 1, 1, 1);
    Draw(program, Quad(-1, 1, 1, -1, 0.5f));
    EXPECT_EQ(BackPixel(45, 55), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(BackPixel(45, 45), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(BackPixel(2, 2), (Rgba{255, 0, 0, 255}));
    device->SetRenderState(RS::ScissorTestEnable, 0);
    device->Clear(kClearTarget | kClearZBuffer, 0xFF000000, 1.0f);
    EXPECT_EQ(BackPixel(2, 2), (Rgba{0, 0, 0, 255}));

    // From index 3 only the second triangle (bottom right) is drawn; a range
    // past the end of the indices draws nothing.
    device->SetProgram(program);
    device->SetMatrices(program, device->FindUniform(program, "WorldMat"),
                        std::array<float, 16>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}.data(), 1);
    device->SetVertexLayout(layout);
    device->SetStreamSource(Quad(-1, 1, 1, -1, 0.5f), sizeof(TestVertex));
    device->SetIndices(indices);
    device->DrawIndexedFrom(Prim::TriangleList, 3, 4, 1);
    EXPECT_EQ(BackPixel(60, 60), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(BackPixel(3, 3), (Rgba{0, 0, 0, 255}));
    device->Clear(kClearTarget, 0xFF000000, 1.0f);
    device->DrawIndexedFrom(Prim::TriangleList, 4, 4, 1);
    EXPECT_EQ(BackPixel(60, 60), (Rgba{0, 0, 0, 255}));
}

TEST_F(GlDeviceTest, TopRowIsAtVZeroAndSamplingIsNearest) {
    // Red top-left, green top-right, blue bottom-left, white bottom-right.
    const u8 texels[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    Texture* texture = device->CreateTexture(2, 2, Format::A8R8G8B8, texels, false);
    Program* program = Link(kTextureShader);
    EXPECT_EQ(device->FindUniform(program, "diffuse_sampler").unit, 0);
    device->SetTexture(0, texture);
    device->Clear(kClearTarget | kClearZBuffer, 0xFF000000, 1.0f);
    Draw(program, Quad(-1, 1, 1, -1, 0.5f));
    EXPECT_EQ(BackPixel(0, 0), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(BackPixel(63, 0), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(BackPixel(0, 63), (Rgba{0, 0, 255, 255}));
    // Next to the middle: no blend between texels.
    EXPECT_EQ(BackPixel(31, 31), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(BackPixel(32, 32), (Rgba{255, 255, 255, 255}));
    // Float texels arrive unchanged (a lookup table's cells).
    const float cells[8] = {0.25f, 0.5f, 0.0f, 1.0f, 1.0f, 0.75f, 0.0f, 1.0f};
    device->SetTexture(0, device->CreateTexture(2, 1, Format::A32B32G32R32F, cells, false));
    Draw(program, Quad(-1, 1, 1, -1, 0.5f));
    EXPECT_EQ(BackPixel(31, 40), (Rgba{64, 128, 0, 255}));
    EXPECT_EQ(BackPixel(32, 40), (Rgba{255, 191, 0, 255}));
    // A cleared unit samples black.
    device->SetTexture(0, nullptr);
    Draw(program, Quad(-1, 1, 1, -1, 0.5f));
    EXPECT_EQ(BackPixel(0, 0), (Rgba{0, 0, 0, 255}));
}

TEST_F(GlDeviceTest, DestinationAlphaIsOneOnTargetsWithoutAlpha) {
    Program* program = Link(kColourShader);
    Texture* withAlpha = device->CreateRenderTarget(kSize, kSize, Format::A8R8G8B8);
    device->SetRenderState(RS::AlphaBlendEnable, 1);
    device->SetRenderState(RS::SrcBlend, Blend::One);
    device->SetRenderState(RS::DestBlend, Blend::DestAlpha);
    SetColour(program, 0.25f, 0.25f, 0.25f, 1);
    for (Texture* target : {device->BackBuffer(), withAlpha}) {
        device->SetRenderTarget(0, target);
        device->Clear(kClearTarget | kClearZBuffer, 0x00404040, 1.0f);  // alpha 0
        Draw(program, Quad(-1, 1, 1, -1, 0.5f));
    }
    EXPECT_NEAR(BackPixel(5, 5)[0], 0x80, 1);          // additive: destination alpha reads 1
    EXPECT_NEAR(Pixel(withAlpha, 5, 5)[0], 0x40, 1);   // the stored alpha 0 removes the destination
}

TEST_F(GlDeviceTest, VertexColoursAreBgraBytesAndBoneIndicesIntegers) {
    device->Clear(kClearTarget | kClearZBuffer, 0xFF000000, 1.0f);
    Draw(Link(kVertexColourShader), Quad(-1, 1, 1, -1, 0.5f));
    EXPECT_EQ(BackPixel(5, 5), (Rgba{255, 0x20, 0x10, 255}));
    Program* palette = Link(kBonePaletteShader);
    const float colours[16] = {1, 0, 0, 1, 0, 1, 1, 1, 0, 0, 1, 1, 1, 1, 1, 1};
    device->SetFloats(palette, device->FindUniform(palette, "palette"), colours, 16);
    Draw(palette, Quad(-1, 1, 1, -1, 0.5f));
    EXPECT_EQ(BackPixel(5, 5), (Rgba{0, 255, 255, 255}));  // index 1
}

TEST_F(GlDeviceTest, ResetResizesTheBackBufferAndKeepsObjects) {
    Program* program = Link(kColourShader);
    EXPECT_FALSE(device->Reset({0, 16, true, nullptr}));
    EXPECT_EQ(device->BackBuffer()->Width(), kSize);
    ASSERT_TRUE(device->Reset({40, 20, true, nullptr}));
    EXPECT_EQ(device->BackBuffer()->Width(), 40u);
    device->Clear(kClearTarget | kClearZBuffer, 0xFF000000, 1.0f);
    SetColour(program, 1, 0, 0, 1);
    Draw(program, Quad(0, 1, 1, -1, 0.5f));
    std::vector<u8> pixels;
    ASSERT_TRUE(device->ReadPixels(device->BackBuffer(), pixels));
    EXPECT_EQ(pixels.size(), 40u * 20u * 4u);
    EXPECT_EQ(BackPixel(39, 19), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(BackPixel(0, 19), (Rgba{0, 0, 0, 255}));
}

TEST_F(GlDeviceTest, ObjectsMadeOnALoaderThreadAreCreatedAtFirstUse) {
    // The loader holds the device lock while it creates, as the texture and
    // mesh loaders do; the main thread draws meanwhile, taking the lock per
    // frame.
    std::recursive_mutex deviceLock;
    Program* program = Link(kTextureShader);
    std::vector<Texture*> textures;
    std::vector<Buffer*> buffers;
    std::thread loader([&] {
        for (int i = 0; i < 20; ++i) {
            std::lock_guard lock(deviceLock);
            const u8 texel[4] = {u8(10 * i), 200, 0, 255};
            textures.push_back(device->CreateTexture(1, 1, Format::A8R8G8B8, texel, false));
            buffers.push_back(Quad(-1, 1, 1, -1, 0.5f));
        }
    });
    Buffer* mainQuad = Quad(-1, 1, 1, -1, 0.5f);
    for (int frame = 0; frame < 20; ++frame) {
        std::lock_guard lock(deviceLock);
        device->Clear(kClearTarget | kClearZBuffer, 0xFF000000, 1.0f);
        device->SetTexture(0, textures.empty() ? nullptr : textures.back());
        Draw(program, mainQuad);
        device->Present();
    }
    loader.join();
    device->SetTexture(0, textures[7]);
    Draw(program, buffers[7]);
    EXPECT_EQ(BackPixel(5, 5), (Rgba{70, 200, 0, 255}));
    // Given back on another thread (the bound one too), they go on the
    // render thread's next call; the unit is then cleared.
    std::thread([&] {
        std::lock_guard lock(deviceLock);
        for (Texture* texture : textures) device->Release(texture);
    }).join();
    device->Clear(kClearTarget | kClearZBuffer, 0xFF000000, 1.0f);
    Draw(program, buffers[7]);
    EXPECT_EQ(BackPixel(5, 5), (Rgba{0, 0, 0, 255}));
}

TEST_F(GlDeviceTest, BrokenShaderReportsItsNameAndLine) {
    std::string log;
    EXPECT_EQ(device->CompileShader(true, "out vec4 out_color0;\nvoid main() { out_color0 = nope; }\n", "broken-ps",
                                    &log),
              nullptr);
    EXPECT_NE(log.find("broken-ps"), std::string::npos) << log;
    EXPECT_NE(log.find("0:2"), std::string::npos) << log;  // the line of the original text
}

// Every line logged while it lives, on the test's thread.
class GlErrorLog {
public:
    GlErrorLog() : m_previous(Logger::Current()) {
        m_logger.AddProvider(std::make_unique<Forward>(this));
        Logger::SetCurrent(&m_logger);
    }
    ~GlErrorLog() { Logger::SetCurrent(m_previous); }
    void Write(const char* line) { text += line; }
    int Count(const std::string& part) const {
        int count = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
        return count;
    }
    std::string text;

private:
    struct Forward : ILogProvider {
        explicit Forward(GlErrorLog* to) : target(to) {}
        void Write(const char* line) override { target->Write(line); }
        GlErrorLog* target;
    };
    Logger m_logger;
    Logger* m_previous;
};

TEST_F(GlDeviceTest, PresentLogsTheFramesGlErrorsUpToALimit) {
    GlErrorLog log;
    device->Clear(kClearTarget, 0xFF000000, 1.0f);
    device->Present();
    EXPECT_EQ(log.text, "");  // a clean frame says nothing
    glEnable(0xFFFF);  // not a capability
    device->Present();
    EXPECT_EQ(log.Count("GL error 0x0500 (GL_INVALID_ENUM) in a frame"), 1) << log.text;
    device->Present();
    EXPECT_EQ(log.Count("GL error 0x"), 1) << "a flag is read once";
    glBindBuffer(GL_ARRAY_BUFFER, 0xFFFFFF);  // never made
    device->Present();
    EXPECT_EQ(log.Count("GL error 0x0502 (GL_INVALID_OPERATION) in a frame"), 1) << log.text;
    for (int frame = 0; frame < 30; ++frame) {
        glEnable(0xFFFF);
        device->Present();
    }
    EXPECT_EQ(log.Count("GL error 0x"), 20) << log.text;
    EXPECT_EQ(log.Count("further GL errors are not logged"), 1) << log.text;
}

}  // namespace
}  // namespace Ostrel::rd
