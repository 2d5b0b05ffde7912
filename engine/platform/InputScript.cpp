#include "engine/platform/InputScript.h"

#include "engine/platform/VirtualKeys.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fstream>
#include <optional>
#include <sstream>

namespace Ostrel {

namespace {

std::vector<std::string_view> SplitWords(std::string_view line) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

std::optional<long> ToLong(std::string_view word) {
    long value = 0;
    auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size()) return std::nullopt;
    return value;
}

std::optional<int> ToInt(std::string_view word, long minimum, long maximum) {
    auto value = ToLong(word);
    if (!value || *value < minimum || *value > maximum) return std::nullopt;
    return int(*value);
}

std::optional<bool> ToDown(std::string_view word) {
    if (word == "down") return true;
    if (word == "up") return false;
    return std::nullopt;
}

std::optional<int> ToKeyCode(std::string_view word) {
    if (word.size() == 1 && ((word[0] >= 'A' && word[0] <= 'Z') || (word[0] >= '0' && word[0] <= '9'))) {
        return int(word[0]);
    }
    return ToInt(word, 1, Vk::kLastKeyboard);
}

std::optional<int> ToPadCode(std::string_view word) {
    int code = PadCodeFromName(word);
    if (code == 0) code = ToInt(word, Vk::kFirstPad, Vk::kLastPad).value_or(0);
    // The analog directions are never produced by a pad.
    if (code >= 259 && code <= 262) return std::nullopt;
    if (code == 0) return std::nullopt;
    return code;
}

// The part of a line after the first n words and the blank that follows them.
std::string_view RestAfterWords(std::string_view line, size_t n) {
    size_t i = 0;
    for (size_t word = 0; word < n; ++word) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    }
    if (i < line.size()) ++i;
    return line.substr(std::min(i, line.size()));
}

using Words = std::vector<std::string_view>;

bool ParseKey(const Words& w, ScriptedEvent& e) {
    if (w.size() != 4) return false;
    auto code = ToKeyCode(w[2]);
    auto down = ToDown(w[3]);
    if (!code || !down) return false;
    e.kind = ScriptedEvent::Kind::Key;
    e.code = *code;
    e.down = *down;
    return true;
}

bool ParseMouse(const Words& w, ScriptedEvent& e) {
    if (w.size() == 7 && w[2] == "move") {
        auto x = ToInt(w[3], -32768, 32767), y = ToInt(w[4], -32768, 32767);
        auto dx = ToInt(w[5], -32768, 32767), dy = ToInt(w[6], -32768, 32767);
        if (!x || !y || !dx || !dy) return false;
        e.kind = ScriptedEvent::Kind::MouseMove;
        e.x = *x, e.y = *y, e.dx = *dx, e.dy = *dy;
        return true;
    }
    if (w.size() == 4 && (w[2] == "left" || w[2] == "right")) {
        auto down = ToDown(w[3]);
        if (!down) return false;
        e.kind = ScriptedEvent::Kind::MouseButton;
        e.code = w[2] == "left" ? 1 : 2;
        e.down = *down;
        return true;
    }
    if (w.size() == 4 && w[2] == "wheel") {
        auto notches = ToInt(w[3], -273, 273);  // N * 120 must fit a signed 16-bit value
        if (!notches) return false;
        e.kind = ScriptedEvent::Kind::MouseWheel;
        e.x = *notches;
        return true;
    }
    return false;
}

bool ParsePad(const Words& w, ScriptedEvent& e) {
    if (w.size() == 5 && (w[2] == "leftstick" || w[2] == "rightstick")) {
        auto x = ToInt(w[3], -32768, 32767), y = ToInt(w[4], -32768, 32767);
        if (!x || !y) return false;
        e.kind = ScriptedEvent::Kind::PadStick;
        e.code = w[2] == "leftstick" ? 0 : 1;
        e.x = *x, e.y = *y;
        return true;
    }
    if (w.size() != 4) return false;
    auto code = ToPadCode(w[2]);
    auto down = ToDown(w[3]);
    if (!code || !down) return false;
    e.kind = ScriptedEvent::Kind::PadButton;
    e.code = *code;
    e.down = *down;
    return true;
}

bool ParseLine(std::string_view line, const Words& w, ScriptedEvent& e) {
    if (w.size() < 2) return false;
    auto frame = ToLong(w[0]);
    if (!frame || *frame < 1) return false;
    e.frame = *frame;
    if (w[1] == "key") return ParseKey(w, e);
    if (w[1] == "mouse") return ParseMouse(w, e);
    if (w[1] == "pad") return ParsePad(w, e);
    if (w[1] == "close") {
        e.kind = ScriptedEvent::Kind::Close;
        return w.size() == 2;
    }
    if (w[1] == "text") {
        std::string_view rest = RestAfterWords(line, 2);
        if (rest.empty()) return false;
        e.kind = ScriptedEvent::Kind::Text;
        e.text = std::string(rest);
        return true;
    }
    return false;
}

}  // namespace

InputScript InputScript::Parse(std::string_view text, const std::string& source,
                               std::vector<std::string>& errors) {
    InputScript script;
    int lineNumber = 0;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        ++lineNumber;
        pos = end + 1;
        Words words = SplitWords(line);
        if (words.empty() || words[0].front() == '#') continue;
        ScriptedEvent event;
        event.line = lineNumber;
        if (ParseLine(line, words, event)) {
            script.m_events.push_back(std::move(event));
        } else {
            errors.push_back(source + ":" + std::to_string(lineNumber) + ": malformed input-script line '" +
                             std::string(line) + "', skipped");
        }
    }
    std::stable_sort(script.m_events.begin(), script.m_events.end(),
                     [](const ScriptedEvent& a, const ScriptedEvent& b) { return a.frame < b.frame; });
    return script;
}

InputScript InputScript::Load(const std::string& path, std::vector<std::string>& errors) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        errors.push_back(path + ": cannot read the input script, no scripted input");
        return {};
    }
    std::ostringstream text;
    text << file.rdbuf();
    return Parse(text.str(), path, errors);
}

std::vector<ScriptedEvent> InputScript::TakeUntil(long frame) {
    std::vector<ScriptedEvent> due;
    while (m_next < m_events.size() && m_events[m_next].frame <= frame) {
        due.push_back(m_events[m_next]);
        ++m_next;
    }
    return due;
}

bool InputScript::UsesPad() const {
    return std::any_of(m_events.begin(), m_events.end(), [](const ScriptedEvent& e) {
        return e.kind == ScriptedEvent::Kind::PadButton || e.kind == ScriptedEvent::Kind::PadStick;
    });
}

}  // namespace Ostrel
