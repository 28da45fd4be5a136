#include "import/XmlTree.h"

namespace qb {

const std::string* XmlElement::attribute(std::string_view attributeName) const
{
    for (const auto& [name, value] : attributes) {
        if (name == attributeName)
            return &value;
    }
    return nullptr;
}

const XmlElement* XmlElement::child(std::string_view childName) const
{
    for (const XmlElement& element : children) {
        if (element.name == childName)
            return &element;
    }
    return nullptr;
}

std::string tooDeepMessage(unsigned long line)
{
    return "elements nested more than " + std::to_string(kMaxXmlDepth) + " deep at line " + std::to_string(line);
}

}  // namespace qb
