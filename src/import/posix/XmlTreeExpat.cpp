#include "import/XmlTree.h"

#include <expat.h>

#include <memory>

namespace qb {

namespace {

struct TreeBuilder {
    XML_Parser parser;
    XmlElement root;
    std::vector<XmlElement*> open;  // the path from the root to the element being read
    std::string tooDeep;            // why the parse was stopped
};

void XMLCALL startElement(void* data, const XML_Char* name, const XML_Char** attributes)
{
    auto& builder = *static_cast<TreeBuilder*>(data);
    if (builder.open.size() >= kMaxXmlDepth) {
        builder.tooDeep = tooDeepMessage(XML_GetCurrentLineNumber(builder.parser));
        XML_StopParser(builder.parser, XML_FALSE);
        return;
    }
    XmlElement* element = &builder.root;
    if (!builder.open.empty())
        element = &builder.open.back()->children.emplace_back();
    element->name = name;
    for (size_t i = 0; attributes[i]; i += 2)
        element->attributes.emplace_back(attributes[i], attributes[i + 1]);
    builder.open.push_back(element);
}

void XMLCALL endElement(void* data, const XML_Char*)
{
    // A stopped parser still ends the empty element it was stopped at.
    auto& builder = *static_cast<TreeBuilder*>(data);
    if (builder.tooDeep.empty())
        builder.open.pop_back();
}

void XMLCALL characterData(void* data, const XML_Char* text, int length)
{
    auto& builder = *static_cast<TreeBuilder*>(data);
    if (!builder.open.empty())
        builder.open.back()->text.append(text, static_cast<size_t>(length));
}

}  // namespace

XmlElement parseXml(std::string_view bytes)
{
    std::unique_ptr<XML_ParserStruct, void (*)(XML_Parser)> parser(XML_ParserCreate(nullptr), XML_ParserFree);
    if (!parser)
        throw XmlError("out of memory");
    TreeBuilder builder{parser.get(), {}, {}, {}};
    XML_SetUserData(parser.get(), &builder);
    XML_SetElementHandler(parser.get(), startElement, endElement);
    XML_SetCharacterDataHandler(parser.get(), characterData);
    if (XML_Parse(parser.get(), bytes.data(), static_cast<int>(bytes.size()), XML_TRUE) == XML_STATUS_ERROR) {
        if (!builder.tooDeep.empty())
            throw XmlError(builder.tooDeep);
        throw XmlError(std::string(XML_ErrorString(XML_GetErrorCode(parser.get()))) + " at line " +
                       std::to_string(XML_GetCurrentLineNumber(parser.get())));
    }
    return std::move(builder.root);
}

}  // namespace qb
