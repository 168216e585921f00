// A small, forgiving XML reader: loads a whole document into a tree of
// elements and answers lookups by element and attribute name, ignoring
// letter case. It takes elements, attributes, text, declarations, comments
// and a few verbatim sections, decodes character entities, and tolerates
// missing end tags. The oceanic tracks download reads its document with it.
// Tested by tests/atc/xml_reader_test.cpp; fuzzed by xml_reader_fuzzer.
#pragma once

#include <memory>
#include <string>

// Result codes of a parse.
enum XmlError {
    kXmlOk = 0,
    kXmlMissingEndTag = 1,  // not fatal: the tree is still returned
    kXmlEmptyFile = 2,
    kXmlNoTagName = 4,
    kXmlBadEndTag = 5,
    kXmlUnmatchedEndTag = 7,
    kXmlUnclosedVerbatim = 8,
    kXmlUnexpectedToken = 9,
    kXmlNoText = 11,
    kXmlCannotOpen = 12,
    kXmlElementNotFound = 13,
    kXmlBadEntity = 14,
    kXmlBadEncoding = 15,
    kXmlTooDeep = 16,  // more nested elements than kXmlMaxDepth
};

// Deeper nesting than this is refused, so a hostile document cannot make
// the tree (and its teardown) arbitrarily deep.
inline constexpr int kXmlMaxDepth = 256;

struct XmlResult {
    int code = kXmlOk;
    int line = 0;    // from 1, where parsing stopped; 0 without an error
    int column = 0;  // from 1
};

struct XmlDocument;
struct XmlElement;

// A handle to an element of a parsed tree, or empty. Handles share the
// tree: it goes when the last handle to any of its elements goes. Lookups
// on an empty handle give zero, null and empty handles.
class XmlNode {
public:
    XmlNode() = default;

    // Loads a file (UTF-8, or UTF-16 with or without a byte-order mark) and
    // returns the element with that name (nullptr: the document's root).
    static XmlNode ParseFile(const std::string& path, const char* element, XmlResult& result);
    // The same on text in memory; a null text is code 11.
    static XmlNode ParseString(const char* text, const char* element, XmlResult& result);

    // Drops this handle's share of the tree.
    void Release() { *this = XmlNode(); }
    bool IsEmpty() const { return m_element == nullptr; }

    int CountChildren(const std::string& name) const;
    // The next child element of that name at or after index; index is then
    // set behind it. Empty when there is none.
    XmlNode GetChild(const std::string& name, int& index) const;
    XmlNode GetChildAt(int i) const;
    bool HasAttribute(const std::string& name) const;
    // The value of the next attribute of that name at or after index (index
    // then behind it); null when there is none. An attribute written
    // without "=" has the empty value. Valid while a handle holds the tree.
    const std::string* GetAttribute(const std::string& name, int& index) const;
    // The first value of that attribute, or fallback.
    std::string Attribute(const std::string& name, const std::string& fallback = "") const;
    std::string GetName() const;
    bool IsDeclaration() const;
    int ChildCount() const;
    // Children, text pieces, verbatim sections and attributes together.
    int EntryCount() const;
    int TextCount() const;
    std::string GetText(int i) const;

private:
    XmlNode(std::shared_ptr<XmlDocument> document, const XmlElement* element)
        : m_document(std::move(document)), m_element(element) {}

    std::shared_ptr<XmlDocument> m_document;
    const XmlElement* m_element = nullptr;
};
