#include "engine/io/PropertyManager.h"

#include "XmlTestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Ostrel {
namespace {

TEST(PropertyManager, TestPageKeepsFirstValuesAndListsNamesInOrder) {
    PropertyManager manager;
    const std::string path = XmlTest::WriteFile("Test-Page.xpro", "<b>2</b><a>1</a><c>x</c><a>9</a>");
    LoadPropertyAsset(path);
    const std::string again = XmlTest::WriteFile("test-page.XPRO", "<a>7</a><d>4</d>");
    LoadPropertyAsset(again);  // a second load keeps the values of the first

    EXPECT_EQ(manager.GetSelectedPageName(), "NO PAGE SELECTED");
    manager.SelectPage("test-page");
    EXPECT_EQ(manager.GetSelectedPageName(), "test-page");
    std::vector<std::string> names;
    manager.GetPropertyNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "c", "d"}));
    std::string value;
    EXPECT_TRUE(manager.GetProperty("a", value));
    EXPECT_EQ(value, "1");
    int number = -1;
    EXPECT_TRUE(manager.GetPropertyInt("b", number));
    EXPECT_EQ(number, 2);
    EXPECT_TRUE(manager.GetPropertyInt("c", number)) << "a text that is no number still answers true";
    EXPECT_EQ(number, 0);
    EXPECT_TRUE(manager.GetPageProperty("test-page", "d", value));
    EXPECT_EQ(value, "4");
}

TEST(PropertyManager, MissingPagesAndPropertiesAnswerFalseAndKeepTheValue) {
    PropertyManager manager;
    manager.AddPage("drops")["bat"] = "heart";
    std::string value = "unchanged";
    int number = 5;
    std::vector<std::string> names;
    {
        XmlTest::LogCapture log;
        EXPECT_FALSE(manager.GetProperty("bat", value)) << "nothing selected yet";
        EXPECT_FALSE(manager.GetPropertyInt("bat", number));
        manager.GetPropertyNames(names);
        EXPECT_TRUE(names.empty());
        EXPECT_FALSE(manager.GetPageProperty("nowhere", "bat", value));
        EXPECT_FALSE(manager.GetPageProperty("drops", "rat", value));
        EXPECT_EQ(log.Text(),
                  "Could not find property 'bat' in page 'NO PAGE SELECTED'."
                  "Could not find property 'bat' in page 'NO PAGE SELECTED'."
                  "Could not find property page 'nowhere'.\n"
                  "Could not find property 'rat' in page 'drops'.\n");
    }
    EXPECT_EQ(value, "unchanged");
    EXPECT_EQ(number, 5);

    manager.SelectPage("drops");
    manager.SelectPage("nowhere");
    EXPECT_EQ(manager.GetSelectedPageName(), "drops") << "an unknown page keeps the selection";
    EXPECT_TRUE(manager.GetProperty("bat", value));
    EXPECT_EQ(value, "heart");
}

TEST(PropertyManager, SampleTestPage) {
    PropertyManager manager;
    LoadPropertyAsset(std::string(LV_SOURCE_DIR) + "/rsc/pages/test-page.xpro");
    manager.SelectPage("test-page");
    std::vector<std::string> names;
    manager.GetPropertyNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "c"}));
    std::string a;
    EXPECT_TRUE(manager.GetProperty("a", a));
    EXPECT_EQ(a, "1");
}

TEST(PropertyManager, InstanceIsNullWithoutAManager) {
    XmlTest::LogCapture log;
    EXPECT_EQ(PropertyManager::Instance(), nullptr);
    EXPECT_EQ(log.Text(), "PropertyManager was never instantiated.\nDid you forget to make one?\n");
    LoadPropertyAsset(XmlTest::WriteFile("orphan.xpro", "<a>1</a>"));  // logged, nothing else
    PropertyManager manager;
    EXPECT_EQ(PropertyManager::Instance(), &manager);
}

}  // namespace
}  // namespace Ostrel
