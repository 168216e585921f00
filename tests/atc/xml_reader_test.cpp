#include "atc/xml_reader.h"

#include <gtest/gtest.h>

#include "tests/temp_dir.h"

namespace {

// The tree as compact text: name[attr=value,...](children and "texts").
std::string Dump(const XmlNode& node) {
    if (node.IsEmpty()) return "(empty)";
    std::string out = node.IsDeclaration() ? "?" + node.GetName() : node.GetName();
    std::string attributes;
    for (const char* name : {"a", "b", "id"}) {
        int index = 0;
        while (const std::string* value = node.GetAttribute(name, index))
            attributes += (attributes.empty() ? "" : ",") + std::string(name) + "=" + *value;
    }
    if (!attributes.empty()) out += "[" + attributes + "]";
    std::string inner;
    for (int i = 0; i < node.ChildCount(); ++i)
        inner += (inner.empty() ? "" : " ") + Dump(node.GetChildAt(i));
    for (int i = 0; i < node.TextCount(); ++i)
        inner += (inner.empty() ? "\"" : " \"") + node.GetText(i) + "\"";
    if (!inner.empty()) out += "(" + inner + ")";
    return out;
}

TEST(XmlReaderTest, Table) {
    struct Case {
        const char* name;
        const char* text;
        const char* element;
        int code;
        const char* tree;
    };
    const Case cases[] = {
        {"one element", "<r a='1' b=\"2\"/>", "r", 0, "r[a=1,b=2]"},
        {"names ignore case", "<ROOT><Item ID=x/></root>", "root", 0, "ROOT(Item[id=x])"},
        {"after a declaration", "<?xml version=\"1.0\"?>\n<tracks><track/></tracks>", "tracks", 0,
         "tracks(track)"},
        {"declaration asked for nothing", "<?xml version=\"1.0\"?><r/>", nullptr, 0, "(?xml r)"},
        {"text and entities", "<r>  a &amp; b &lt;&gt;&quot;&apos; </r>", "r", 0, "r(\"a & b <>\"'\")"},
        {"decimal and hex references", "<r>&#65;&#x41;&#X61;</r>", "r", 0, "r(\"AAa\")"},
        {"reference above 255 is UTF-8", "<r>&#8364;</r>", "r", 0, "r(\"\xE2\x82\xAC\")"},
        {"reference up to 255 is one byte", "<r>&#233;</r>", "r", 0, "r(\"\xE9\")"},
        {"unknown entity", "<r>&nbsp;</r>", "r", 14, "(empty)"},
        {"reference out of range", "<r>&#1114112;</r>", "r", 14, "(empty)"},
        {"entity in attribute", "<r a='&lt;x'/>", "r", 0, "r[a=<x]"},
        {"comment and CDATA kept whole", "<r><!-- c --><![CDATA[<x>]]></r>", "r", 0, "r"},
        {"unclosed comment", "<r><!-- c </r>", "r", 8, "(empty)"},
        {"missing end tag keeps the tree", "<r><a><b></r>", "r", 1, "r(a(b))"},
        {"missing end at the end", "<r><a>", "r", 1, "r(a)"},
        {"end tag closing nothing", "<r></x></r>", "r", 7, "(empty)"},
        {"bad end tag", "<r></r", "r", 5, "(empty)"},
        {"no tag name", "< r/>", "r", 4, "(empty)"},
        {"token out of place", "<r a=/>", "r", 9, "(empty)"},
        {"element not found", "<r/>", "tracks", 13, "(empty)"},
        {"attribute without value", "<r a/>", "r", 0, "r[a=]"},
        {"lone quote", "<r a=\"<b/>", "r", 9, "(empty)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        XmlResult result;
        XmlNode node = XmlNode::ParseString(c.text, c.element, result);
        EXPECT_EQ(result.code, c.code);
        EXPECT_EQ(Dump(node), c.tree);
    }
}

TEST(XmlReaderTest, ErrorsSayWhere) {
    XmlResult result;
    XmlNode::ParseString("<r>\n  <a>&bad;</a>\n</r>", "r", result);
    EXPECT_EQ(result.code, 14);
    EXPECT_EQ(result.line, 2);
    EXPECT_EQ(result.column, 6);
    XmlNode::ParseString(nullptr, "r", result);
    EXPECT_EQ(result.code, 11);
}

TEST(XmlReaderTest, NestingDepthIsBounded) {
    std::string deep;
    for (int i = 0; i < kXmlMaxDepth + 10; ++i) deep += "<a>";
    XmlResult result;
    EXPECT_TRUE(XmlNode::ParseString(deep.c_str(), "a", result).IsEmpty());
    EXPECT_EQ(result.code, kXmlTooDeep);
    std::string fine;
    for (int i = 0; i < kXmlMaxDepth - 1; ++i) fine += "<a>";
    EXPECT_FALSE(XmlNode::ParseString(fine.c_str(), "a", result).IsEmpty());
    EXPECT_EQ(result.code, kXmlMissingEndTag);
}

TEST(XmlReaderTest, LookupsAndEmptyHandles) {
    XmlResult result;
    XmlNode root = XmlNode::ParseString("<r><x n='1'/><y/><X n='2' n='3'/></r>", "r", result);
    EXPECT_EQ(root.CountChildren("x"), 2);
    EXPECT_EQ(root.EntryCount(), 3);
    int index = 0;
    XmlNode first = root.GetChild("x", index);
    EXPECT_EQ(first.Attribute("n"), "1");
    XmlNode second = root.GetChild("x", index);
    int at = 0;
    EXPECT_EQ(*second.GetAttribute("N", at), "2");
    EXPECT_EQ(*second.GetAttribute("n", at), "3");
    EXPECT_EQ(second.GetAttribute("n", at), nullptr);
    EXPECT_TRUE(root.GetChild("x", index).IsEmpty());

    root.Release();
    EXPECT_EQ(first.Attribute("n"), "1") << "a handle keeps the tree";
    XmlNode none;
    EXPECT_EQ(none.CountChildren("x"), 0);
    EXPECT_TRUE(none.GetChild("x", index).IsEmpty());
    EXPECT_FALSE(none.HasAttribute("n"));
    EXPECT_EQ(none.ChildCount(), 0);
}

TEST(XmlReaderTest, FilesInEveryEncoding) {
    TempDir dir;
    const std::string utf8 = "<r id='\xC3\xA9'/>";
    dir.Write("utf8.xml", utf8);
    dir.Write("bom8.xml", "\xEF\xBB\xBF" + utf8);
    // The same document in UTF-16 little endian with its mark, and big endian without.
    std::string le = "\xFF\xFE", be;
    for (char c : std::string("<r id='")) {
        le += c, le += '\0';
        be += '\0', be += c;
    }
    le += std::string("\xE9\0'\0/\0>\0", 8);
    be += std::string("\0\xE9\0'\0/\0>", 8);
    dir.Write("le.xml", le);
    dir.Write("be.xml", be);
    for (const char* name : {"utf8.xml", "bom8.xml", "le.xml", "be.xml"}) {
        SCOPED_TRACE(name);
        XmlResult result;
        XmlNode node = XmlNode::ParseFile(dir.File(name), "r", result);
        EXPECT_EQ(result.code, 0);
        EXPECT_EQ(node.Attribute("id"), "\xC3\xA9");
    }
    dir.Write("empty.xml", "");
    dir.Write("odd.xml", std::string("\xFF\xFE<\0r", 5));
    const std::pair<const char*, int> failures[] = {{"empty.xml", 2}, {"missing.xml", 12}, {"odd.xml", 15}};
    for (const auto& [name, code] : failures) {
        XmlResult result;
        EXPECT_TRUE(XmlNode::ParseFile(dir.File(name), "r", result).IsEmpty());
        EXPECT_EQ(result.code, code) << name;
    }
}

}  // namespace
