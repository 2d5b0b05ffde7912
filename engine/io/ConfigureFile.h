#pragma once
// Key/value access to a configuration document, one named value at a time.
// In reading mode an absent key leaves the caller's value (its default)
// unchanged; in writing mode each call appends the key.

#include <string>

namespace Ostrel {

class ConfigureFile {
public:
    virtual ~ConfigureFile() = default;
    virtual void String(const std::string& key, std::string* value) = 0;
    virtual void Float(const std::string& key, float* value) = 0;
    virtual void Bool(const std::string& key, bool* value) = 0;
    virtual void Int(const std::string& key, int* value) = 0;
    virtual bool IsReading() const = 0;
    virtual bool IsWriting() const = 0;
};

}  // namespace Ostrel
