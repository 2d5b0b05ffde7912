#include "engine/io/XmlNestingDepth.h"

#include "engine/io/XmlDocumentFile.h"
#include "tests/fuzz/XmlTreeDepth.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>

namespace Ostrel {
namespace {

std::string Nested(int levels) {
    std::string text;
    for (int i = 0; i < levels; ++i) text += "<a>";
    return text;
}

// Each construct where a tidy XML reading and TinyXML's part ways: the
// guard must give the depth TinyXML really reaches (checked against the
// tree it builds), not the depth a well-formed reading would see.
TEST(XmlNestingDepth, FollowsTinyXmlThroughEveryKindOfNode) {
    struct Case {
        const char* what;
        std::string text;
        std::size_t depth;
    };
    const Case cases[] = {
        {"empty text", "", 0},
        {"one empty element", "<a/>", 1},
        {"closed and unclosed", "<a><b><c/></b></a><d>", 3},
        {"cut off in a start tag", "<a><a><a", 3},
        {"quote after '<' is an unknown node up to '>'", "<r><\">" + Nested(300), 301},
        {"digit after '<' likewise", "<r><1>" + Nested(300), 301},
        {"blank after '<' likewise", "<r>< a>" + Nested(2), 3},
        {"comment hides tags", "<r><!-- <a><a> --><b/></r>", 2},
        {"unterminated comment", "<r><!-- <a><a>", 1},
        {"CDATA hides tags", "<r><![CDATA[<a><a>]]><b/></r>", 2},
        {"processing instruction ends at its first '>'", "<r><?pi <a><a> ?><b/></r>", 3},
        {"DOCTYPE ends at its first '>', the rest ends the document",
         "<!DOCTYPE r [ <!ELEMENT r ANY> ]><r><a/></r>", 0},
        {"quoted attribute holding '<'", "<r x=\"<a><a>\" y='>'><b/></r>", 2},
        {"unquoted attribute holding '<'", "<r x=<a>><b/></r>", 2},
        {"character reference reaching over tags", "<r>&#x<a><a>x1;<b/></r>", 2},
        {"character reference in an attribute", "<r x='&#x'><c><c>x;'><b/></r>", 2},
        {"duplicate attribute stops the parse", "<r a='1' a='2'><b><c/></b></r>", 1},
        {"text after the first top-level node ends the document", "<a/>junk" + Nested(300), 1},
        {"UTF-8 lead byte swallows the next '<'", "<?xml version='1.0'?><r>\xC3<a/></r>", 1},
        {"declared legacy encoding reads bytes singly", "<?xml version='1.0' encoding='latin1'?><r>\xC3<a/></r>", 2},
        {"byte-order marks are white space", "\xEF\xBB\xBF<r><\xEF\xBB\xBF" "a/></r>", 2},
        {"end tag matched as a prefix", "<r><ab></a></r>", 2},
    };
    for (const Case& c : cases) {
        TiXmlDocument document;
        const std::string padded = c.text + std::string(64, '\0');
        document.Parse(padded.c_str());
        EXPECT_EQ(Fuzz::XmlTreeDepth(document), c.depth) << c.what << " (TinyXML)";
        EXPECT_EQ(MeasureXmlDepth(c.text), c.depth) << c.what;
    }
}

TEST(XmlNestingDepth, RefusesTheStackBreakingSettingsFile) {
    // Crashed all three programs at start-up when it was UserConfig.xcfg.
    const std::string text = "<UserSettings><\">" + Nested(200000);
    TiXmlDocument document;
    std::string why;
    EXPECT_FALSE(ParseXmlText(document, text.c_str(), &why));
    EXPECT_EQ(why, "elements nested 200001 levels deep (at most 256 are read)");
    EXPECT_EQ(document.FirstChild(), nullptr);
}

}  // namespace
}  // namespace Ostrel
