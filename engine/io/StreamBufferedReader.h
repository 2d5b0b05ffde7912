#pragma once
// IBufferedReader over an owned input stream (the text formats: animation
// sets, tutorials, room palettes).
//
// A read answers true when a value was extracted, so the last value of a text
// without a final line end is delivered and answered true. A pushed-back text
// read as a number answers whether it parsed, and a failed parse leaves the
// value unchanged; the pushed text is consumed either way.

#include "engine/io/IBufferedReader.h"

#include <istream>
#include <memory>
#include <vector>

namespace Ostrel {

class StreamBufferedReader : public IBufferedReader {
public:
    explicit StreamBufferedReader(std::unique_ptr<std::istream> stream);
    // A reader over a copy of text.
    static std::unique_ptr<StreamBufferedReader> FromText(std::string text);

    bool ReadDouble(double& value) override;
    bool ReadChar(char& value) override;
    bool ReadInt(int& value) override;
    bool ReadToken(std::string& value) override;
    // False while a pushed-back token waits; otherwise the stream's bad state.
    bool IsBad() override;
    // True while a pushed-back token waits; false when the last read could not
    // start; otherwise whether the stream has not failed.
    bool IsGood() override;
    // Numbers are pushed as the stream's default text (six significant digits).
    void UnreadDouble(double value) override;
    void UnreadChar(char value) override;
    void UnreadInt(int value) override;
    void UnreadToken(const std::string& value) override;
    void ClearError() override;

private:
    template <typename T>
    bool ReadValue(T& value);
    template <typename T>
    void Unread(const T& value);

    std::unique_ptr<std::istream> m_stream;
    std::vector<std::string> m_pushed;
    bool m_lastReadOk = true;
};

}  // namespace Ostrel
