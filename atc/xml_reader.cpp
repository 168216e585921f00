// Tested by tests/atc/xml_reader_test.cpp; fuzzed by xml_reader_fuzzer.
#include "atc/xml_reader.h"

#include <cstring>
#include <deque>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/atomic_file.h"

struct XmlElement {
    enum class Kind : char { Child, Text, Verbatim, Attribute };
    std::string name;
    bool declaration = false;
    XmlElement* parent = nullptr;
    std::vector<XmlElement*> children;
    std::vector<std::string> texts;
    std::vector<std::string> verbatims;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<Kind> order;
};

// Every element of a tree lives here, flat, so tearing down a deep tree
// never recurses.
struct XmlDocument {
    std::deque<XmlElement> elements;
    XmlElement* Make(XmlElement* parent) {
        elements.emplace_back();
        elements.back().parent = parent;
        return &elements.back();
    }
};

namespace {

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Decodes the five named entities and numeric references. A reference up to
// 255 is that one byte; a larger one becomes its UTF-8 bytes, as the rest of
// the text is UTF-8.
bool DecodeEntities(std::string_view text, std::string& out) {
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        size_t semi = text.find(';', i);
        if (semi == std::string_view::npos || semi - i > 12) return false;
        std::string_view entity = text.substr(i + 1, semi - i - 1);
        if (entity == "amp") {
            out += '&';
        } else if (entity == "lt") {
            out += '<';
        } else if (entity == "gt") {
            out += '>';
        } else if (entity == "quot") {
            out += '"';
        } else if (entity == "apos") {
            out += '\'';
        } else if (entity.size() >= 2 && entity[0] == '#') {
            bool hex = entity[1] == 'x' || entity[1] == 'X';
            std::string_view digits = entity.substr(hex ? 2 : 1);
            if (digits.empty()) return false;
            uint32_t code = 0;
            for (char c : digits) {
                int d = -1;
                if (c >= '0' && c <= '9')
                    d = c - '0';
                else if (hex && c >= 'a' && c <= 'f')
                    d = c - 'a' + 10;
                else if (hex && c >= 'A' && c <= 'F')
                    d = c - 'A' + 10;
                if (d < 0) return false;
                code = code * (hex ? 16 : 10) + static_cast<uint32_t>(d);
                if (code > 0x10FFFF) return false;
            }
            if (code == 0 || (code >= 0xD800 && code <= 0xDFFF)) return false;
            if (code <= 0xFF) {
                out += static_cast<char>(code);
            } else {
                AppendUtf8(out, code);
            }
        } else {
            return false;
        }
        i = semi;
    }
    return true;
}

struct Verbatim {
    const char* opener;
    const char* closer;
};
constexpr Verbatim kVerbatims[] = {
    {"<![CDATA[", "]]>"}, {"<!DOCTYPE", ">"}, {"<PRE>", "</PRE>"}, {"<Script>", "</Script>"}, {"<!--", "-->"},
};

class Parser {
public:
    Parser(std::string_view text, XmlDocument& document) : m_text(text), m_document(document) {}

    // Parses everything under a nameless top element; returns it.
    XmlElement* Run(XmlResult& result) {
        XmlElement* top = m_document.Make(nullptr);
        m_stack.push_back(top);
        int code = Content();
        if (code == kXmlOk && m_stack.size() > 1) code = kXmlMissingEndTag;
        if (code == kXmlOk && m_missingEndAt) {
            code = kXmlMissingEndTag;
            m_pos = *m_missingEndAt;
        }
        result.code = code;
        if (code != kXmlOk) Locate(result);
        return top;
    }

private:
    bool At(std::string_view s) const { return m_text.substr(m_pos, s.size()) == s; }
    bool AtEnd() const { return m_pos >= m_text.size(); }
    void SkipBlanks() {
        while (!AtEnd() && IsBlank(m_text[m_pos])) ++m_pos;
    }
    bool WordChar() const {
        char c = m_text[m_pos];
        return !IsBlank(c) && c != '<' && c != '>' && c != '=' && !At("/>");
    }
    std::string_view Word() {
        size_t start = m_pos;
        while (!AtEnd() && WordChar()) ++m_pos;
        return m_text.substr(start, m_pos - start);
    }

    void Locate(XmlResult& result) const {
        result.line = 1;
        result.column = 1;
        for (size_t i = 0; i < m_pos && i < m_text.size(); ++i) {
            if (m_text[i] == '\n') {
                ++result.line;
                result.column = 1;
            } else {
                ++result.column;
            }
        }
    }

    XmlElement* Current() { return m_stack.back(); }

    int Content() {
        for (;;) {
            size_t start = m_pos;
            while (!AtEnd() && m_text[m_pos] != '<') ++m_pos;
            if (m_pos > start) {
                std::string_view raw = m_text.substr(start, m_pos - start);
                size_t first = raw.find_first_not_of(" \t\r\n");
                if (first != std::string_view::npos) {
                    raw = raw.substr(first, raw.find_last_not_of(" \t\r\n") - first + 1);
                    std::string decoded;
                    if (!DecodeEntities(raw, decoded)) {
                        m_pos = start + first;
                        return kXmlBadEntity;
                    }
                    Current()->texts.push_back(std::move(decoded));
                    Current()->order.push_back(XmlElement::Kind::Text);
                }
            }
            if (AtEnd()) return kXmlOk;
            int code = Markup();
            if (code != kXmlOk) return code;
        }
    }

