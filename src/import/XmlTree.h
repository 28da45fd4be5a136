// A whole XML document as a small tree, read by a well-kept parser (XmlLite
// on Windows, expat elsewhere). Import files are small, so a tree is simpler
// to walk than events.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qb {

// Names, values and text in UTF-8, entities decoded.
struct XmlElement {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string text;  // the character data directly inside, concatenated
    std::vector<XmlElement> children;

    // The attribute's value, or nullptr.
    const std::string* attribute(std::string_view attributeName) const;
    // The first child of that name, or nullptr.
    const XmlElement* child(std::string_view childName) const;
};

class XmlError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// How deep elements may nest. The tree is walked and freed recursively, so
// its depth must be bounded; the files imported nest a few levels per group.
constexpr size_t kMaxXmlDepth = 256;

// The document element. The encoding comes from the BOM and the declaration.
// Throws XmlError, with the parser's message and line, for a document that
// is not well-formed or nests deeper than kMaxXmlDepth.
XmlElement parseXml(std::string_view bytes);

// The message for an element nested deeper than kMaxXmlDepth.
std::string tooDeepMessage(unsigned long line);

}  // namespace qb
