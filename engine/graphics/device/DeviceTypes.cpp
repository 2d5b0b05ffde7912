#include "engine/graphics/device/DeviceTypes.h"

namespace Ostrel::rd {

int AttributeLocation(DeclUsage usage) {
    switch (usage) {
        case DeclUsage::Position: return 0;
        case DeclUsage::Normal: return 1;
        case DeclUsage::TexCoord: return 2;
        case DeclUsage::Color: return 3;
        case DeclUsage::BlendWeight: return 4;
        case DeclUsage::BlendIndices: return 5;
    }
    return -1;
}

u32 IndexCount(Prim prim, u32 primCount) {
    if (primCount == 0) return 0;
    switch (prim) {
        case Prim::LineList: return primCount * 2;
        case Prim::LineStrip: return primCount + 1;
        case Prim::TriangleList: return primCount * 3;
        case Prim::TriangleStrip: return primCount + 2;
    }
    return 0;
}

void UnpackArgb(u32 argb, float out[4]) {
    out[0] = float((argb >> 16) & 0xFF) / 255.0f;
    out[1] = float((argb >> 8) & 0xFF) / 255.0f;
    out[2] = float(argb & 0xFF) / 255.0f;
    out[3] = float((argb >> 24) & 0xFF) / 255.0f;
}

const char* RenderStateName(RS state) {
    switch (state) {
        case RS::ZEnable: return "ZEnable";
        case RS::FillMode: return "FillMode";
        case RS::ZWriteEnable: return "ZWriteEnable";
        case RS::SrcBlend: return "SrcBlend";
        case RS::DestBlend: return "DestBlend";
        case RS::CullMode: return "CullMode";
        case RS::ZFunc: return "ZFunc";
        case RS::AlphaBlendEnable: return "AlphaBlendEnable";
        case RS::ScissorTestEnable: return "ScissorTestEnable";
    }
    return "Unknown";
}

}  // namespace Ostrel::rd
