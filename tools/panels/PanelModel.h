#pragma once
// The tools' panels without any drawing: named bars of entries (read-write,
// read-only and callback fields, buttons and separators) folded into groups,
// with each bar's size, position, colour and text shade. The level editor and
// the model viewer fill bars through PanelGroup (a TweakBarGroup) and the
// Tw-shaped calls of PanelApi.h; PanelRenderer draws the bars and turns the
// user's edits into queued actions; tests drive the same bars headless
// through Press and Commit.
//
// Rules:
// - An entry is known by its group and its name: a second entry of one name
//   in one group is refused silently (the first stays), while one name in two
//   groups shows twice. Separators share that name space.
// - Entries keep their order within their group; a group is made where it is
//   first named and sits among its parent's entries where it was made.
// - Read-write and read-only fields hold the caller's raw pointer and read
//   and write through it every frame: the pointed-to value must outlive the
//   entry (until RemoveAllVars or DeleteBar of its bar). Client data of
//   callbacks and buttons likewise.
// - A callback field without a setter is read-only. A setter runs only when
//   the committed value differs from what the getter (or the field) shows.
// - Edits and presses never run where they happen: they are queued
//   (QueueCommit, QueuePress) and run by RunQueued at a safe point of the
//   frame, each after looking its entry up again, so a callback may remove
//   every entry (RemoveAllVars) or delete the bar; actions of entries that
//   are gone are dropped.
// - A number field takes finite numbers only: a committed value that is
//   infinite or not a number (typed "1e999", say) is refused and logged;
//   the field keeps its value and shows why for kNoteSeconds, and the
//   status line says it too ("PosX: ..."). A typed entry must be wholly
//   one number (blanks around it aside): "3x", "1.5.5", "abc" or "inf" is
//   refused the same way, never cut to a part, and so is an entry longer
//   than the field holds (TypedEntry.h); a character field takes one
//   character.
//
// Main thread only.

#include "engine/base/Types.h"
#include "engine/core/TweakBarGroup.h"
#include "tools/panels/PanelStatus.h"

#include <array>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace Ostrel {

// Value types of entries; the numbers are those the panel calls use.
enum class PanelType : int {
    Undefined = 0,
    BoolCpp = 1,
    Char = 5,
    Int32 = 10,
    UInt32 = 11,
    Float = 12,
    Dir3f = 21,
    StdString = 0x3000 + int(sizeof(std::string)),
};

// The type a callback kind of TweakBarGroup::AddCallbackVar stands for, or
// Undefined for a kind outside 0..6.
PanelType PanelTypeOfKind(int kind);

// A value of any entry type (std::monostate: none).
using PanelValue = std::variant<std::monostate, bool, char, s32, u32, f32, std::array<f32, 3>, std::string>;

// Parameter value types of SetParam/GetParam.
enum class PanelParamType : int { Int32 = 0, Float = 1, Double = 2, CString = 3 };

class PanelModel;

struct PanelEntry {
    enum class Kind { Variable, Callback, Button, Separator };

    u64 serial = 0;  // unique in the model, never reused
    Kind kind = Kind::Variable;
    std::string name;
    std::string label;  // shown text: the name unless a label was defined
    std::string group;  // empty: the bar's top level
    PanelType type = PanelType::Undefined;
    bool readOnly = false;
    void* variable = nullptr;  // Variable: borrowed, see the rules above
    TweakBarSetter setter = nullptr;
    TweakBarGetter getter = nullptr;
    TweakBarButton button = nullptr;
    void* clientData = nullptr;
    u64 order = 0;  // position among its group's entries and subgroups
    // Why the last value committed here was refused, shown under the field
    // while noteSeconds last (empty: nothing to show).
    std::string note;
    f32 noteSeconds = 0.0f;

    bool IsField() const { return kind == Kind::Variable || kind == Kind::Callback; }
    bool IsEditable() const;
};

struct PanelGroupInfo {
    std::string name;
    std::string label;
    std::string parent;  // empty: the bar's top level
    bool opened = true;
    u64 order = 0;
};

struct PanelBar {
    u64 serial = 0;
    std::string name;
    std::string label;
    std::array<s32, 2> size{260, 380};
    std::array<s32, 2> position{16, 16};
    std::array<u8, 3> colour{17, 109, 143};
    bool lightText = true;
    // Grows whenever code sets the size or position, so the renderer knows
    // to move the window there.
    u32 placement = 1;
    std::vector<PanelEntry> entries;
    std::vector<PanelGroupInfo> groups;
    u64 nextOrder = 1;

    PanelEntry* Find(const std::string& group, const std::string& name);
    PanelGroupInfo* FindGroup(const std::string& name);
    const PanelGroupInfo* FindGroup(const std::string& name) const {
        return const_cast<PanelBar*>(this)->FindGroup(name);
    }
    // The group, made at the top level when it does not exist yet.
    PanelGroupInfo& TouchGroup(const std::string& name);
};

class PanelModel {
public:
    // How long a field shows why a value was refused.
    static constexpr f32 kNoteSeconds = 5.0f;

    PanelModel();
    ~PanelModel();
    PanelModel(const PanelModel&) = delete;
    PanelModel& operator=(const PanelModel&) = delete;

