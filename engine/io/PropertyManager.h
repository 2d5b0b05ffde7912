#pragma once
// Property pages: the game's data tables (drops, boss splits, colours, bar
// fills...) as named sets of name/value texts, one page per "xpro" file,
// named after the file's lower-case base name. Game code selects a page and
// reads its values as text or int, or lists its names to walk a table.
//
// One manager per run, made by each main; while it exists Instance() names
// it. Pages are filled by LoadPropertyAsset, the PROPERTY kind's loader, on
// the loading thread: every operation takes the manager's lock.

#include "engine/io/PropertyPage.h"

#include <mutex>
#include <string>
#include <vector>

namespace Ostrel {

class PropertyManager {
public:
    PropertyManager();
    ~PropertyManager();
    PropertyManager(const PropertyManager&) = delete;
    PropertyManager& operator=(const PropertyManager&) = delete;

    // The run's manager; logs and answers null when none was made.
    static PropertyManager* Instance();

    // The page of that name, created empty when absent. The reference stays
    // valid for the manager's life.
    PropertyPage& AddPage(const std::string& pageName);

    // Adds the values to the page (created when absent); names already in the
    // page keep their value.
    void AddProperties(const std::string& pageName, const PropertyPage& values);
    // The file a page was read from (the first one, when several fill it),
    // for log lines about its values; empty for a page made in memory.
    void SetPageSource(const std::string& pageName, const std::string& path);
    std::string GetPageSource(const std::string& pageName) const;

    // Selects the page when it exists; an unknown name changes nothing.
    void SelectPage(const std::string& pageName);
    const std::string& GetSelectedPageName() const { return m_selectedName; }

    // One value of a named page, independent of the selection. Missing page
    // or property: logged, false, value unchanged.
    bool GetPageProperty(const std::string& pageName, const std::string& name, std::string& value) const;
    // A value of the selected page. Missing (or nothing selected): logged,
    // false, value unchanged.
    bool GetProperty(const std::string& name, std::string& value) const;
    // GetProperty, then the text as an int (0 when it is no number; the
    // answer is still true).
    bool GetPropertyInt(const std::string& name, int& value) const;
    // Appends the selected page's names in byte-wise order (none when nothing
    // is selected).
    void GetPropertyNames(std::vector<std::string>& names) const;

private:
    std::map<std::string, PropertyPage> m_pages;
    std::map<std::string, std::string> m_sources;
    const PropertyPage* m_selected = nullptr;
    std::string m_selectedName = "NO PAGE SELECTED";
    mutable std::mutex m_mutex;
};

// The PROPERTY kind's load callback: fills the page named after the file's
// lower-case base name; values already in the page stay.
void LoadPropertyAsset(const std::string& path);

}  // namespace Ostrel
