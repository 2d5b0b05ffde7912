// Tile palettes ("xpal") from arbitrary bytes, read by a record that asks for
// every palette field, blocks included.
#include "XmlFuzzInput.h"

#include "engine/base/Logger.h"
#include "engine/io/SerializerXML.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Ostrel::Logger quiet;
    Ostrel::Logger::SetCurrent(&quiet);
    const std::string path = Ostrel::Fuzz::WriteInputFile("tiles.xpal", data, size);
    Ostrel::SerializerXML reader(true);
    reader.LoadPaletteWith(path, [](Ostrel::Serializer& s) {
        int tileX = 0, tileY = 0, countX = 0, countY = 0;
        float scale = 1.0f;
        bool flag = false;
        std::string atlas, names;
        s.SerializeInt("TileDimensionX", &tileX);
        s.SerializeInt("TileDimensionY", &tileY);
        s.SerializeInt("NumberOfTilesX", &countX);
        s.SerializeInt("NumberOfTilesY", &countY);
        s.SerializeString("AtlasName", &atlas);
        s.SerializeString("TileNames", &names);
        s.SerializeFloat("Scale", &scale);
        s.SerializeBool("Flag", &flag);
        std::string block;
        for (int i = 0; i < 8; ++i) {
            s.SerializeBlock(block);
            s.SerializeInt("x", &tileX);
        }
    });
    std::remove(path.c_str());
    return 0;
}
