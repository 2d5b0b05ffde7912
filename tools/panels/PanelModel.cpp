#include "tools/panels/PanelModel.h"

#include "engine/base/Log.h"
#include "tools/panels/PanelDefinition.h"
#include "tools/panels/TypedEntry.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string_view>

namespace Ostrel {

namespace {

// Live models, newest last: the newest is the current one.
std::vector<PanelModel*>& LiveModels() {
    static std::vector<PanelModel*> models;
    return models;
}

// The variant alternative that holds values of a type (0: none).
size_t ValueIndex(PanelType type) {
    switch (type) {
        case PanelType::BoolCpp: return 1;
        case PanelType::Char: return 2;
        case PanelType::Int32: return 3;
        case PanelType::UInt32: return 4;
        case PanelType::Float: return 5;
        case PanelType::Dir3f: return 6;
        case PanelType::StdString: return 7;
        case PanelType::Undefined: break;
    }
    return 0;
}

template <class T>
PanelValue Load(const void* from) {
    return *static_cast<const T*>(from);
}

PanelValue ReadRaw(PanelType type, const void* from) {
    if (!from) return {};
    switch (type) {
        case PanelType::BoolCpp: return Load<bool>(from);
        case PanelType::Char: return Load<char>(from);
        case PanelType::Int32: return Load<s32>(from);
        case PanelType::UInt32: return Load<u32>(from);
        case PanelType::Float: return Load<f32>(from);
        case PanelType::Dir3f: {
            std::array<f32, 3> v;
            std::memcpy(v.data(), from, sizeof(v));
            return v;
        }
        case PanelType::StdString: return Load<std::string>(from);
        case PanelType::Undefined: break;
    }
    return {};
}

// A value in a fresh object of the type's storage, for getters and setters
// that take a pointer to it.
struct Scratch {
    explicit Scratch(const PanelValue& value) : held(value) {}
    void* Pointer() {
        return std::visit(
            [this](auto& v) -> void* {
                using T = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<T, std::monostate>) return nullptr;
                else if constexpr (std::is_same_v<T, std::array<f32, 3>>) return v.data();
                else return &v;
            },
            held);
    }
    PanelValue held;
};

PanelValue DefaultOf(PanelType type) {
    switch (type) {
        case PanelType::BoolCpp: return false;
        case PanelType::Char: return char(0);
        case PanelType::Int32: return s32(0);
        case PanelType::UInt32: return u32(0);
        case PanelType::Float: return 0.0f;
        case PanelType::Dir3f: return std::array<f32, 3>{};
        case PanelType::StdString: return std::string();
        case PanelType::Undefined: break;
    }
    return {};
}

void WriteRaw(PanelType type, void* to, const PanelValue& value) {
    Scratch scratch(value);
    const void* from = scratch.Pointer();
    if (!to || !from) return;
    switch (type) {
        case PanelType::BoolCpp: *static_cast<bool*>(to) = *static_cast<const bool*>(from); break;
        case PanelType::Char: *static_cast<char*>(to) = *static_cast<const char*>(from); break;
        case PanelType::Int32: *static_cast<s32*>(to) = *static_cast<const s32*>(from); break;
        case PanelType::UInt32: *static_cast<u32*>(to) = *static_cast<const u32*>(from); break;
        case PanelType::Float: *static_cast<f32*>(to) = *static_cast<const f32*>(from); break;
        case PanelType::Dir3f: std::memcpy(to, from, sizeof(f32) * 3); break;
        case PanelType::StdString: *static_cast<std::string*>(to) = *static_cast<const std::string*>(from); break;
        case PanelType::Undefined: break;
    }
}

std::optional<bool> ParseFlag(const std::string& text) {
    if (text == "true" || text == "1") return true;
    if (text == "false" || text == "0") return false;
    return std::nullopt;
}

std::optional<std::array<u8, 3>> ParseColour(const std::string& text) {
    int r = -1, g = -1, b = -1;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%d %d %d %c", &r, &g, &b, &tail) != 3) return std::nullopt;
    for (int c : {r, g, b}) {
        if (c < 0 || c > 255) return std::nullopt;
    }
    return std::array<u8, 3>{u8(r), u8(g), u8(b)};
}

bool Refuse(const std::string& definition, const std::string& why) {
    LogMessagef("panel definition \"%s\": %s, ignored\n", definition.c_str(), why.c_str());
    return false;
}

// Whether a value holds an infinite or not-a-number float: such a value
// would move an object out of sight and would not survive a room file.
bool HoldsNonFinite(const PanelValue& value) {
    if (const auto* f = std::get_if<f32>(&value)) return !std::isfinite(*f);
    if (const auto* v = std::get_if<std::array<f32, 3>>(&value)) {
        return std::any_of(v->begin(), v->end(), [](f32 c) { return !std::isfinite(c); });
    }
    return false;
}

// A value as a refusal quotes it ("kept 2", "kept 1 0 0", "kept 'floor'",
// "kept 'k'").
std::string ValueText(const PanelValue& value) {
    if (const auto* s = std::get_if<std::string>(&value)) return "'" + *s + "'";
    if (const auto* c = std::get_if<char>(&value)) return *c ? "'" + std::string(1, *c) + "'" : "''";
    char text[96] = "";
    if (const auto* i = std::get_if<s32>(&value)) std::snprintf(text, sizeof(text), "%d", int(*i));
    if (const auto* u = std::get_if<u32>(&value)) std::snprintf(text, sizeof(text), "%u", unsigned(*u));
    if (const auto* f = std::get_if<f32>(&value)) std::snprintf(text, sizeof(text), "%g", double(*f));
    if (const auto* v = std::get_if<std::array<f32, 3>>(&value))
        std::snprintf(text, sizeof(text), "%g %g %g", double((*v)[0]), double((*v)[1]), double((*v)[2]));
    return text;
}

bool IsAncestorOrSelf(PanelBar& bar, const std::string& group, const std::string& of) {
    // Walks up from of; bounded by the number of groups in case of damage.
    std::string at = of;
    for (size_t steps = 0; !at.empty() && steps <= bar.groups.size(); ++steps) {
        if (at == group) return true;
        PanelGroupInfo* info = bar.FindGroup(at);
        if (!info) return false;
        at = info->parent;
    }
    return false;
}

}  // namespace

