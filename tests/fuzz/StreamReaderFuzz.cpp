// Fuzz target: the token reader. The first bytes choose a sequence of reads
// and push-backs; the rest is the text. A pushed-back token must come back
// unchanged before anything else.

#include "engine/io/StreamBufferedReader.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::size_t script = size < 16 ? size : 16;
    std::string text(reinterpret_cast<const char*>(data) + script, size - script);
    auto reader = Ostrel::StreamBufferedReader::FromText(text);
    for (int round = 0; round < 64; ++round) {
        uint8_t op = script ? data[std::size_t(round) % script] : uint8_t(round);
        std::string token;
        int i = 0;
        double d = 0;
        char c = 0;
        switch (op % 8) {
            case 0: reader->ReadToken(token); break;
            case 1: reader->ReadInt(i); break;
            case 2: reader->ReadDouble(d); break;
            case 3: reader->ReadChar(c); break;
            case 4: {
                std::string pushed = "t" + std::to_string(op);
                reader->UnreadToken(pushed);
                if (!reader->ReadToken(token) || token != pushed) __builtin_trap();
                break;
            }
            case 5: reader->UnreadDouble(op * 0.37); reader->ReadDouble(d); break;
            case 6: reader->UnreadInt(-int(op)); reader->ReadInt(i); break;
            case 7: reader->ClearError(); break;
        }
        reader->IsGood();
        reader->IsBad();
    }
    return 0;
}
