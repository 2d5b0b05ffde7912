// "States" ("xstt") from arbitrary bytes, then every state selected.
#include "XmlFuzzInput.h"

#include "engine/base/Logger.h"
#include "engine/io/SerializerXML.h"
#include "engine/io/StateResourceTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Ostrel::Logger quiet;
    Ostrel::Logger::SetCurrent(&quiet);
    const std::string path = Ostrel::Fuzz::WriteInputFile("states.xstt", data, size);
    Ostrel::StateResourceTable table;
    Ostrel::SerializerXML reader(true);
    reader.LoadStates(path, table);
    for (const auto& state : table.States()) {
        table.SelectCurrent(state.first);
        if (table.Current() != &state.second) {
            __builtin_trap();
        }
    }
    table.SelectCurrent("no such state");
    std::remove(path.c_str());
    return 0;
}