PanelType PanelTypeOfKind(int kind) {
    static constexpr PanelType kTypes[] = {PanelType::Int32, PanelType::UInt32, PanelType::BoolCpp, PanelType::Char,
                                           PanelType::StdString, PanelType::Dir3f, PanelType::Float};
    if (kind < 0 || kind >= int(std::size(kTypes))) return PanelType::Undefined;
    return kTypes[kind];
}

bool PanelEntry::IsEditable() const {
    if (kind == Kind::Variable) return !readOnly && variable;
    if (kind == Kind::Callback) return setter != nullptr;
    return false;
}

PanelEntry* PanelBar::Find(const std::string& inGroup, const std::string& entryName) {
    for (PanelEntry& entry : entries) {
        if (entry.group == inGroup && entry.name == entryName) return &entry;
    }
    return nullptr;
}

PanelGroupInfo* PanelBar::FindGroup(const std::string& groupName) {
    for (PanelGroupInfo& group : groups) {
        if (group.name == groupName) return &group;
    }
    return nullptr;
}

PanelGroupInfo& PanelBar::TouchGroup(const std::string& groupName) {
    if (PanelGroupInfo* group = FindGroup(groupName)) return *group;
    PanelGroupInfo group;
    group.name = groupName;
    group.label = groupName;
    group.order = nextOrder++;
    groups.push_back(group);
    return groups.back();
}

PanelModel::PanelModel() {
    LiveModels().push_back(this);
}

PanelModel::~PanelModel() {
    std::erase(LiveModels(), this);
}

PanelModel* PanelModel::Current() {
    return LiveModels().empty() ? nullptr : LiveModels().back();
}

PanelBar* PanelModel::NewBar(const std::string& name) {
    if (name.empty() || FindBar(name)) {
        LogMessagef("panel bar '%s': %s, not made\n", name.c_str(), name.empty() ? "no name" : "exists already");
        return nullptr;
    }
    auto bar = std::make_unique<PanelBar>();
    bar->serial = m_nextSerial++;
    bar->name = name;
    bar->label = name;
    // Each new bar a little below and right of the previous one.
    const s32 step = s32(m_bars.size()) * 24;
    bar->position = {16 + step, 16 + step};
    m_bars.push_back(std::move(bar));
    return m_bars.back().get();
}

void PanelModel::DeleteBar(PanelBar* bar) {
    std::erase_if(m_bars, [bar](const std::unique_ptr<PanelBar>& b) { return b.get() == bar; });
}

PanelBar* PanelModel::FindBar(const std::string& name) {
    for (auto& bar : m_bars) {
        if (bar->name == name) return bar.get();
    }
    return nullptr;
}

bool PanelModel::Owns(const PanelBar* bar) const {
    return bar && std::any_of(m_bars.begin(), m_bars.end(), [bar](const auto& b) { return b.get() == bar; });
}

