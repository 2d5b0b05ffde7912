#pragma once
// Every tutorial prompt of the game by name (TutorialRecord, from ".tut"
// files), and the rule that decides whether a requested prompt is due.
//
// Global messages handled (Connect subscribes them, Disconnect and the
// destructor remove them):
//   "ShowTutorial"(std::string*)   the show rule below
//   "LockTutorial"(std::string*)   while active: locks the record
//   "UnlockTutorial"(std::string*) while active: unlocks it (count 0)
//   "UnlockAllTutorials"           unlocks every record, active or not
//   "SetTutorialsActive"(bool)     switches the manager on or off
//   "ControllerChanged"(bool)      whether a pad is connected (none at first)
// Show rule: nothing while inactive, for an unknown or locked record, or
// while a record it depends on is missing or not locked; otherwise, when one
// of its pages suits the current device (pad connected: controller, else
// keyboard), "QueueTutorial"(TutorialRecord*) hands it to the UI, which
// calls MarkShown after its last page; with no page for the device the
// record counts as done and is locked.
//
// Threads: files are read on the background loader while the main thread
// handles messages, so the table is guarded by a lock. A record stays at its
// address until a later file replaces it or the manager goes.

#include "engine/core/GenericManager.h"
#include "engine/platform/SubscriptionList.h"
#include "engine/world/TutorialRecord.h"

#include <map>
#include <mutex>
#include <string>

namespace Ostrel {

class TutorialManager : public GenericAssetManager<TutorialManager, TutorialRecord> {
public:
    TutorialManager() = default;
    ~TutorialManager() override;

    void Connect();
    void Disconnect();

    // Reads every record of the text (source names it in log lines); a
    // record replaces an earlier one of its name (logged). A text holding
    // bytes no text file has is refused whole; a record cut short, without
    // its "{" or with a malformed number is refused and ends the reading
    // there; values out of range, unknown words and scenes no scene file
    // holds are logged. Answers the number of records taken.
    int LoadText(const std::string& text, const std::string& source);
    void LoadFile(const std::string& path);
    // Logs every dependency that names no record (or the record itself),
    // with the file of the record: such a prompt can never show. Run once
    // every tutorial file is read.
    void ReportUnknownDependencies() const;

    TutorialRecord* FindRecord(const std::string& name) const;
    bool IsActive() const { return m_active; }
    bool IsPadConnected() const { return m_padConnected; }

    void OnShowTutorial(std::string* name);
    void OnLockTutorial(std::string* name);
    void OnUnlockTutorial(std::string* name);
    void OnUnlockAllTutorials();
    void OnSetTutorialsActive(bool active);
    void OnControllerChanged(bool connected);

private:
    void File(const std::string& name, std::unique_ptr<TutorialRecord> record, const std::string& source);

    mutable std::mutex m_mutex;
    std::map<std::string, std::string> m_sources;  // record name -> the file it came from
    SubscriptionList m_subscriptions;
    bool m_active = true;
    bool m_padConnected = false;
};

// The TUTORIAL resource loader.
void LoadTutorialFile(const std::string& path);
// Checks, once the TUTORIAL kind is loaded, that every dependency is defined.
void CheckTutorialDependencies();

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::TutorialManager);
