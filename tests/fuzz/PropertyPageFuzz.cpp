// Property pages ("xpro") from arbitrary bytes: never a crash; the first value
// of a name stays.
#include "XmlFuzzInput.h"

#include "engine/base/Logger.h"
#include "engine/io/SerializerXML.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Ostrel::Logger quiet;  // no providers: the loader's log lines go nowhere
    Ostrel::Logger::SetCurrent(&quiet);
    const std::string path = Ostrel::Fuzz::WriteInputFile("page.xpro", data, size);
    Ostrel::PropertyPage page;
    Ostrel::SerializerXML reader(true);
    reader.LoadProperties(path, page);
    Ostrel::PropertyPage again;
    reader.LoadProperties(path, again);
    if (page != again) {
        __builtin_trap();  // the same file must give the same page
    }
    std::remove(path.c_str());
    return 0;
}
