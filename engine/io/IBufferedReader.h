#pragma once
// A token reader with push-back over a text source. Tokens are runs of
// non-blank characters. Pushed-back values are read again last-in first-out
// before anything else from the source.

#include <string>

namespace Ostrel {

class IBufferedReader {
public:
    // Each read answers whether a value was delivered; on a false answer the
    // value is unchanged.
    virtual bool ReadDouble(double& value) = 0;
    virtual bool ReadChar(char& value) = 0;
    virtual bool ReadInt(int& value) = 0;
    virtual bool ReadToken(std::string& value) = 0;
    virtual bool IsBad() = 0;
    virtual bool IsGood() = 0;
    virtual void UnreadDouble(double value) = 0;
    virtual void UnreadChar(char value) = 0;
    virtual void UnreadInt(int value) = 0;
    virtual void UnreadToken(const std::string& value) = 0;
    virtual void ClearError() = 0;
    virtual ~IBufferedReader() = default;
};

// Chaining helpers: reader >> name >> scale.
IBufferedReader& operator>>(IBufferedReader& reader, double& value);
IBufferedReader& operator>>(IBufferedReader& reader, std::string& value);

}  // namespace Ostrel