PanelBar* PanelModel::BarBySerial(u64 serial) {
    for (auto& bar : m_bars) {
        if (bar->serial == serial) return bar.get();
    }
    return nullptr;
}

bool PanelModel::Define(const std::string& text) {
    std::string error;
    std::optional<PanelDefinition> def = ParsePanelDefinition(text, true, &error);
    if (!def) return Refuse(text, error);
    if (def->global) {
        std::optional<bool> contained = m_contained;
        for (const auto& [key, value] : def->pairs) {
            if (key != "contained") return Refuse(text, "unknown key '" + key + "'");
            contained = ParseFlag(value);
            if (!contained) return Refuse(text, "'" + value + "' is not true or false");
        }
        m_contained = *contained;
        return true;
    }
    PanelBar* bar = FindBar(def->bar);
    if (!bar) return true;  // a bar this program does not make
    if (!def->hasItem) {
        PanelBar changed = *bar;
        for (const auto& [key, value] : def->pairs) {
            if (key == "color") {
                std::optional<std::array<u8, 3>> colour = ParseColour(value);
                if (!colour) return Refuse(text, "'" + value + "' is not a colour 'r g b'");
                changed.colour = *colour;
            } else if (key == "text") {
                if (value != "light" && value != "dark") return Refuse(text, "text is light or dark");
                changed.lightText = value == "light";
            } else if (key == "label") {
                changed.label = value;
            } else {
                return Refuse(text, "unknown key '" + key + "'");
            }
        }
        bar->colour = changed.colour;
        bar->lightText = changed.lightText;
        bar->label = changed.label;
        return true;
    }
    if (PanelGroupInfo* group = bar->FindGroup(def->item)) {
        PanelGroupInfo changed = *group;
        for (const auto& [key, value] : def->pairs) {
            if (key == "group") {
                if (IsAncestorOrSelf(*bar, group->name, value)) return Refuse(text, "a group cannot hold itself");
                changed.parent = value;
            } else if (key == "opened") {
                std::optional<bool> opened = ParseFlag(value);
                if (!opened) return Refuse(text, "'" + value + "' is not true or false");
                changed.opened = *opened;
            } else if (key == "label") {
                changed.label = value;
            } else {
                return Refuse(text, "unknown key '" + key + "'");
            }
        }
        if (!changed.parent.empty()) bar->TouchGroup(changed.parent);
        *bar->FindGroup(def->item) = changed;  // TouchGroup may have moved it
        return true;
    }
    auto entry = std::find_if(bar->entries.begin(), bar->entries.end(),
                              [&](const PanelEntry& e) { return e.name == def->item; });
    if (entry == bar->entries.end()) return true;  // nothing of that name yet
    PanelEntry changed = *entry;
    for (const auto& [key, value] : def->pairs) {
        if (key == "group") {
            changed.group = value;
        } else if (key == "label") {
            changed.label = value;
        } else {
            return Refuse(text, "unknown key '" + key + "'");
        }
    }
    if (changed.group != entry->group && bar->Find(changed.group, changed.name)) {
        return Refuse(text, "group '" + changed.group + "' has an entry of that name");
    }
    if (!changed.group.empty()) bar->TouchGroup(changed.group);
    *entry = std::move(changed);
    return true;
}

bool PanelModel::SetParam(PanelBar* bar, const std::string& param, PanelParamType type, u32 count,
                          const void* values) {
    if (!Owns(bar) || type != PanelParamType::Int32 || count != 2 || !values) return false;
    const auto* v = static_cast<const s32*>(values);
    if (param == "size") {
        bar->size = {std::max<s32>(v[0], 1), std::max<s32>(v[1], 1)};
    } else if (param == "position") {
        bar->position = {v[0], v[1]};
    } else {
        return false;
    }
    ++bar->placement;
    return true;
}

bool PanelModel::GetParam(PanelBar* bar, const std::string& param, PanelParamType type, u32 count,
                          void* values) const {
    if (!Owns(bar) || type != PanelParamType::Int32 || count != 2 || !values) return false;
    auto* v = static_cast<s32*>(values);
    if (param == "size") {
        std::copy(bar->size.begin(), bar->size.end(), v);
    } else if (param == "position") {
        std::copy(bar->position.begin(), bar->position.end(), v);
    } else {
        return false;
    }
    return true;
}

