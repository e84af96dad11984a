#include "util/lirvel_xml.h"

#include "util/lirvel_errors.h"
#include "util/lirvel_file_io.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

// Nothing outside the given bytes is ever read: no external entity, no external DTD, no network.
xmlParserInputPtr RefuseExternalEntity(const char* /*url*/, const char* /*id*/, xmlParserCtxtPtr /*ctxt*/)
{
    return nullptr;
}

void SilentError(void* /*ctx*/, const char* /*msg*/, ...) {}

// What one parse reported besides building the tree. libxml2 lets some faults pass as
// non-fatal errors: an undefined entity in a document with an external subset, bytes that the
// declared encoding cannot decode once the root element has ended, a text node cut short at its
// size limit. Each of them makes the input rejected here.
struct TParseReport
{
    bool Failed = false;
    bool DeclaresEntities = false;
    std::string Message;
    int Line = 0;
};

thread_local TParseReport* CurrentReport = nullptr;

bool IsRejecting(const xmlError& error)
{
    if (error.level == XML_ERR_FATAL)
        return true;
    if (error.level != XML_ERR_ERROR)
        return false;
    // Undeclared namespace prefixes and the like are errors of the namespace layer only: names are
    // taken as written, so they do not matter.
    switch (error.domain) {
    case XML_FROM_PARSER:
    case XML_FROM_IO:
    case XML_FROM_I18N:
    case XML_FROM_MEMORY:
        return true;
    default:
        return false;
    }
}

void RecordError(void* /*ctx*/, xmlErrorPtr error)
{
    if (CurrentReport == nullptr || error == nullptr || CurrentReport->Failed || !IsRejecting(*error))
        return;
    CurrentReport->Failed = true;
    CurrentReport->Message = error->message ? error->message : "";
    while (!CurrentReport->Message.empty() &&
           (CurrentReport->Message.back() == '\n' || CurrentReport->Message.back() == ' '))
        CurrentReport->Message.pop_back();
    CurrentReport->Line = error->line;
}

entityDeclSAXFunc LibXmlEntityDecl = nullptr;

void NoteEntityDecl(void* ctx, const xmlChar* name, int type, const xmlChar* publicId,
                    const xmlChar* systemId, xmlChar* content)
{
    if (CurrentReport != nullptr)
        CurrentReport->DeclaresEntities = true;
    LibXmlEntityDecl(ctx, name, type, publicId, systemId, content);
}

void InitLibXml()
{
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(RefuseExternalEntity);
        xmlSAXHandler sax;
        xmlSAXVersion(&sax, 2);
        LibXmlEntityDecl = sax.entityDecl;
    });
    // The handlers are per thread in libxml2; the application parses on one thread only, but a
    // test or benchmark may not, so they are set on every call.
    xmlSetGenericErrorFunc(nullptr, SilentError);
    xmlSetStructuredErrorFunc(nullptr, RecordError);
}

bool IsXmlBlank(const xmlChar* s)
{
    if (s == nullptr)
        return true;
    for (; *s != 0; ++s)
        if (*s != ' ' && *s != '\t' && *s != '\n' && *s != '\r')
            return false;
    return true;
}

std::string Str(const xmlChar* s) { return s ? std::string(reinterpret_cast<const char*>(s)) : std::string(); }

const char* CStr(const xmlChar* s) { return reinterpret_cast<const char*>(s); }

bool QualifiedNameIs(const xmlNs* ns, const xmlChar* local, std::string_view name)
{
    const char* localName = CStr(local);
    if (localName == nullptr)
        return false;
    if (ns == nullptr || ns->prefix == nullptr)
        return name == localName;
    const std::string_view prefix = CStr(ns->prefix);
    return name.size() == prefix.size() + 1 + std::strlen(localName) && name.substr(0, prefix.size()) == prefix &&
           name[prefix.size()] == ':' && name.substr(prefix.size() + 1) == localName;
}

std::string QualifiedName(const xmlNs* ns, const xmlChar* local)
{
    if (ns == nullptr || ns->prefix == nullptr)
        return Str(local);
    return Str(ns->prefix) + ":" + Str(local);
}

std::string NsDeclName(const xmlNs* ns) { return ns->prefix ? "xmlns:" + Str(ns->prefix) : std::string("xmlns"); }

// Drops the text nodes that hold only white space and rejects entity references that were left
// unresolved (an entity that no declaration defines). Iterative: nesting may be deep.
void CleanTree(xmlNodePtr root)
{
    std::vector<xmlNodePtr> stack{root};
    while (!stack.empty()) {
        xmlNodePtr node = stack.back();
        stack.pop_back();
        for (xmlNodePtr child = node->children; child != nullptr;) {
            xmlNodePtr next = child->next;
            if (child->type == XML_TEXT_NODE && IsXmlBlank(child->content)) {
                xmlUnlinkNode(child);
                xmlFreeNode(child);
            } else if (child->type == XML_ENTITY_REF_NODE) {
                throw EXmlError("неизвестная сущность &" + Str(child->name) + ";");
            } else if (child->type == XML_ELEMENT_NODE) {
                stack.push_back(child);
            }
            child = next;
        }
    }
}

} // namespace

bool TXmlNode::IsElement() const { return FNode && FNode->type == XML_ELEMENT_NODE; }

std::string TXmlNode::Name() const
{
    if (!FNode)
        return {};
    switch (FNode->type) {
    case XML_ELEMENT_NODE:
        return QualifiedName(FNode->ns, FNode->name);
    case XML_TEXT_NODE:
        return "#text";
    case XML_CDATA_SECTION_NODE:
        return "#cdata-section";
    case XML_COMMENT_NODE:
        return "#comment";
    default:
        return Str(FNode->name);
    }
}