    // The model the Tw-shaped calls use: the last one constructed that still
    // exists, or null.
    static PanelModel* Current();

    // Bars. A second bar of a name that exists is refused (null, logged).
    PanelBar* NewBar(const std::string& name);
    void DeleteBar(PanelBar* bar);
    PanelBar* FindBar(const std::string& name);
    const std::vector<std::unique_ptr<PanelBar>>& Bars() const { return m_bars; }
    bool Owns(const PanelBar* bar) const;

    // Applies a definition "<target> key=value ...", the target being GLOBAL,
    // a bar name or "bar/name" (a group or an entry); names and values are
    // quoted with ' or " when they hold blanks or '/'. Keys: GLOBAL
    // contained; bar color ('r g b'), text (light or dark), label; group
    // group (its parent), opened, label; entry group, label. A target that
    // names no bar or nothing in the bar is ignored silently (true). An
    // unbalanced quote, an unknown key or a bad value changes nothing, is
    // logged and gives false.
    bool Define(const std::string& definition);
    // Whether bars are kept inside the window ("contained").
    bool Contained() const { return m_contained; }
    // The one-line status message drawn over the window (PanelStatus.h).
    PanelStatus& Status() { return m_status; }
    const PanelStatus& Status() const { return m_status; }

    // "size" and "position", two Int32 values each. False (nothing changed)
    // for another name, type or count. Sizes are at least 1.
    bool SetParam(PanelBar* bar, const std::string& param, PanelParamType type, u32 count, const void* values);
    bool GetParam(PanelBar* bar, const std::string& param, PanelParamType type, u32 count, void* values) const;

    // Entries. def is a definition without a target ("group='I/O'",
    // "label='New' group='I/O'", empty). False when refused: null bar or
    // name, an undefined type, a duplicate (silent) or a bad definition
    // (logged).
    bool AddVarRW(PanelBar* bar, const std::string& name, PanelType type, void* variable, const std::string& def);
    bool AddVarRO(PanelBar* bar, const std::string& name, PanelType type, void* variable, const std::string& def);
    bool AddVarCB(PanelBar* bar, const std::string& name, PanelType type, TweakBarSetter setter,
                  TweakBarGetter getter, void* clientData, const std::string& def);
    bool AddButton(PanelBar* bar, const std::string& name, TweakBarButton callback, void* clientData,
                   const std::string& def);
    bool AddSeparator(PanelBar* bar, const std::string& name, const std::string& def);
    // Drops every entry and group; the bar keeps its name, place and colour.
    void RemoveAllVars(PanelBar* bar);

    // The value an entry shows (read through its pointer or getter); none
    // for buttons, separators and fields without a getter.
    PanelValue Read(const PanelEntry& entry) const;

    // Queued actions (see the rules above).
    void QueueCommit(const PanelBar& bar, const PanelEntry& entry, PanelValue value);
    void QueuePress(const PanelBar& bar, const PanelEntry& entry);
    // A number or character field's typed text, read when it runs
    // (component: which of a direction's three numbers it is; 0 for a
    // single number). By serials, since the typing may outlive the frame
    // that drew the field.
    void QueueTyped(u64 barSerial, u64 entrySerial, int component, std::string text);
    void RunQueued();
    size_t QueuedCount() const { return m_queue.size(); }

    // The headless driver: presses a button or commits a value to a field
    // found by bar, group and name, through the queue, and runs the queue.
    // False when there is no such entry, or it is no button (Press), or is
    // not editable or has another type, or the value was refused (Commit).
    bool Press(const std::string& bar, const std::string& group, const std::string& name);
    bool Commit(const std::string& bar, const std::string& group, const std::string& name, PanelValue value);
    // Commits text as typed into a number or character field; false when
    // refused.
    bool CommitTyped(const std::string& bar, const std::string& group, const std::string& name,
                     const std::string& text, int component = 0);
    // Shows under a field and on the status line why what the user entered
    // there was not taken, and logs it, as for a refused number: for owners
    // of fields with rules of their own (a text that must name something).
    // False when the bar has no such field.
    bool RefuseEntry(PanelBar* bar, const std::string& group, const std::string& name, const std::string& why);
    // The value a field shows, found the same way.
    PanelValue Read(const std::string& bar, const std::string& group, const std::string& name);

private:
    struct Action {
        u64 bar = 0;
        u64 entry = 0;
        bool press = false;
        PanelValue value;
        std::optional<std::string> typed;  // text typed into a number field
        int component = 0;
    };

    bool AddEntry(PanelBar* bar, PanelEntry entry, const std::string& def);
    void RunAction(const Action& action);
    void Apply(const PanelBar& bar, PanelEntry& entry, const PanelValue& value);
    // Leaves the field as it is, says why under it and on the status line,
    // and logs it.
    void RefuseEntry(const PanelBar& bar, PanelEntry& entry, const std::string& why);
    PanelBar* BarBySerial(u64 serial);

    std::vector<std::unique_ptr<PanelBar>> m_bars;
    std::deque<Action> m_queue;
    u64 m_nextSerial = 1;
    u64 m_refusals = 0;  // values refused so far
    bool m_contained = false;
    PanelStatus m_status;
};

}  // namespace Ostrel
