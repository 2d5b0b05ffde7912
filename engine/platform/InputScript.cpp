#include "engine/platform/InputScript.h"

#include "engine/platform/VirtualKeys.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <optional>

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
    if (w[1] == "mouse" && w.size() > 3 && w[2] == "item") {
        e.kind = ScriptedEvent::Kind::MouseItem;
        e.text = std::string(RestAfterWords(line, 3));
        return true;
    }
    if (w[1] == "mouse") return ParseMouse(w, e);
    if (w[1] == "pad") return ParsePad(w, e);
    if (w[1] == "close") {
        e.kind = ScriptedEvent::Kind::Close;
        return w.size() == 2;
    }
    if (w[1] == "resize") {
        if (w.size() != 4) return false;
        auto width = ToInt(w[2], 1, 16384), height = ToInt(w[3], 1, 16384);
        if (!width || !height) return false;
        e.kind = ScriptedEvent::Kind::Resize;
        e.x = *width, e.y = *height;
        return true;
    }
    if (w[1] == "drop") {
        std::string_view rest = RestAfterWords(line, 2);
        if (rest.empty()) return false;
        e.kind = ScriptedEvent::Kind::Drop;
        e.text = std::string(rest);
        return true;
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

std::string EscapeControlBytes(std::string_view text) {
    static const char kHex[] = "0123456789abcdef";
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '\\') {
            escaped += "\\x";
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 0xF];
        } else {
            escaped += c;
        }
    }
    return escaped;
}

// Turns lines into events; malformed lines are reported up to a limit, so a
// large garbage file cannot flood the log.
class ScriptLines {
public:
    ScriptLines(std::vector<ScriptedEvent>& events, std::vector<std::string>& anchors, const std::string& source,
                std::vector<std::string>& errors)
        : m_events(events), m_anchors(anchors), m_source(source), m_errors(errors) {}

    // line holds at most kMaxInputScriptLine bytes; overlong says whether
    // more followed on the same line (they were dropped).
    void Add(std::string_view line, bool overlong) {
        ++m_lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (overlong) {
            Report("input-script line longer than " + std::to_string(kMaxInputScriptLine) + " bytes '" +
                   EscapeControlBytes(line.substr(0, 64)) + "...', skipped");
            return;
        }
        Words words = SplitWords(line);
        if (words.empty() || words[0].front() == '#') return;
        if (words[0] == "at") {
            if (words.size() != 2) {
                Report("malformed input-script line '" + EscapeControlBytes(line) + "', skipped");
                return;
            }
            m_anchors.emplace_back(words[1]);
            return;
        }
        ScriptedEvent event;
        event.line = m_lineNumber;
        event.part = int(m_anchors.size());
        if (ParseLine(line, words, event)) {
            m_events.push_back(std::move(event));
        } else {
            Report("malformed input-script line '" + EscapeControlBytes(line) + "', skipped");
        }
    }

    void Finish() {
        if (m_reported > kMaxReports) {
            m_errors.push_back(m_source + ": " + std::to_string(m_reported - kMaxReports) +
                               " more malformed input-script lines, skipped");
        }
        std::stable_sort(m_events.begin(), m_events.end(), [](const ScriptedEvent& a, const ScriptedEvent& b) {
            return a.part != b.part ? a.part < b.part : a.frame < b.frame;
        });
    }

private:
    static constexpr int kMaxReports = 100;

    void Report(const std::string& what) {
        if (++m_reported > kMaxReports) return;
        m_errors.push_back(m_source + ":" + std::to_string(m_lineNumber) + ": " + what);
    }

    std::vector<ScriptedEvent>& m_events;
    std::vector<std::string>& m_anchors;
    const std::string& m_source;
    std::vector<std::string>& m_errors;
    int m_lineNumber = 0;
    int m_reported = 0;
};

}  // namespace

InputScript InputScript::Parse(std::string_view text, const std::string& source,
                               std::vector<std::string>& errors) {
    InputScript script;
    ScriptLines lines(script.m_events, script.m_anchors, source, errors);
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        const bool overlong = line.size() > kMaxInputScriptLine;
        lines.Add(overlong ? line.substr(0, kMaxInputScriptLine) : line, overlong);
        pos = end + 1;
    }
    lines.Finish();
    return script;
}

InputScript InputScript::Load(const std::string& path, std::vector<std::string>& errors) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        errors.push_back(path + ": a folder, not an input script, no scripted input");
        return {};
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        errors.push_back(path + ": cannot read the input script, no scripted input");
        return {};
    }
    // Line by line through the stream's buffer: a line keeps at most
    // kMaxInputScriptLine bytes and the whole read stops after
    // kMaxInputScriptBytes, so endless or huge inputs (/dev/zero) stay small.
    InputScript script;
    ScriptLines lines(script.m_events, script.m_anchors, path, errors);
    std::streambuf* buffer = file.rdbuf();
    std::string line;
    bool overlong = false;
    size_t total = 0;
    for (int c = buffer->sbumpc(); c != std::char_traits<char>::eof(); c = buffer->sbumpc()) {
        if (++total > kMaxInputScriptBytes) {
            errors.push_back(path + ": input script longer than " + std::to_string(kMaxInputScriptBytes) +
                             " bytes, the rest is ignored");
            break;
        }
        if (c == '\n') {
            lines.Add(line, overlong);
            line.clear();
            overlong = false;
        } else if (line.size() < kMaxInputScriptLine) {
            line.push_back(char(c));
        } else {
            overlong = true;
        }
    }
    lines.Add(line, overlong);
    lines.Finish();
    return script;
}

std::vector<ScriptedEvent> InputScript::TakeUntil(long frame) {
    // Events are sorted by part, then frame: each started part hands out
    // from its own cursor, and the parts' due events are merged by frame.
    std::vector<ScriptedEvent> due;
    if (m_cursors.size() < m_partStarts.size()) m_cursors.resize(m_partStarts.size(), kNoCursor);
    for (size_t part = 0; part < m_partStarts.size(); ++part) {
        size_t& cursor = m_cursors[part];
        if (cursor == kNoCursor) {
            cursor = size_t(std::lower_bound(m_events.begin(), m_events.end(), int(part),
                                             [](const ScriptedEvent& e, int p) { return e.part < p; }) -
                            m_events.begin());
        }
        while (cursor < m_events.size() && size_t(m_events[cursor].part) == part &&
               m_partStarts[part] + m_events[cursor].frame <= frame) {
            due.push_back(m_events[cursor]);
            due.back().frame += m_partStarts[part];
            ++cursor;
            ++m_taken;
        }
    }
    std::stable_sort(due.begin(), due.end(),
                     [](const ScriptedEvent& a, const ScriptedEvent& b) { return a.frame < b.frame; });
    return due;
}

const std::string* InputScript::WaitingFor() const {
    // Part n starts at the first send of anchor n - 1 after part n - 1 started.
    const size_t started = m_partStarts.size();
    return started - 1 < m_anchors.size() ? &m_anchors[started - 1] : nullptr;
}

void InputScript::MessageSent(std::string_view name, long frame) {
    const std::string* waited = WaitingFor();
    if (waited && *waited == name) m_partStarts.push_back(frame);
}

bool InputScript::UsesPad() const {
    return std::any_of(m_events.begin(), m_events.end(), [](const ScriptedEvent& e) {
        return e.kind == ScriptedEvent::Kind::PadButton || e.kind == ScriptedEvent::Kind::PadStick;
    });
}

}  // namespace Ostrel
