#include "engine/graphics/models/MeshBuilders.h"

#include "engine/graphics/models/Mesh.h"

#include <algorithm>
#include <cmath>

namespace Ostrel {

namespace {

constexpr float kPi = 3.14159265358979323846f;

// The default vertex colour of the primitive shapes.
void AddColoredVertex(Mesh& mesh, float x, float y, float z, float nx, float ny, float nz,
                      float u, float v) {
    mesh.AddVertex(x, y, z, nx, ny, nz, u, v, 255, 255, 0, 50);
}

void AddWhiteVertex(Mesh& mesh, float x, float y, float z, float nx, float ny, float nz, float u,
                    float v) {
    mesh.AddVertex(x, y, z, nx, ny, nz, u, v, 255, 255, 255, 255);
}

// One face of the cube: where a grid point (a, b) lands, its normal and uv.
struct CubeFace {
    void (*vertex)(Mesh&, float a, float b);
    bool windsForward;  // cells as (k+1, k+m, k) and (k+1, k+m+1, k+m)
};

const CubeFace kCubeFaces[6] = {
    {[](Mesh& m, float a, float b) { AddColoredVertex(m, a, b, 0.5f, 0, 0, 1, 1 - (a + 0.5f), 1 - (b + 0.5f)); }, true},
    {[](Mesh& m, float a, float b) { AddColoredVertex(m, a, b, -0.5f, 0, 0, -1, a + 0.5f, 1 - (b + 0.5f)); }, false},
    {[](Mesh& m, float a, float b) { AddColoredVertex(m, a, 0.5f, b, 0, 1, 0, a + 0.5f, 1 - (b + 0.5f)); }, false},
    {[](Mesh& m, float a, float b) { AddColoredVertex(m, a, -0.5f, b, 0, -1, 0, 1 - (a + 0.5f), 1 - (b + 0.5f)); }, true},
    {[](Mesh& m, float a, float b) { AddColoredVertex(m, 0.5f, b, a, 1, 0, 0, 1 - (b + 0.5f), 1 - (a + 0.5f)); }, false},
    {[](Mesh& m, float a, float b) { AddColoredVertex(m, -0.5f, b, a, -1, 0, 0, b + 0.5f, 1 - (a + 0.5f)); }, true},
};

}  // namespace

void BuildSphereMesh(Mesh* mesh, u32 stacks, u32 slices) {
    const u32 s = std::max(stacks, 1u);
    const u32 l = std::max(slices, 1u);
    mesh->SetPrimitiveType(kPrimitiveTriangleList);
    for (u32 i = 0; i <= s; ++i) {
        const float theta = float(i) * (kPi / float(s));
        for (u32 j = 0; j <= l; ++j) {
            const float phi = float(j) * (2.0f * kPi / float(l));
            const float x = 0.5f * std::sin(theta) * std::sin(phi);
            const float y = -0.5f * std::cos(theta);
            const float z = 0.5f * std::sin(theta) * std::cos(phi);
            AddColoredVertex(*mesh, x, y, z, 2 * x, 2 * y, 2 * z, 1.0f - float(j) / float(l),
                             1.0f - float(i) / float(s));
        }
    }
    const u32 ring = l + 1;
    for (u32 r = 1; r <= s; ++r) {
        for (u32 j = 0; j < l; ++j) {
            const u32 k = (r - 1) * ring + j;
            if (r == 1) {
                mesh->AddTriangle(k + ring + 1, k + ring, k);
            } else if (r == s) {
                mesh->AddTriangle(k, k + 1, k + ring);
            } else {
                mesh->AddTriangle(k + ring + 1, k + ring, k);
                mesh->AddTriangle(k, k + 1, k + ring + 1);
            }
        }
    }
    mesh->Build();
}

void BuildCubeMesh(Mesh* mesh, u32 divisionsX, u32 divisionsY) {
    const u32 nx = std::max(divisionsX, 1u);
    const u32 ny = std::max(divisionsY, 1u);
    const u32 row = nx + 1;
    mesh->SetPrimitiveType(kPrimitiveTriangleList);
    for (const CubeFace& face : kCubeFaces) {
        const u32 base = static_cast<u32>(mesh->GetVertices().size());
        for (u32 ib = 0; ib <= ny; ++ib) {
            for (u32 ia = 0; ia <= nx; ++ia) {
                face.vertex(*mesh, float(ia) / float(nx) - 0.5f, float(ib) / float(ny) - 0.5f);
            }
        }
        for (u32 ib = 0; ib < ny; ++ib) {
            for (u32 ia = 0; ia < nx; ++ia) {
                const u32 k = base + ib * row + ia;
                if (face.windsForward) {
                    mesh->AddTriangle(k + 1, k + row, k);
                    mesh->AddTriangle(k + 1, k + row + 1, k + row);
                } else {
                    mesh->AddTriangle(k, k + row, k + 1);
                    mesh->AddTriangle(k + row, k + row + 1, k + 1);
                }
            }
        }
    }
    mesh->Build();
}

void BuildGridPlaneMesh(Mesh* mesh, u32 divisionsX, u32 divisionsY) {
    const u32 nx = std::max(divisionsX, 1u);
    const u32 ny = std::max(divisionsY, 1u);
    const u32 row = nx + 1;
    mesh->SetPrimitiveType(kPrimitiveTriangleList);
    for (u32 i = ny + 1; i-- > 0;) {
        const float y = float(i) / float(ny) - 0.5f;
        const float v = 1.0f - float(i) / float(ny);
        for (u32 j = 0; j <= nx; ++j) {
            AddColoredVertex(*mesh, float(j) / float(nx) - 0.5f, y, 0, 0, 0, -1,
                             float(j) / float(nx), v);
        }
    }
    for (u32 i = 0; i < ny; ++i) {
        for (u32 j = 0; j < nx; ++j) {
            const u32 k = i * row + j;
            mesh->AddTriangle(k, k + 1, k + row);
            mesh->AddTriangle(k + row, k + 1, k + row + 1);
        }
    }
    mesh->Build();
}

void BuildSpriteMesh(Mesh* mesh) {
    mesh->SetPrimitiveType(kPrimitiveTriangleStrip);
    AddWhiteVertex(*mesh, -0.5f, 0.5f, 0, 0, 0, 1, 0, 0);
    AddWhiteVertex(*mesh, 0.5f, 0.5f, 0, 0, 0, 1, 1, 0);
    AddWhiteVertex(*mesh, -0.5f, -0.5f, 0, 0, 0, 1, 0, 1);
    AddWhiteVertex(*mesh, 0.5f, -0.5f, 0, 0, 0, 1, 1, 1);
    for (u32 i = 0; i < 4; ++i) mesh->AddIndex(i);
    mesh->Build();
}

void BuildPlaneMesh(Mesh* mesh) {
    mesh->SetPrimitiveType(kPrimitiveTriangleStrip);
    AddWhiteVertex(*mesh, -0.5f, 0, 0.5f, 0, 1, 0, 0, 0);
    AddWhiteVertex(*mesh, 0.5f, 0, 0.5f, 0, 1, 0, 1, 0);
    AddWhiteVertex(*mesh, -0.5f, 0, -0.5f, 0, 1, 0, 0, 1);
    AddWhiteVertex(*mesh, 0.5f, 0, -0.5f, 0, 1, 0, 1, 1);
    for (u32 i = 0; i < 4; ++i) mesh->AddIndex(i);
    mesh->Build();
}

void BuildCircleMesh(Mesh* mesh, u32 points) {
    const u32 p = std::max(points, 2u);
    mesh->SetPrimitiveType(kPrimitiveLineStrip);
    for (u32 i = 0; i < p; ++i) {
        const float angle = float(i) * 2.0f * kPi / float(p - 1);
        AddColoredVertex(*mesh, 0.5f * std::cos(angle), 0.5f * std::sin(angle), 0, 0, 0, 0, 0, 0);
    }
    for (u32 i = 0; i < p; ++i) mesh->AddIndex(i);
    mesh->AddIndex(p - 1);
    mesh->AddIndex(0);
    mesh->Build();
}

void BuildDiagonalLineMesh(Mesh* mesh, u32 segments) {
    const u32 s = std::max(segments, 1u);
    mesh->SetPrimitiveType(kPrimitiveLineStrip);
    for (u32 i = 0; i <= s; ++i) {
        const float t = float(i) / float(s);
        AddColoredVertex(*mesh, t, t, 0, 0, 1, 0, 0, 1);
        mesh->AddIndex(i);
    }
    mesh->Build();
}

void BuildSquareMesh(Mesh* mesh) {
    mesh->SetPrimitiveType(kPrimitiveLineStrip);
    const float corners[4][2] = {{-0.5f, -0.5f}, {-0.5f, 0.5f}, {0.5f, 0.5f}, {0.5f, -0.5f}};
    for (const auto& c : corners) AddColoredVertex(*mesh, c[0], c[1], 0, 0, 1, 0, 0, 1);
    for (u32 i : {0u, 1u, 2u, 3u, 0u}) mesh->AddIndex(i);
    mesh->Build();
}

void BuildWireCubeMesh(Mesh* mesh) {
    mesh->SetPrimitiveType(kPrimitiveLineList);
    const float corners[8][3] = {{-0.5f, -0.5f, 0.5f},  {-0.5f, 0.5f, 0.5f},  {0.5f, 0.5f, 0.5f},
                                 {0.5f, -0.5f, 0.5f},   {-0.5f, -0.5f, -0.5f}, {-0.5f, 0.5f, -0.5f},
                                 {0.5f, 0.5f, -0.5f},   {0.5f, -0.5f, -0.5f}};
    for (const auto& c : corners) AddColoredVertex(*mesh, c[0], c[1], c[2], 0, 1, 0, 0, 1);
    const u32 lines[12][2] = {{0, 1}, {0, 3}, {0, 4}, {1, 2}, {1, 5}, {5, 4},
                              {5, 6}, {6, 2}, {6, 7}, {7, 4}, {7, 3}, {3, 2}};
    for (const auto& line : lines) mesh->AddLine(line[0], line[1]);
    mesh->Build();
}

}  // namespace Ostrel