bool PanelModel::AddEntry(PanelBar* bar, PanelEntry entry, const std::string& def) {
    if (!Owns(bar) || entry.name.empty()) return false;
    std::string error;
    std::optional<PanelDefinition> parsed = ParsePanelDefinition(def, false, &error);
    if (!parsed) {
        LogMessagef("panel entry '%s' of bar '%s': definition \"%s\": %s, entry not added\n", entry.name.c_str(),
                    bar->name.c_str(), def.c_str(), error.c_str());
        return false;
    }
    entry.label = entry.name;
    for (const auto& [key, value] : parsed->pairs) {
        if (key == "group") {
            entry.group = value;
        } else if (key == "label") {
            entry.label = value;
        } else {
            LogMessagef("panel entry '%s' of bar '%s': unknown key '%s', entry not added\n", entry.name.c_str(),
                        bar->name.c_str(), key.c_str());
            return false;
        }
    }
    if (bar->Find(entry.group, entry.name)) return false;  // the first of a name stays
    if (!entry.group.empty()) bar->TouchGroup(entry.group);
    entry.serial = m_nextSerial++;
    entry.order = bar->nextOrder++;
    bar->entries.push_back(std::move(entry));
    return true;
}

bool PanelModel::AddVarRW(PanelBar* bar, const std::string& name, PanelType type, void* variable,
                          const std::string& def) {
    if (ValueIndex(type) == 0 || !variable) return false;
    PanelEntry entry;
    entry.name = name;
    entry.type = type;
    entry.variable = variable;
    return AddEntry(bar, std::move(entry), def);
}

bool PanelModel::AddVarRO(PanelBar* bar, const std::string& name, PanelType type, void* variable,
                          const std::string& def) {
    if (ValueIndex(type) == 0 || !variable) return false;
    PanelEntry entry;
    entry.name = name;
    entry.type = type;
    entry.variable = variable;
    entry.readOnly = true;
    return AddEntry(bar, std::move(entry), def);
}

bool PanelModel::AddVarCB(PanelBar* bar, const std::string& name, PanelType type, TweakBarSetter setter,
                          TweakBarGetter getter, void* clientData, const std::string& def) {
    if (ValueIndex(type) == 0) return false;
    PanelEntry entry;
    entry.kind = PanelEntry::Kind::Callback;
    entry.name = name;
    entry.type = type;
    entry.setter = setter;
    entry.getter = getter;
    entry.clientData = clientData;
    entry.readOnly = setter == nullptr;
    return AddEntry(bar, std::move(entry), def);
}

bool PanelModel::AddButton(PanelBar* bar, const std::string& name, TweakBarButton callback, void* clientData,
                           const std::string& def) {
    PanelEntry entry;
    entry.kind = PanelEntry::Kind::Button;
    entry.name = name;
    entry.button = callback;
    entry.clientData = clientData;
    return AddEntry(bar, std::move(entry), def);
}

bool PanelModel::AddSeparator(PanelBar* bar, const std::string& name, const std::string& def) {
    PanelEntry entry;
    entry.kind = PanelEntry::Kind::Separator;
    entry.name = name;
    return AddEntry(bar, std::move(entry), def);
}

void PanelModel::RemoveAllVars(PanelBar* bar) {
    if (!Owns(bar)) return;
    bar->entries.clear();
    bar->groups.clear();
}

PanelValue PanelModel::Read(const PanelEntry& entry) const {
    if (entry.kind == PanelEntry::Kind::Variable) return ReadRaw(entry.type, entry.variable);
    if (entry.kind != PanelEntry::Kind::Callback || !entry.getter) return {};
    Scratch scratch(DefaultOf(entry.type));
    entry.getter(scratch.Pointer(), entry.clientData);
    return scratch.held;
}

void PanelModel::QueueCommit(const PanelBar& bar, const PanelEntry& entry, PanelValue value) {
    Action action;
    action.bar = bar.serial;
    action.entry = entry.serial;
    action.value = std::move(value);
    m_queue.push_back(std::move(action));
}

void PanelModel::QueuePress(const PanelBar& bar, const PanelEntry& entry) {
    Action action;
    action.bar = bar.serial;
    action.entry = entry.serial;
    action.press = true;
    m_queue.push_back(std::move(action));
}

void PanelModel::QueueTyped(u64 barSerial, u64 entrySerial, int component, std::string text) {
    Action action;
    action.bar = barSerial;
    action.entry = entrySerial;
    action.typed = std::move(text);
    action.component = component;
    m_queue.push_back(std::move(action));
}

void PanelModel::RunQueued() {
    // Actions queued by the callbacks themselves wait for the next run.
    std::deque<Action> now;
    now.swap(m_queue);
    for (const Action& action : now) RunAction(action);
}

