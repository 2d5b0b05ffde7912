// Tutorial files (".tut") from arbitrary bytes: the reader must end on any
// text, every record it takes must hold only values it accepts (inputs of
// the three kinds, delays of 0 or more, the default show limit or one of 1
// or more: out-of-range values are logged and clamped, never kept), and
// the show rule must run over whatever was read (dependencies on missing
// records, records depending on themselves) for both devices.
#include "engine/base/Logger.h"
#include "engine/world/TutorialManager.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Ostrel::Logger quiet;
    Ostrel::Logger::SetCurrent(&quiet);
    Ostrel::TutorialManager manager;
    manager.LoadText(std::string(reinterpret_cast<const char*>(data), size), "fuzz.tut");
    manager.ReportUnknownDependencies();
    for (const auto& [name, record] : manager.Assets()) {
        if (record->GetShowLimit() != -1 && record->GetShowLimit() < 1) std::abort();
    }
    for (bool pad : {false, true}) {
        manager.OnControllerChanged(pad);
        for (const auto& [name, record] : manager.Assets()) {
            for (const auto& scene : record->GetScenes()) {
                if (scene->input < 0 || scene->input > 2 || scene->delay < 0) std::abort();
            }
            std::string request = name;
            manager.OnShowTutorial(&request);
            record->MarkShown();
            if (record->GetShowLimit() < 1 && !record->IsLocked()) std::abort();
        }
        manager.OnUnlockAllTutorials();
    }
    return 0;
}
