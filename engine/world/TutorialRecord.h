#pragma once
// One tutorial as the UI shows it: its pages (a scene each, shown for a delay
// and for one kind of input device) and how often it may be shown. The UI
// system shows the pages of a queued record one after another and calls
// MarkShown after the last one.

#include "engine/core/MetaClassOf.h"

#include <string>
#include <vector>

namespace Ostrel {

struct TutorialPage {
    // The device a page is meant for; Any pages show with or without a pad.
    enum Input : int { Pad = 0, Keyboard = 1, Any = 2 };

    std::string scene;
    int delayMs = 0;
    int input = Any;
};

class TutorialRecord {
public:
    static constexpr int kDefaultShowLimit = 1;

    std::string name;
    std::vector<TutorialPage> pages;
    int showLimit = kDefaultShowLimit;
    int shownCount = 0;
    bool locked = false;

    // One more showing; the record locks once it has been shown its limit.
    void MarkShown() {
        ++shownCount;
        if (shownCount >= showLimit) locked = true;
    }
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::TutorialRecord);