void PanelModel::RunAction(const Action& action) {
    PanelBar* bar = BarBySerial(action.bar);
    if (!bar) return;
    auto entry = std::find_if(bar->entries.begin(), bar->entries.end(),
                              [&](const PanelEntry& e) { return e.serial == action.entry; });
    if (entry == bar->entries.end()) return;
    if (action.press) {
        // Copied first: the callback may remove the entry or the whole bar.
        const TweakBarButton callback = entry->button;
        void* clientData = entry->clientData;
        if (callback) callback(clientData);
        return;
    }
    if (!action.typed) {
        Apply(*bar, *entry, action.value);
        return;
    }
    if (!entry->IsEditable()) return;
    PanelValue current = Read(*entry);
    if (current.index() == 0) current = DefaultOf(entry->type);
    PanelValue value;
    const std::string why = ValueOfTyped(current, action.component, *action.typed, value);
    if (!why.empty()) {
        RefuseEntry(*bar, *entry, why);
        return;
    }
    Apply(*bar, *entry, value);
}

void PanelModel::RefuseEntry(const PanelBar& bar, PanelEntry& entry, const std::string& why) {
    entry.note = why + "; kept " + ValueText(Read(entry));
    entry.noteSeconds = kNoteSeconds;
    ++m_refusals;
    // On the status line as well, where the user looks for what went wrong
    // whichever bar or group holds the field.
    m_status.Show(entry.label + ": " + entry.note);
    LogMessagef("panel field '%s' of bar '%s': %s\n", entry.name.c_str(), bar.name.c_str(), entry.note.c_str());
}

void PanelModel::Apply(const PanelBar& bar, PanelEntry& entry, const PanelValue& value) {
    if (!entry.IsEditable() || value.index() != ValueIndex(entry.type)) return;
    if (HoldsNonFinite(value)) {
        RefuseEntry(bar, entry, ValueText(value) + " is not a finite number");
        return;
    }
    entry.note.clear();
    entry.noteSeconds = 0.0f;
    if (Read(entry) == value) return;  // unchanged: no write, no setter
    if (entry.kind == PanelEntry::Kind::Variable) {
        WriteRaw(entry.type, entry.variable, value);
        return;
    }
    const TweakBarSetter setter = entry.setter;
    void* clientData = entry.clientData;
    Scratch scratch(value);
    setter(scratch.Pointer(), clientData);
}

namespace {

PanelEntry* FindEntry(PanelModel& model, const std::string& bar, const std::string& group, const std::string& name,
                      PanelBar** owner) {
    PanelBar* found = model.FindBar(bar);
    if (!found) return nullptr;
    *owner = found;
    return found->Find(group, name);
}

}  // namespace

bool PanelModel::Press(const std::string& bar, const std::string& group, const std::string& name) {
    PanelBar* owner = nullptr;
    PanelEntry* entry = FindEntry(*this, bar, group, name, &owner);
    if (!entry || entry->kind != PanelEntry::Kind::Button) return false;
    QueuePress(*owner, *entry);
    RunQueued();
    return true;
}

bool PanelModel::Commit(const std::string& bar, const std::string& group, const std::string& name,
                        PanelValue value) {
    PanelBar* owner = nullptr;
    PanelEntry* entry = FindEntry(*this, bar, group, name, &owner);
    if (!entry || !entry->IsEditable() || value.index() != ValueIndex(entry->type)) return false;
    const u64 refusals = m_refusals;
    QueueCommit(*owner, *entry, std::move(value));
    RunQueued();
    return m_refusals == refusals;
}

bool PanelModel::CommitTyped(const std::string& bar, const std::string& group, const std::string& name,
                             const std::string& text, int component) {
    PanelBar* owner = nullptr;
    PanelEntry* entry = FindEntry(*this, bar, group, name, &owner);
    if (!entry || !entry->IsEditable()) return false;
    const u64 refusals = m_refusals;
    QueueTyped(owner->serial, entry->serial, component, text);
    RunQueued();
    return m_refusals == refusals;
}

bool PanelModel::RefuseEntry(PanelBar* bar, const std::string& group, const std::string& name,
                             const std::string& why) {
    PanelEntry* entry = Owns(bar) ? bar->Find(group, name) : nullptr;
    if (!entry) return false;
    RefuseEntry(*bar, *entry, why);
    return true;
}

PanelValue PanelModel::Read(const std::string& bar, const std::string& group, const std::string& name) {
    PanelBar* owner = nullptr;
    PanelEntry* entry = FindEntry(*this, bar, group, name, &owner);
    return entry ? Read(*entry) : PanelValue{};
}

}  // namespace Ostrel