bool TXmlNode::HasName(std::string_view name) const
{
    return FNode && FNode->type == XML_ELEMENT_NODE && QualifiedNameIs(FNode->ns, FNode->name, name);
}

TXmlNode TXmlNode::FirstChild() const
{
    if (!FNode || FNode->type != XML_ELEMENT_NODE)
        return TXmlNode();
    return TXmlNode(FNode->children);
}

TXmlNode TXmlNode::NextSibling() const { return FNode ? TXmlNode(FNode->next) : TXmlNode(); }

std::string TXmlNode::Value() const
{
    if (!FNode)
        return {};
    switch (FNode->type) {
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
        return Str(FNode->content);
    default:
        return {};
    }
}

bool TXmlNode::HasAttributes() const
{
    return IsElement() && (FNode->properties != nullptr || FNode->nsDef != nullptr);
}

bool TXmlNode::HasAttribute(std::string_view name) const
{
    if (!IsElement())
        return false;
    for (xmlAttrPtr a = FNode->properties; a != nullptr; a = a->next)
        if (QualifiedNameIs(a->ns, a->name, name))
            return true;
    for (xmlNsPtr ns = FNode->nsDef; ns != nullptr; ns = ns->next)
        if (NsDeclName(ns) == name)
            return true;
    return false;
}

std::string TXmlNode::Attribute(std::string_view name) const
{
    if (!IsElement())
        return {};
    for (xmlAttrPtr a = FNode->properties; a != nullptr; a = a->next) {
        if (!QualifiedNameIs(a->ns, a->name, name))
            continue;
        // Entities are substituted while parsing, so the value is the text children joined.
        std::string value;
        for (xmlNodePtr t = a->children; t != nullptr; t = t->next)
            if (t->content)
                value += CStr(t->content);
        return value;
    }
    for (xmlNsPtr ns = FNode->nsDef; ns != nullptr; ns = ns->next)
        if (NsDeclName(ns) == name)
            return Str(ns->href);
    return {};
}

TXmlDocument::~TXmlDocument() { xmlFreeDoc(FDoc); }

TXmlNode TXmlDocument::DocumentElement() const { return TXmlNode(xmlDocGetRootElement(FDoc)); }

namespace {

using TParserContext = std::unique_ptr<xmlParserCtxt, decltype(&xmlFreeParserCtxt)>;

// Where the error handler records while one parse runs.
struct TReportScope
{
    explicit TReportScope(TParseReport& report) : Previous(CurrentReport) { CurrentReport = &report; }
    ~TReportScope() { CurrentReport = Previous; }
    TReportScope(const TReportScope&) = delete;
    TReportScope& operator=(const TReportScope&) = delete;
    TParseReport* Previous;
};

// One parse with or without libxml2's size limits; no document when anything was rejected.
xmlDocPtr ParseOnce(const char* data, int size, bool lifted, const std::string& name, TParseReport& report)
{
    TParserContext ctxt(xmlNewParserCtxt(), xmlFreeParserCtxt);
    if (!ctxt)
        throw EXmlError(name + ": не хватает памяти для разбора XML");
    ctxt->sax->entityDecl = NoteEntityDecl;
    // NOENT resolves the entities the document declares itself (external ones are refused by the
    // loader above).
    int options =
        XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_NOCDATA | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    if (lifted)
        options |= XML_PARSE_HUGE;
    const TReportScope scope(report);
    xmlDocPtr doc = xmlCtxtReadMemory(ctxt.get(), size ? data : "", size, nullptr, nullptr, options);
    if (doc != nullptr && (!ctxt->wellFormed || report.Failed || xmlDocGetRootElement(doc) == nullptr)) {
        xmlFreeDoc(doc);
        doc = nullptr;
    }
    if (doc == nullptr && !report.Failed) {
        report.Failed = true;
        if (const xmlError* error = xmlCtxtGetLastError(ctxt.get()); error && error->message) {
            report.Message = error->message;
            while (!report.Message.empty() && (report.Message.back() == '\n' || report.Message.back() == ' '))
                report.Message.pop_back();
            report.Line = error->line;
        }
    }
    return doc;
}

} // namespace

std::unique_ptr<TXmlDocument> TXmlDocument::ParseMemory(const char* data, std::size_t size, const std::string& name)
{
    InitLibXml();
    if (size > static_cast<std::size_t>(INT_MAX))
        throw EXmlError(name + ": документ слишком велик");
    const int length = static_cast<int>(size);

    // First with libxml2's limits, which bound the expansion of entities: a few lines of
    // declarations can otherwise grow into gigabytes. The same limits cap one text node at 10 MB,
    // which a cover picture may exceed, and the nesting at 256 levels; a document that declares
    // no entity cannot grow that way and is read again without them.
    TParseReport report;
    xmlDocPtr raw = ParseOnce(data, length, false, name, report);
    if (raw == nullptr && !report.DeclaresEntities) {
        report = TParseReport();
        raw = ParseOnce(data, length, true, name, report);
    }
    if (raw == nullptr) {
        std::string message = report.Message.empty() ? std::string("документ XML повреждён") : report.Message;
        if (report.Line > 0)
            message = "строка " + std::to_string(report.Line) + ": " + message;
        throw EXmlError("Ошибка XML в " + name + ", " + message);
    }
    std::unique_ptr<TXmlDocument> doc(new TXmlDocument(raw));
    CleanTree(xmlDocGetRootElement(raw));
    return doc;
}

std::unique_ptr<TXmlDocument> TXmlDocument::ParseFile(const std::string& path)
{
    const std::string content = ReadWholeFile(path);
    return ParseMemory(content, path);
}