    int Markup() {
        for (const Verbatim& v : kVerbatims) {
            if (!At(v.opener)) continue;
            size_t close = m_text.find(v.closer, m_pos + std::strlen(v.opener));
            if (close == std::string_view::npos) return kXmlUnclosedVerbatim;
            size_t end = close + std::strlen(v.closer);
            Current()->verbatims.emplace_back(m_text.substr(m_pos, end - m_pos));
            Current()->order.push_back(XmlElement::Kind::Verbatim);
            m_pos = end;
            return kXmlOk;
        }
        if (At("</")) return EndTag();
        bool declaration = At("<?");
        m_pos += declaration ? 2 : 1;
        std::string_view name = AtEnd() ? std::string_view() : Word();
        if (name.empty()) return kXmlNoTagName;
        if (m_stack.size() > static_cast<size_t>(kXmlMaxDepth)) return kXmlTooDeep;
        XmlElement* element = m_document.Make(Current());
        element->name = std::string(name);
        element->declaration = declaration;
        Current()->children.push_back(element);
        Current()->order.push_back(XmlElement::Kind::Child);
        return Attributes(*element);
    }

    int Attributes(XmlElement& element) {
        for (;;) {
            SkipBlanks();
            if (AtEnd()) return kXmlUnexpectedToken;
            if (At("/>")) {
                m_pos += 2;
                return kXmlOk;
            }
            if (m_text[m_pos] == '>') {
                ++m_pos;
                // A declaration has no content.
                if (!element.declaration) m_stack.push_back(&element);
                return kXmlOk;
            }
            if (m_text[m_pos] == '<' || m_text[m_pos] == '=' || m_text[m_pos] == '"' || m_text[m_pos] == '\'')
                return kXmlUnexpectedToken;
            std::string name(Word());
            if (element.declaration && DropClosingQuestionMark(name) && name.empty()) continue;
            std::string value;
            SkipBlanks();
            if (!AtEnd() && m_text[m_pos] == '=') {
                ++m_pos;
                SkipBlanks();
                if (AtEnd()) return kXmlUnexpectedToken;
                std::string_view raw;
                char quote = m_text[m_pos];
                if (quote == '"' || quote == '\'') {
                    size_t close = m_text.find_first_of(std::string{quote, '<'}, m_pos + 1);
                    if (close == std::string_view::npos || m_text[close] == '<') {
                        raw = m_text.substr(m_pos, 1);  // a lone quote
                        ++m_pos;
                    } else {
                        raw = m_text.substr(m_pos + 1, close - m_pos - 1);
                        m_pos = close + 1;
                    }
                } else {
                    if (!WordChar()) return kXmlUnexpectedToken;
                    raw = Word();
                    std::string word(raw);
                    if (element.declaration) DropClosingQuestionMark(word);
                    raw = raw.substr(0, word.size());
                }
                if (!DecodeEntities(raw, value)) return kXmlBadEntity;
            }
            element.attributes.emplace_back(std::move(name), std::move(value));
            element.order.push_back(XmlElement::Kind::Attribute);
        }
    }

    // In a declaration, a "?" right before the closing ">" is not part of the word.
    bool DropClosingQuestionMark(std::string& word) const {
        if (word.empty() || word.back() != '?' || AtEnd() || m_text[m_pos] != '>') return false;
        word.pop_back();
        return true;
    }

    int EndTag() {
        m_pos += 2;
        std::string_view name = AtEnd() ? std::string_view() : Word();
        SkipBlanks();
        if (name.empty() || AtEnd() || m_text[m_pos] != '>') return kXmlBadEndTag;
        ++m_pos;
        for (size_t i = m_stack.size(); i-- > 1;) {
            if (!SameName(m_stack[i]->name, name)) continue;
            if (i + 1 < m_stack.size() && !m_missingEndAt) m_missingEndAt = m_pos;
            m_stack.resize(i);
            return kXmlOk;
        }
        return kXmlUnmatchedEndTag;
    }

    std::string_view m_text;
    XmlDocument& m_document;
    size_t m_pos = 0;
    std::vector<XmlElement*> m_stack;
    std::optional<size_t> m_missingEndAt;
};

// The first element of that name among the children, looking into
// declarations met on the way.
const XmlElement* FindElement(const XmlElement* in, const char* name, int depth = 0) {
    for (const XmlElement* child : in->children) {
        if (SameName(child->name, name)) return child;
        if (child->declaration && depth < kXmlMaxDepth) {
            if (const XmlElement* found = FindElement(child, name, depth + 1)) return found;
        }
    }
    return nullptr;
}

enum class WideText { No, Converted, Broken };

