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

}  // namespace qb
