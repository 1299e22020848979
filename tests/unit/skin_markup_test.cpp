// The engine's XML reader: what layouts may contain, and the message and
// location of each kind of error.
#include <gtest/gtest.h>

#include "skin/Markup.h"

using namespace DuiLib;

namespace {

TEST(Markup, ReadsLayoutDocuments) {
    const wchar_t* doc =
        L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        L"<!DOCTYPE Window [ <!ENTITY x \"y\"> ]>\n"
        L"<Window size=\"640,400\" caption='0,0,0,30'>\n"
        L"  <!-- a comment with <tags> -->\n"
        L"  <Font id=\"0\" name=\"&quot;A&amp;B&quot;\" size=\"12\"/>\n"
        L"  <VerticalLayout>\n"
        L"    <Button text=\"a &nbsp; &lt;b&gt;\" name=\"one\" name=\"two\" />\n"
        L"    <?pi inside?>\n"
        L"  </VerticalLayout>\n"
        L"</Window>\n"
        L"<!-- trailing comment -->\n";
    MarkupNode root;
    MarkupError error;
    ASSERT_TRUE(parseMarkup(doc, root, error)) << error.message << L" " << error.location;
    EXPECT_EQ(L"Window", root.name);
    ASSERT_EQ(2u, root.children.size());
    EXPECT_EQ(L"\"A&B\"", *root.children[0].attribute(L"name"));
    EXPECT_EQ(L"0,0,0,30", *root.attribute(L"CAPTION", true));
    EXPECT_EQ(nullptr, root.attribute(L"CAPTION"));
    const MarkupNode& button = root.children[1].children.at(0);
    ASSERT_EQ(3u, button.attributes.size());  // both "name" attributes, in order
    EXPECT_EQ(L"a &nbsp; <b>", button.attributes[0].second);
    EXPECT_EQ(L"one", button.attributes[1].second);
    EXPECT_EQ(L"two", *button.attribute(L"name"));
}

TEST(Markup, ErrorsCarryMessageAndLocation) {
    const struct {
        const wchar_t* doc;
        const wchar_t* message;
    } cases[] = {
        {L"", L"Expected start tag"},
        {L"text", L"Expected start tag"},
        {L"<1a/>", L"Expected start tag"},
        {L"<a><1b/></a>", L"Error parsing element name"},
        {L"<a><!x></a>", L"Error parsing element name"},
        {L"<a b=\"1\"", L"Expected start-tag closing"},
        {L"<a/ >", L"Expected start-tag closing"},
        {L"<a><!-- x </a>", L"Expected start-tag closing"},
        {L"<a>", L"Expected end-tag start"},
        {L"<a><b></b>", L"Expected end-tag start"},
        {L"<a/><b/>", L"Expected end-tag start"},
        {L"<a></b>", L"Unmatched closing tag"},
        {L"<a/></a>", L"Unmatched closing tag"},
        {L"<a b=\"1\"c=\"2\"/>", L"Error while parsing attributes"},
        {L"<a \"1\"/>", L"Error while parsing attributes"},
        {L"<a b/>", L"Expected attribute value"},
        {L"<a b=1/>", L"Expected attribute value"},
        {L"<a b=\"1/>", L"Error while parsing attribute string"},
    };
    for (const auto& c : cases) {
        MarkupNode root;
        MarkupError error;
        EXPECT_FALSE(parseMarkup(c.doc, root, error)) << testing::PrintToString(c.doc);
        EXPECT_EQ(c.message, error.message) << testing::PrintToString(c.doc);
        EXPECT_FALSE(error.location.empty());
        EXPECT_TRUE(root.name.empty());
    }
}

TEST(Markup, LocationIsLineAndColumn) {
    MarkupNode root;
    MarkupError error;
    ASSERT_FALSE(parseMarkup(L"<Window>\n  <Label text=\"x\"/>\n  <Button text=x/>\n</Window>", root, error));
    EXPECT_EQ(L"Expected attribute value", error.message);
    EXPECT_EQ(L"line 3, column 16", error.location);
}

TEST(Markup, DeepNestingDoesNotExhaustTheStack) {
    std::wstring doc;
    for (int i = 0; i < 200000; ++i) doc += L"<a>";
    MarkupNode root;
    MarkupError error;
    EXPECT_FALSE(parseMarkup(doc, root, error));
    EXPECT_EQ(L"Expected end-tag start", error.message);
}

TEST(Markup, FileTextEncodings) {
    const unsigned char utf8Bom[] = {0xEF, 0xBB, 0xBF, '<', 0xC3, 0xA9, '/', '>'};
    EXPECT_EQ(L"<\u00e9/>", markupText(utf8Bom, sizeof utf8Bom));
    const unsigned char utf16[] = {0xFF, 0xFE, '<', 0, 0xE9, 0, '/', 0, '>', 0};
    EXPECT_EQ(L"<\u00e9/>", markupText(utf16, sizeof utf16));
    EXPECT_EQ(L"", markupText(utf8Bom, 3));
}

}  // namespace
