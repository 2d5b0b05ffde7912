#pragma once
// The one visitor through which objects, components, systems and data records
// read and write their named values. Callers use one code path for both
// directions: they hand over the address of their field and the serializer's
// mode decides whether the field is filled from the data or written out.
//
// Value operations answer true only when a value was read; in writing mode
// they always answer false. A value that is absent (or that the concrete
// serializer cannot parse) leaves the caller's field unchanged, so callers
// initialise their fields with their defaults first.

#include <string>

namespace Ostrel {

class Serializer {
public:
    virtual ~Serializer() = default;

    virtual bool SerializeString(const std::string& name, std::string* value) = 0;
    virtual bool SerializeFloat(const std::string& name, float* value) = 0;
    virtual bool SerializeBool(const std::string& name, bool* value) = 0;
    virtual bool SerializeInt(const std::string& name, int* value) = 0;
    // Moves through (reading) or opens and closes (writing) a block of values.
    // In reading mode name receives the block's tag, or "EOF" when the blocks
    // ran out; writing "EOF" closes the open block. Callers ignore the answer.
    virtual bool SerializeBlock(std::string& name) = 0;
    virtual bool IsReading() const = 0;
    virtual bool IsWriting() const = 0;
    // What is being read, for log lines about bad values: the file and,
    // inside it, the object ("rsc/a.xobj: object 'crate'"); empty when the
    // serializer does not know.
    virtual std::string Where() const { return {}; }
};

}  // namespace Ostrel
