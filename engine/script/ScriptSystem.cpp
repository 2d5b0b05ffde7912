#include "engine/script/ScriptSystem.h"

#include "engine/base/Serializer.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/graphics/RenderDevice.h"
#include "engine/script/ScriptManager.h"

#include <cstdio>
#include <mutex>

namespace Ostrel {

namespace {

constexpr int kShiftKey = 16;
constexpr int kBackspaceKey = 8;
constexpr int kReturnKey = 13;
constexpr int kEscapeKey = 27;
constexpr int kBackQuote = 96;

// The punctuation keys: code, character with Shift, character without.
struct PunctuationKey {
    int code;
    char shifted;
    char plain;
};

constexpr PunctuationKey kPunctuation[] = {
    {48, ')', '0'},  {49, '!', '1'},  {50, '@', '2'},  {51, '#', '3'},  {52, '$', '4'},  {53, '%', '5'},
    {54, '^', '6'},  {55, '&', '7'},  {56, '*', '8'},  {57, '(', '9'},  {186, ':', ';'}, {187, '+', '='},
    {188, '<', ','}, {189, '_', '-'}, {190, '>', '.'}, {191, '?', '/'}, {192, '~', '`'}, {219, '{', '['},
    {220, '|', '\\'}, {221, '}', ']'}, {222, '"', '\''},
};

bool TypesNothing(int code) {
    return code < 32 || (code >= 33 && code <= 47) || (code >= 58 && code <= 64) || (code >= 91 && code <= 95) ||
           (code >= 112 && code <= 185);
}

const PunctuationKey* FindPunctuation(int code) {
    for (const PunctuationKey& key : kPunctuation)
        if (key.code == code) return &key;
    return nullptr;
}

void WriteToStdout(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

CoreSystem* Core() {
    Engine* engine = Engine::Instance();
    return engine != nullptr ? engine->GetCoreSystem() : nullptr;
}

}  // namespace

ScriptSystem::ScriptSystem() : m_output(&WriteToStdout) {}

ScriptSystem::~ScriptSystem() {
    Shutdown();
}

void ScriptSystem::LoadConfig(Serializer* config) {
    if (config != nullptr) config->SerializeBool("debug", &m_debug);
}

void ScriptSystem::Initialize() {
    if (m_subscriptions.Empty()) {
        m_subscriptions.Listen("KeyTriggered", MakeDelegate(this, &ScriptSystem::OnKeyTriggered));
    }
}

void ScriptSystem::Shutdown() {
    m_subscriptions.Clear();
    if (m_consoleOpen) {
        if (CoreSystem* core = Core()) core->ClearHandler("KeyTriggered");
        m_consoleOpen = false;
    }
}

bool ScriptSystem::TranslateKey(int& code, bool down) {
    if (code == kShiftKey) m_shiftHeld = down;
    if (TypesNothing(code)) {
        code = 0;
        return true;
    }
    const PunctuationKey* punctuation = FindPunctuation(code);
    if (m_shiftHeld) {
        // Shifted digits and punctuation; letters stay upper case.
        if (punctuation != nullptr) {
            code = static_cast<unsigned char>(punctuation->shifted);
            return true;
        }
    } else if (code >= 'A' && code <= 'Z') {
        code += 'a' - 'A';
        return true;
    } else if (punctuation != nullptr && (code < '0' || code > '9')) {
        code = static_cast<unsigned char>(punctuation->plain);
        return true;
    }
    if (code >= 96 && code <= 105) {  // the number pad's digits
        code -= 96 - '0';
        return true;
    }
    return false;
}

void ScriptSystem::OnKeyTriggered(int key, bool down) {
    if (!m_debug) return;
    int typed = key;
    const bool converted = TranslateKey(typed, down);
    const bool toggle = converted && down && typed == kBackQuote;
    if (toggle) {
        Toggle();
        return;
    }
    if (!down || !m_consoleOpen) return;
    if (typed >= 32 && typed <= 126) {
        const char character = char(typed);
        Write(std::string_view(&character, 1));
        m_line += character;
        return;
    }
    switch (key) {
        case kBackspaceKey:
            if (!m_line.empty()) {
                Write(std::string_view("\b \b", 3));
                m_line.pop_back();
            }
            break;
        case kReturnKey:
            Write("\n");
            ExecuteConsoleLine();
            m_line.clear();
            break;
        case kEscapeKey:
            Write("\n");
            m_line.clear();
            break;
        default:
            break;
    }
}

void ScriptSystem::Toggle() {
    m_consoleOpen = !m_consoleOpen;
    CoreSystem* core = Core();
    if (m_consoleOpen) {
        Write("\n");
        m_line.clear();
        if (core != nullptr) core->SetHandler("KeyTriggered", MakeDelegate(this, &ScriptSystem::OnKeyTriggered));
    } else if (core != nullptr) {
        core->ClearHandler("KeyTriggered");
    }
}

void ScriptSystem::ExecuteConsoleLine() {
    ScriptManager* scripts = ScriptManager::Instance();
    if (scripts == nullptr) return;
    // Scene scripts may be running on the loading thread under this lock.
    std::unique_lock<RenderDevice> lock;
    if (RenderDevice* device = GetRenderDevice()) lock = std::unique_lock<RenderDevice>(*device);
    std::string error;
    if (!scripts->RunConsoleLine(m_line, error)) Write("ERROR:" + error + "\n");
}

void ScriptSystem::Write(std::string_view text) const {
    if (m_output) m_output(text);
}

}  // namespace Ostrel

LV_REFLECT_CLASS(Ostrel::ScriptSystem);
