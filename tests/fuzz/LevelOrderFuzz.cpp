// Level orders ("xlod") from arbitrary bytes.
#include "XmlFuzzInput.h"

#include "engine/base/Logger.h"
#include "engine/io/SerializerXML.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Ostrel::Logger quiet;
    Ostrel::Logger::SetCurrent(&quiet);
    const std::string path = Ostrel::Fuzz::WriteInputFile("order.xlod", data, size);
    std::vector<std::string> order;
    Ostrel::SerializerXML reader(true);
    reader.LoadLevelOrder(path, order);
    for (const std::string& name : order) {
        if (name.empty()) {
            __builtin_trap();  // every entry is an element's tag
        }
    }
    std::remove(path.c_str());
    return 0;
}
