#include "ObjectTestSupport.h"

#include "engine/core/ComponentFactory.h"

#include <cstdio>
#include <sstream>

namespace ObjectTest {

std::vector<std::string>& Events() {
    static std::vector<std::string> events;
    return events;
}

std::string IdText(u32 typeId) {
    if (typeId < 256) return std::to_string(typeId);
    std::string text(4, ' ');
    for (int i = 0; i < 4; ++i) text[i] = char((typeId >> (24 - 8 * i)) & 0xFF);
    return text;
}

namespace {

template <u32 Id>
void Add(Ostrel::CompositionFactory& factory, const char* name) {
    factory.AddComponentType(new Ostrel::ComponentFactory<Probe<Id>>(Id), Id, name);
}

}  // namespace

void RegisterProbes(Ostrel::CompositionFactory& factory) {
    Add<27>(factory, "TransformProbe");
    Add<42>(factory, "MeshProbe");
    Add<Ostrel::FourCC("brnC")>(factory, "BrainProbe");
    Add<Ostrel::FourCC("msgC")>(factory, "MessageProbe");
}

MemorySerializer::MemorySerializer(bool reading)
    : m_reading(reading), m_root(std::make_shared<Node>()) {
    m_current = m_root.get();
}

MemorySerializer MemorySerializer::ReaderOf(const Node& blocks) {
    MemorySerializer reader(true);
    reader.m_readBlocks = &blocks;
    reader.m_current = nullptr;
    return reader;
}

const std::string* MemorySerializer::Find(const std::string& name) const {
    if (!m_current) return nullptr;
    for (const auto& [key, text] : m_current->values) {
        if (key == name) return &text;
    }
    return nullptr;
}

void MemorySerializer::Write(const std::string& name, std::string text) {
    m_current->values.emplace_back(name, std::move(text));
}

bool MemorySerializer::SerializeString(const std::string& name, std::string* value) {
    if (!m_reading) {
        if (!value->empty()) Write(name, *value);
        return false;
    }
    const std::string* text = Find(name);
    if (text) *value = *text;
    return text != nullptr;
}

bool MemorySerializer::SerializeFloat(const std::string& name, float* value) {
    if (!m_reading) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%f", double(*value));
        Write(name, buffer);
        return false;
    }
    const std::string* text = Find(name);
    if (text) *value = std::stof(*text);
    return text != nullptr;
}

bool MemorySerializer::SerializeInt(const std::string& name, int* value) {
    if (!m_reading) {
        Write(name, std::to_string(*value));
        return false;
    }
    const std::string* text = Find(name);
    if (text) *value = std::stoi(*text);
    return text != nullptr;
}

bool MemorySerializer::SerializeBool(const std::string& name, bool* value) {
    int number = *value ? 1 : 0;
    const bool read = SerializeInt(name, &number);
    if (m_reading && read) *value = number != 0;
    return read;
}

bool MemorySerializer::SerializeBlock(std::string& name) {
    if (m_reading) {
        const std::size_t count = m_readBlocks ? m_readBlocks->children.size() : 0;
        m_readIndex = m_current ? m_readIndex + 1 : 0;
        m_current = m_readIndex < count ? m_readBlocks->children[m_readIndex].get() : nullptr;
        name = m_current ? m_current->tag : "EOF";
        return true;
    }
    if (name == "EOF") {
        if (m_current->parent) m_current = m_current->parent;
        return true;
    }
    auto child = std::make_unique<Node>();
    child->tag = name;
    child->parent = m_current;
    m_current->children.push_back(std::move(child));
    m_current = m_current->children.back().get();
    return true;
}

std::string MemorySerializer::Describe() const {
    std::ostringstream out;
    for (const auto& block : m_root->children) {
        out << block->tag << "{";
        for (std::size_t i = 0; i < block->values.size(); ++i) {
            out << (i ? "," : "") << block->values[i].first << "=" << block->values[i].second;
        }
        out << "}";
    }
    return out.str();
}

}  // namespace ObjectTest

#include "engine/core/CoreSystem.h"
#include "engine/core/VarFun_Delegate.h"

namespace ObjectTest {

std::unique_ptr<IdListener> ListenForId(Ostrel::CoreSystem& core, const std::string& name,
                                        std::function<void(u32)> fn) {
    auto listener = std::make_unique<IdListener>(std::move(fn));
    core.Listen(name, Ostrel::MakeDelegate(listener.get(), &IdListener::OnId));
    return listener;
}

}  // namespace ObjectTest