// UTF-16 (either byte order, with or without its mark) to UTF-8. Text
// without such signs is left alone.
WideText ConvertWideText(std::string& bytes) {
    const auto b = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])); };
    if (bytes.size() < 2) return WideText::No;
    bool little;
    size_t skip = 0;
    if (b(0) == 0xFF && b(1) == 0xFE) {
        little = true;
        skip = 2;
    } else if (b(0) == 0xFE && b(1) == 0xFF) {
        little = false;
        skip = 2;
    } else if (b(0) != 0 && b(1) == 0) {
        little = true;
    } else if (b(0) == 0 && b(1) != 0) {
        little = false;
    } else {
        return WideText::No;
    }
    if ((bytes.size() - skip) % 2 != 0) return WideText::Broken;
    const auto unitAt = [&](size_t i) {
        return little ? (b(i) | (b(i + 1) << 8)) : ((b(i) << 8) | b(i + 1));
    };
    std::string out;
    for (size_t i = skip; i + 1 < bytes.size(); i += 2) {
        uint32_t unit = unitAt(i);
        if (unit >= 0xDC00 && unit <= 0xDFFF) return WideText::Broken;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 3 >= bytes.size()) return WideText::Broken;
            uint32_t low = unitAt(i + 2);
            if (low < 0xDC00 || low > 0xDFFF) return WideText::Broken;
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        AppendUtf8(out, unit);
    }
    bytes = std::move(out);
    return WideText::Converted;
}

}  // namespace

XmlNode XmlNode::ParseString(const char* text, const char* element, XmlResult& result) {
    result = XmlResult{};
    if (!text) {
        result.code = kXmlNoText;
        return {};
    }
    auto document = std::make_shared<XmlDocument>();
    Parser parser(text, *document);
    const XmlElement* found = parser.Run(result);
    if (result.code != kXmlOk && result.code != kXmlMissingEndTag) return {};
    if (found->order.size() == 1 && found->children.size() == 1) found = found->children[0];
    if (element && (found->parent == nullptr || !SameName(found->name, element))) {
        found = FindElement(found, element);
        if (!found) {
            result = XmlResult{kXmlElementNotFound, 0, 0};
            return {};
        }
    }
    return XmlNode(std::move(document), found);
}

XmlNode XmlNode::ParseFile(const std::string& path, const char* element, XmlResult& result) {
    result = XmlResult{};
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        result.code = kXmlCannotOpen;
        return {};
    }
    if (bytes.empty()) {
        result.code = kXmlEmptyFile;
        return {};
    }
    WideText wide = ConvertWideText(bytes);
    if (wide == WideText::Broken) {
        result.code = kXmlBadEncoding;
        return {};
    }
    if (wide == WideText::No && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    // A NUL ends the text, as it would a C string.
    return ParseString(bytes.c_str(), element, result);
}

int XmlNode::CountChildren(const std::string& name) const {
    if (!m_element) return 0;
    int count = 0;
    for (const XmlElement* child : m_element->children) count += SameName(child->name, name);
    return count;
}

XmlNode XmlNode::GetChild(const std::string& name, int& index) const {
    if (!m_element || index < 0) return {};
    for (size_t i = static_cast<size_t>(index); i < m_element->children.size(); ++i) {
        if (SameName(m_element->children[i]->name, name)) {
            index = static_cast<int>(i) + 1;
            return XmlNode(m_document, m_element->children[i]);
        }
    }
    return {};
}

XmlNode XmlNode::GetChildAt(int i) const {
    if (!m_element || i < 0 || static_cast<size_t>(i) >= m_element->children.size()) return {};
    return XmlNode(m_document, m_element->children[static_cast<size_t>(i)]);
}

bool XmlNode::HasAttribute(const std::string& name) const {
    int index = 0;
    return GetAttribute(name, index) != nullptr;
}

const std::string* XmlNode::GetAttribute(const std::string& name, int& index) const {
    if (!m_element || index < 0) return nullptr;
    for (size_t i = static_cast<size_t>(index); i < m_element->attributes.size(); ++i) {
        if (SameName(m_element->attributes[i].first, name)) {
            index = static_cast<int>(i) + 1;
            return &m_element->attributes[i].second;
        }
    }
    return nullptr;
}

std::string XmlNode::Attribute(const std::string& name, const std::string& fallback) const {
    int index = 0;
    const std::string* value = GetAttribute(name, index);
    return value ? *value : fallback;
}

std::string XmlNode::GetName() const { return m_element ? m_element->name : ""; }
bool XmlNode::IsDeclaration() const { return m_element && m_element->declaration; }
int XmlNode::ChildCount() const { return m_element ? static_cast<int>(m_element->children.size()) : 0; }
int XmlNode::EntryCount() const { return m_element ? static_cast<int>(m_element->order.size()) : 0; }
int XmlNode::TextCount() const { return m_element ? static_cast<int>(m_element->texts.size()) : 0; }
std::string XmlNode::GetText(int i) const {
    if (!m_element || i < 0 || static_cast<size_t>(i) >= m_element->texts.size()) return "";
    return m_element->texts[static_cast<size_t>(i)];
}
