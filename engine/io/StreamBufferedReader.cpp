#include "engine/io/StreamBufferedReader.h"

#include <locale>
#include <sstream>

namespace Ostrel {

IBufferedReader& operator>>(IBufferedReader& reader, double& value) {
    reader.ReadDouble(value);
    return reader;
}

IBufferedReader& operator>>(IBufferedReader& reader, std::string& value) {
    reader.ReadToken(value);
    return reader;
}

StreamBufferedReader::StreamBufferedReader(std::unique_ptr<std::istream> stream)
    : m_stream(std::move(stream)) {
    if (!m_stream) m_stream = std::make_unique<std::istringstream>();
    m_stream->imbue(std::locale::classic());
}

std::unique_ptr<StreamBufferedReader> StreamBufferedReader::FromText(std::string text) {
    return std::make_unique<StreamBufferedReader>(
        std::make_unique<std::istringstream>(std::move(text)));
}

template <typename T>
bool StreamBufferedReader::ReadValue(T& value) {
    if (!m_pushed.empty()) {
        std::istringstream parse(m_pushed.back());
        parse.imbue(std::locale::classic());
        m_pushed.pop_back();
        T parsed{};
        if (!(parse >> parsed)) return false;
        value = parsed;
        return true;
    }
    m_lastReadOk = false;
    if (!m_stream->good()) return false;
    m_lastReadOk = true;
    T parsed{};
    *m_stream >> parsed;
    if (m_stream->fail()) return false;
    value = parsed;
    return true;
}

bool StreamBufferedReader::ReadDouble(double& value) { return ReadValue(value); }
bool StreamBufferedReader::ReadChar(char& value) { return ReadValue(value); }
bool StreamBufferedReader::ReadInt(int& value) { return ReadValue(value); }

bool StreamBufferedReader::ReadToken(std::string& value) {
    if (!m_pushed.empty()) {
        value = m_pushed.back();
        m_pushed.pop_back();
        return true;
    }
    return ReadValue(value);
}

bool StreamBufferedReader::IsBad() { return m_pushed.empty() && m_stream->bad(); }

bool StreamBufferedReader::IsGood() {
    if (!m_pushed.empty()) return true;
    if (!m_lastReadOk) return false;
    return !m_stream->fail();
}

template <typename T>
void StreamBufferedReader::Unread(const T& value) {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << value;
    m_pushed.push_back(text.str());
}

void StreamBufferedReader::UnreadDouble(double value) { Unread(value); }
void StreamBufferedReader::UnreadChar(char value) { Unread(value); }
void StreamBufferedReader::UnreadInt(int value) { Unread(value); }
void StreamBufferedReader::UnreadToken(const std::string& value) { m_pushed.push_back(value); }

void StreamBufferedReader::ClearError() {
    m_stream->clear();
    m_lastReadOk = true;
}

}  // namespace Ostrel
