#include "tools/panels/PanelDefinition.h"

namespace Ostrel {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool IsQuote(char c) {
    return c == '\'' || c == '"' || c == '`';
}

class Reader {
public:
    explicit Reader(std::string_view text) : m_text(text) {}

    void SkipBlanks() {
        while (m_at < m_text.size() && IsBlank(m_text[m_at])) ++m_at;
    }
    bool AtEnd() const { return m_at >= m_text.size(); }
    bool Next(char c) {
        if (AtEnd() || m_text[m_at] != c) return false;
        ++m_at;
        return true;
    }

    // A quoted text, or a bare one ending before a blank or one of stops.
    // Null on an unbalanced quote or when nothing is there.
    std::optional<std::string> Word(std::string_view stops, std::string* error) {
        if (AtEnd()) return Fail("a name or value is missing", error);
        if (IsQuote(m_text[m_at])) {
            const char quote = m_text[m_at];
            const size_t close = m_text.find(quote, m_at + 1);
            if (close == std::string_view::npos) return Fail("a quote is not closed", error);
            std::string word(m_text.substr(m_at + 1, close - m_at - 1));
            m_at = close + 1;
            return word;
        }
        const size_t start = m_at;
        while (m_at < m_text.size() && !IsBlank(m_text[m_at]) && stops.find(m_text[m_at]) == std::string_view::npos) {
            if (IsQuote(m_text[m_at])) return Fail("a quote stands inside a bare word", error);
            ++m_at;
        }
        if (m_at == start) return Fail("a name or value is missing", error);
        return std::string(m_text.substr(start, m_at - start));
    }

private:
    static std::optional<std::string> Fail(const char* why, std::string* error) {
        if (error) *error = why;
        return std::nullopt;
    }

    std::string_view m_text;
    size_t m_at = 0;
};

bool ReadTarget(Reader& reader, PanelDefinition& out, std::string* error) {
    reader.SkipBlanks();
    std::optional<std::string> bar = reader.Word("/=", error);
    if (!bar) return false;
    if (reader.Next('/')) {
        std::optional<std::string> item = reader.Word("=", error);
        if (!item) return false;
        out.item = std::move(*item);
        out.hasItem = true;
    }
    out.global = !out.hasItem && *bar == "GLOBAL";
    out.bar = std::move(*bar);
    return true;
}

}  // namespace

std::optional<PanelDefinition> ParsePanelDefinition(std::string_view text, bool withTarget, std::string* error) {
    Reader reader(text);
    PanelDefinition out;
    if (withTarget && !ReadTarget(reader, out, error)) return std::nullopt;
    for (;;) {
        reader.SkipBlanks();
        if (reader.AtEnd()) return out;
        std::optional<std::string> key = reader.Word("=", error);
        if (!key) return std::nullopt;
        if (!reader.Next('=')) {
            if (error) *error = "key '" + *key + "' has no '='";
            return std::nullopt;
        }
        std::optional<std::string> value = reader.Word("", error);
        if (!value) return std::nullopt;
        out.pairs.emplace_back(std::move(*key), std::move(*value));
    }
}

}  // namespace Ostrel
