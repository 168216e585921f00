// Fuzz target: arbitrary bytes as an XML document, asked for the tracks
// root, then walked the way the tracks reader walks it. The reader's depth
// limit bounds the tree.
#include <cstddef>
#include <cstdint>
#include <string>

#include "atc/xml_reader.h"

namespace {

int Walk(const XmlNode& node, int depth) {
    int seen = node.EntryCount() + static_cast<int>(node.GetName().size());
    int index = 0;
    while (const std::string* value = node.GetAttribute("id", index)) seen += static_cast<int>(value->size());
    for (int i = 0; i < node.TextCount(); ++i) seen += static_cast<int>(node.GetText(i).size());
    if (depth < 8) {
        for (int i = 0; i < node.ChildCount(); ++i) seen += Walk(node.GetChildAt(i), depth + 1);
    }
    return seen;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    XmlResult result;
    for (const char* element : {"tracks", static_cast<const char*>(nullptr)}) {
        XmlNode root = XmlNode::ParseString(text.c_str(), element, result);
        if (root.IsEmpty() != (result.code != kXmlOk && result.code != kXmlMissingEndTag)) __builtin_trap();
        Walk(root, 0);
    }
    return 0;
}
