// XmlLite is part of Windows, but MinGW-w64 has no import library for it:
// the reader is looked up in xmllite.dll at run time.
#include "import/XmlTree.h"

#include "handles/Handles.h"
#include "handles/WideText.h"

#include <shlwapi.h>
#include <xmllite.h>

namespace qb {

namespace {

using CreateXmlReaderFunction = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);

std::string utf8(const WCHAR* text, UINT length)
{
    return length ? win::fromWide({text, length}, CP_UTF8) : std::string();
}

UINT lineOf(IXmlReader* reader)
{
    UINT line = 0;
    if (reader)
        reader->GetLineNumber(&line);
    return line;
}

void check(HRESULT result, IXmlReader* reader)
{
    if (SUCCEEDED(result))
        return;
    char code[16];
    wsprintfA(code, "0x%08lX", static_cast<unsigned long>(result));
    throw XmlError(std::string("not well-formed XML (") + code + ") at line " + std::to_string(lineOf(reader)));
}

std::string qualifiedName(IXmlReader* reader)
{
    const WCHAR* name = nullptr;
    UINT length = 0;
    check(reader->GetQualifiedName(&name, &length), reader);
    return utf8(name, length);
}

std::string value(IXmlReader* reader)
{
    const WCHAR* text = nullptr;
    UINT length = 0;
    check(reader->GetValue(&text, &length), reader);
    return utf8(text, length);
}

}  // namespace

XmlElement parseXml(std::string_view bytes)
{
    win::Module library(LoadLibraryA("xmllite.dll"));
    auto create = library ? reinterpret_cast<CreateXmlReaderFunction>(
                                reinterpret_cast<void*>(GetProcAddress(library, "CreateXmlReader")))
                          : nullptr;
    if (!create)
        throw XmlError("the system's XML reader (xmllite.dll) is not available");
    win::ComPtr<IStream> stream(
        SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())));
    win::ComPtr<IXmlReader> reader;
    if (!stream || FAILED(create(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.put()), nullptr)))
        throw XmlError("the system's XML reader could not be started");
    check(reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit), reader.get());
    // Deeper than ours, so that our limit and its plain message come first.
    check(reader->SetProperty(XmlReaderProperty_MaxElementDepth, kMaxXmlDepth + 1), reader.get());
    check(reader->SetInput(stream.get()), reader.get());

    XmlElement root;
    std::vector<XmlElement*> open;  // the path from the root to the element being read
    bool seenRoot = false;
    XmlNodeType type;
    HRESULT result;
    while ((result = reader->Read(&type)) == S_OK) {
        switch (type) {
        case XmlNodeType_Element: {
            if (open.size() >= kMaxXmlDepth)
                throw XmlError(tooDeepMessage(lineOf(reader.get())));
            XmlElement* element = &root;
            if (!open.empty())
                element = &open.back()->children.emplace_back();
            seenRoot = true;
            element->name = qualifiedName(reader.get());
            bool empty = reader->IsEmptyElement();
            for (HRESULT more = reader->MoveToFirstAttribute(); more == S_OK; more = reader->MoveToNextAttribute())
                element->attributes.emplace_back(qualifiedName(reader.get()), value(reader.get()));
            if (!empty)
                open.push_back(element);
            break;
        }
        case XmlNodeType_EndElement:
            if (!open.empty())
                open.pop_back();
            break;
        case XmlNodeType_Text:
        case XmlNodeType_CDATA:
        case XmlNodeType_Whitespace:
            if (!open.empty())
                open.back()->text += value(reader.get());
            break;
        default: break;
        }
    }
    check(result, reader.get());
    if (!seenRoot)
        throw XmlError("no XML element found");
    return root;
}

}  // namespace qb
