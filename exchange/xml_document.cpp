#include "exchange/xml_document.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>
#include <libxml/xmlstring.h>
#include <libxml/xpath.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <sstream>
#include <utility>

#include "platform/atomic_file.h"

namespace toa::xml {
namespace {

// Only NONET: the document is untrusted, so nothing is ever loaded besides the file itself
// (no NOENT, DTDLOAD, DTDATTR, HUGE or RECOVER).
constexpr int kParseOptions = XML_PARSE_NONET;

const xmlChar* xmlText(const std::string& utf8) {
    return reinterpret_cast<const xmlChar*>(utf8.c_str());
}

std::string fromXml(const xmlChar* text) {
    return text == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(text));
}

// libxml2 ends its messages with a line break.
std::string withoutTrailingBreaks(std::string message) {
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
    return message;
}

struct XmlFreer {
    void operator()(xmlChar* text) const { xmlFree(text); }
};
using XmlString = std::unique_ptr<xmlChar, XmlFreer>;

struct ParserCtxtFreer {
    void operator()(xmlParserCtxt* ctxt) const { xmlFreeParserCtxt(ctxt); }
};
struct XPathContextFreer {
    void operator()(xmlXPathContext* ctxt) const { xmlXPathFreeContext(ctxt); }
};
struct XPathObjectFreer {
    void operator()(xmlXPathObject* object) const { xmlXPathFreeObject(object); }
};

std::string position(int line, int column) {
    return "(línea " + std::to_string(line) + ", columna " + std::to_string(column) + ")";
}

// libxml2 prints some failures (a byte the declared encoding cannot convert) straight to
// standard error besides reporting them to the parse; the parse's own message says it all.
class QuietGenericErrors {
  public:
    QuietGenericErrors() : function_(xmlGenericError), context_(xmlGenericErrorContext) {
        xmlSetGenericErrorFunc(nullptr, &QuietGenericErrors::ignore);
    }
    ~QuietGenericErrors() { xmlSetGenericErrorFunc(context_, function_); }
    QuietGenericErrors(const QuietGenericErrors&) = delete;
    QuietGenericErrors& operator=(const QuietGenericErrors&) = delete;

  private:
    static void ignore(void*, const char*, ...) {}
    xmlGenericErrorFunc function_;
    void* context_;
};

class Parse {
  public:
    // `dropped`, when not empty, names the document element's child whose content is not kept.
    // `dropped`, when not empty, names the document element's child whose content is not kept;
    // `textElement`, when not empty, makes the parse one for reading only (see loadForReading).
    explicit Parse(std::string name, std::string dropped = {}, std::string textElement = {})
        : name_(std::move(name)),
          options_(textElement.empty() ? kParseOptions : kParseOptions | XML_PARSE_COMPACT),
          dropped_(std::move(dropped)),
          textElement_(std::move(textElement)) {}

    xmlDoc* run(std::string_view bytes) {
        if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
            throw XmlError("El documento XML " + name_ + " es demasiado grande");
        }
        start_ = bytes.substr(0, 2);
        return parse([&](xmlParserCtxt* ctxt) {
            return xmlCtxtReadMemory(ctxt, bytes.data(), static_cast<int>(bytes.size()),
                                     name_.c_str(), nullptr, options_);
        });
    }

    // libxml2 reads the file piece by piece, so that a large document is never held whole
    // beside its tree (and, in another encoding, beside its conversion too).
    xmlDoc* run(std::istream& in) {
        in_ = &in;
        return parse([&](xmlParserCtxt* ctxt) {
            return xmlCtxtReadIO(ctxt, &Parse::readSome, nullptr, this, name_.c_str(), nullptr,
                                 options_);
        });
    }

  private:
    xmlDoc* parse(const std::function<xmlDoc*(xmlParserCtxt*)>& read) {
        std::unique_ptr<xmlParserCtxt, ParserCtxtFreer> ctxt(xmlNewParserCtxt());
        if (!ctxt || ctxt->sax == nullptr) {
            throw XmlError("No hay memoria para leer el documento XML " + name_);
        }
        ctxt->_private = this;
        xmlSAXHandler& sax = *ctxt->sax;
        sax.serror = &Parse::onError;
        sax.internalSubset = &Parse::onDoctype;
        sax.entityDecl = &Parse::onEntity;
        sax.unparsedEntityDecl = &Parse::onUnparsedEntity;
        if (!dropped_.empty() || !textElement_.empty()) {
            sax.startElementNs = &Parse::onStart;
            sax.endElementNs = &Parse::onEnd;
        }

        xmlDoc* doc = nullptr;
        {
            const QuietGenericErrors quiet;
            doc = read(ctxt.get());
        }
        if (!fault_ && (doc == nullptr || !ctxt->wellFormed)) {
            fault_ = "El documento XML " + name_ + " no es válido";
        }
        if (fault_) {
            xmlFreeDoc(doc);
            throw XmlError(*fault_);
        }
        keepUtf16WithoutDeclaration(doc, start_);
        return doc;
    }

    static int readSome(void* context, char* buffer, int length) {
        Parse& self = *static_cast<Parse*>(context);
        self.in_->read(buffer, length);
        if (self.in_->bad()) {
            if (!self.fault_) self.fault_ = "No se puede leer el documento XML " + self.name_;
            return -1;
        }
        const auto read = static_cast<std::size_t>(self.in_->gcount());
        if (self.start_.size() < 2) {
            self.start_.append(buffer, std::min(read, 2 - self.start_.size()));
        }
        return static_cast<int>(read);
    }

    static Parse& of(void* ctx) {
        return *static_cast<Parse*>(static_cast<xmlParserCtxt*>(ctx)->_private);
    }

    void refuse(xmlParserCtxt* ctxt, std::string message) {
        if (!fault_) fault_ = std::move(message);
        xmlStopParser(ctxt);
    }

    std::string here(void* ctx) const {
        return position(xmlSAX2GetLineNumber(ctx), xmlSAX2GetColumnNumber(ctx));
    }

    // Warnings pass; the first error ends the parse (namespace errors included, which libxml2
    // alone would let through).
    static void onError(void* userData, xmlError* error) {
        if (error == nullptr || error->level < XML_ERR_ERROR) return;
        Parse& self = of(userData);
        if (self.fault_) return;
        self.fault_ = "El documento XML " + self.name_ + " no es válido " +
                      position(error->line, error->int2) + ": " +
                      withoutTrailingBreaks(fromXml(BAD_CAST error->message));
    }

    // A reference to an outside DTD is refused before anything could load it.
    static void onDoctype(void* ctx, const xmlChar* name, const xmlChar* externalId,
                          const xmlChar* systemId) {
        Parse& self = of(ctx);
        if (externalId != nullptr || systemId != nullptr) {
            self.refuse(static_cast<xmlParserCtxt*>(ctx),
                        "El documento XML " + self.name_ + " hace referencia a una DTD externa " +
                            self.here(ctx) + ": un documento de intercambio no la necesita");
            return;
        }
        xmlSAX2InternalSubset(ctx, name, externalId, systemId);
    }

    // Entities are refused at their declaration, so that none is ever expanded or loaded.
    static void onEntity(void* ctx, const xmlChar* name, int, const xmlChar*, const xmlChar*,
                         xmlChar*) {
        Parse& self = of(ctx);
        self.refuse(static_cast<xmlParserCtxt*>(ctx),
                    "El documento XML " + self.name_ + " declara la entidad «" + fromXml(name) +
                        "» " + self.here(ctx) +
                        ": un documento de intercambio no necesita entidades");
    }

    static void onUnparsedEntity(void* ctx, const xmlChar* name, const xmlChar* publicId,
                                 const xmlChar* systemId, const xmlChar*) {
        onEntity(ctx, name, XML_EXTERNAL_GENERAL_UNPARSED_ENTITY, publicId, systemId, nullptr);
    }

    // A UTF-16 document may come without a declaration (its byte order mark says it all);
    // naming its encoding keeps it UTF-16 when it is saved.
    static void keepUtf16WithoutDeclaration(xmlDoc* doc, std::string_view bytes) {
        const bool bom = bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                                               (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
        if (bom && doc->encoding == nullptr) doc->encoding = xmlStrdup(BAD_CAST "UTF-16");
    }

    std::string name_;
    int options_;
    std::istream* in_ = nullptr;
    std::string start_;  // the first two bytes, where a byte order mark would be
    // The first thing this parse found wrong, as the complete message; kept per parse, so
    // nothing leaks from one document to the next.
    std::optional<std::string> fault_;

    // The first child `dropped_` of the document element, as the parser sees it: each element
    // inside it is freed, with what came before it, as soon as it ends, so only the open
    // elements are ever held.
    // For reading only, a text of blanks alone outside the elements `textElement_` is freed as
    // soon as it is complete: when an element starts after it or its parent ends.
    static void onStart(void* ctx, const xmlChar* localname, const xmlChar* prefix,
                        const xmlChar* uri, int nbNamespaces, const xmlChar** namespaces,
                        int nbAttributes, int nbDefaulted, const xmlChar** attributes) {
        auto* ctxt = static_cast<xmlParserCtxt*>(ctx);
        Parse& self = of(ctx);
        self.dropLayout(ctxt->node);
        xmlSAX2StartElementNs(ctx, localname, prefix, uri, nbNamespaces, namespaces, nbAttributes,
                              nbDefaulted, attributes);
        if (self.dropping_ == Dropping::Before && !self.dropped_.empty() && uri == nullptr &&
            ctxt->nodeNr == 2 && fromXml(localname) == self.dropped_) {
            self.dropping_ = Dropping::Inside;
        }
        if (self.isTextElement(localname)) ++self.inText_;
    }

    static void onEnd(void* ctx, const xmlChar* localname, const xmlChar* prefix,
                      const xmlChar* uri) {
        auto* ctxt = static_cast<xmlParserCtxt*>(ctx);
        Parse& self = of(ctx);
        self.dropLayout(ctxt->node);
        if (self.isTextElement(localname)) --self.inText_;
        xmlSAX2EndElementNs(ctx, localname, prefix, uri);
        if (self.dropping_ != Dropping::Inside || ctxt->node == nullptr) return;
        if (ctxt->nodeNr < 2) {
            self.dropping_ = Dropping::After;
            return;
        }
        xmlNode* parent = ctxt->node;
        xmlFreeNodeList(parent->children);
        parent->children = nullptr;
        parent->last = nullptr;
    }

    bool isTextElement(const xmlChar* localname) const {
        return !textElement_.empty() &&
               std::string_view(reinterpret_cast<const char*>(localname)) == textElement_;
    }

    // The last child of `parent`, complete by now, when it is a text of blanks alone that only
    // lays the document out.
    void dropLayout(xmlNode* parent) const {
        if (textElement_.empty() || inText_ > 0 || parent == nullptr) return;
        xmlNode* last = parent->last;
        if (last == nullptr || last->type != XML_TEXT_NODE || !xmlIsBlankNode(last)) return;
        xmlUnlinkNode(last);
        xmlFreeNode(last);
    }

    std::string dropped_;
    enum class Dropping { Before, Inside, After } dropping_ = Dropping::Before;
    std::string textElement_;
    int inText_ = 0;  // elements `textElement_` open
};

std::ifstream openFile(const std::filesystem::path& path) {
    // A folder opens as an empty stream: it would pass for an empty document.
    std::error_code ignored;
    std::ifstream in(path, std::ios::binary);
    if (!in || std::filesystem::is_directory(path, ignored)) {
        throw XmlError("No se puede abrir el documento XML " + path.string());
    }
    return in;
}

// Text that a saved document could not carry: malformed UTF-8 or a character XML 1.0 forbids.
// `what` gives the text's description, only needed for the message.
template <class Describe>
void checkXmlText(std::string_view utf8, Describe what) {
    const auto* bytes = reinterpret_cast<const xmlChar*>(utf8.data());
    for (std::size_t i = 0; i < utf8.size();) {
        // Plain ASCII, nearly every byte of a school's texts, without decoding.
        const xmlChar byte = bytes[i];
        if (byte >= 0x20 && byte < 0x80) {
            ++i;
            continue;
        }
        int length = static_cast<int>(std::min<std::size_t>(utf8.size() - i, 4));
        const int c = xmlGetUTF8Char(bytes + i, &length);
        if (c < 0) throw XmlError("El texto de " + std::string(what()) + " no es UTF-8 válido");
        const bool allowed = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
                             (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
        if (!allowed) {
            throw XmlError("El texto de " + std::string(what()) +
                           " contiene un carácter que XML no admite (código " + std::to_string(c) +
                           ")");
        }
        i += static_cast<std::size_t>(length);
    }
}

void checkName(std::string_view name, std::string_view what) {
    const std::string text(name);
    if (name.empty() || text.size() != std::strlen(text.c_str()) ||
        xmlValidateName(xmlText(text), 0) != 0) {
        throw XmlError("«" + text + "» no es un nombre de " + std::string(what) + " XML válido");
    }
}

// XPath errors land here instead of libxml2's default printing; lastError keeps the details.
void ignoreXPathError(void*, xmlError*) {}

std::vector<Node> evaluate(xmlDoc* doc, xmlNode* contextNode, std::string_view xpath) {
    const std::string expression(xpath);
    std::unique_ptr<xmlXPathContext, XPathContextFreer> ctxt(xmlXPathNewContext(doc));
    if (!ctxt) throw XmlError("No hay memoria para evaluar la expresión XPath " + expression);
    ctxt->node = contextNode;
    ctxt->error = &ignoreXPathError;
    std::unique_ptr<xmlXPathObject, XPathObjectFreer> result(
        xmlXPathEvalExpression(xmlText(expression), ctxt.get()));
    if (!result) {
        const xmlError& error = ctxt->lastError;
        throw XmlError("La expresión XPath «" + expression + "» no es válida (posición " +
                       std::to_string(error.int1) +
                       "): " + withoutTrailingBreaks(fromXml(BAD_CAST error.message)));
    }
    if (result->type != XPATH_NODESET) {
        throw XmlError("La expresión XPath «" + expression + "» no selecciona nodos");
    }
    std::vector<Node> nodes;
    const xmlNodeSet* set = result->nodesetval;
    if (set == nullptr) return nodes;
    nodes.reserve(static_cast<std::size_t>(set->nodeNr));
    for (int i = 0; i < set->nodeNr; ++i) {
        // Namespace nodes are copies that die with the result: no handle could outlive it.
        if (set->nodeTab[i]->type == XML_NAMESPACE_DECL) {
            throw XmlError("La expresión XPath «" + expression +
                           "» selecciona espacios de nombres, que no son nodos del documento");
        }
        nodes.emplace_back(set->nodeTab[i]);
    }
    return nodes;
}

}  // namespace

// ---- Node ----

namespace {
// `operation` completes "no se puede ...".
xmlNode* present(xmlNode* node, std::string_view operation) {
    if (node == nullptr) {
        throw XmlError("No hay nodo XML: no se puede " + std::string(operation));
    }
    return node;
}

xmlNode* element(xmlNode* node, std::string_view operation) {
    if (present(node, operation)->type != XML_ELEMENT_NODE) {
        throw XmlError("El nodo XML «" + fromXml(node->name) + "» no es un elemento: no se puede " +
                       std::string(operation));
    }
    return node;
}
}  // namespace

std::string Node::name() const {
    const xmlNode* node = present(node_, "leer su nombre");
    std::string qualified = fromXml(node->name);
    if ((node->type == XML_ELEMENT_NODE || node->type == XML_ATTRIBUTE_NODE) &&
        node->ns != nullptr && node->ns->prefix != nullptr) {
        qualified = fromXml(node->ns->prefix) + ":" + qualified;
    }
    return qualified;
}

std::string Node::text() const {
    const xmlNode* node = present(node_, "leer su texto");
    // An element holding one text, or none, as every item does: read in place, without the
    // buffer libxml2 gathers a text of many pieces in.
    if (node->type == XML_ELEMENT_NODE) {
        const xmlNode* only = node->children;
        if (only == nullptr) return std::string();
        if (only->next == nullptr &&
            (only->type == XML_TEXT_NODE || only->type == XML_CDATA_SECTION_NODE))
            return fromXml(only->content);
    }
    const XmlString content(xmlNodeGetContent(node));
    return fromXml(content.get());
}

void Node::setText(std::string_view utf8) {
    xmlNode* node = element(node_, "escribir su texto");
    checkXmlText(utf8, [&] { return "«" + fromXml(node->name) + "»"; });
    // A text node holds the characters as they are: "<" and "&" are escaped when saved.
    xmlNode* text = xmlNewDocTextLen(node->doc, reinterpret_cast<const xmlChar*>(utf8.data()),
                                     static_cast<int>(utf8.size()));
    if (text == nullptr) throw XmlError("No hay memoria para el texto de " + fromXml(node->name));
    xmlFreeNodeList(node->children);
    node->children = nullptr;
    node->last = nullptr;
    xmlAddChild(node, text);
}

std::optional<std::string> Node::attribute(std::string_view name) const {
    const xmlNode* node = element(node_, "leer sus atributos");
    // Only attributes the document writes count; defaults a DTD would add do not.
    for (const xmlAttr* attr = node->properties; attr != nullptr; attr = attr->next) {
        if (attr->ns == nullptr && fromXml(attr->name) == name) {
            const XmlString value(xmlNodeListGetString(node->doc, attr->children, 1));
            return fromXml(value.get());
        }
    }
    return std::nullopt;
}

void Node::setAttribute(std::string_view name, std::string_view utf8) {
    xmlNode* node = element(node_, "ponerle un atributo");
    checkName(name, "atributo");
    const std::string attrName(name);
    checkXmlText(utf8, [&] { return "el atributo «" + attrName + "»"; });
    const std::string value(utf8);
    if (xmlSetProp(node, xmlText(attrName), xmlText(value)) == nullptr) {
        throw XmlError("No se puede poner el atributo «" + attrName + "» en «" +
                       fromXml(node->name) + "»");
    }
}

namespace {
// As the XPath step of that name selects it: an element without namespace.
bool isChildNamed(const xmlNode* child, std::string_view name) {
    return child->type == XML_ELEMENT_NODE && child->ns == nullptr &&
           std::string_view(reinterpret_cast<const char*>(child->name)) == name;
}
}  // namespace

std::vector<Node> Node::selectNodes(std::string_view xpath) const {
    xmlNode* node = present(node_, "evaluar una expresión XPath");
    // A bare element name (how every entry's items are selected) is walked directly: an XPath
    // context per entry, with its function table, would cost more than the whole entry.
    const std::string name(xpath);
    if (!name.empty() && name.size() == std::strlen(name.c_str()) &&
        xmlValidateNCName(xmlText(name), 0) == 0) {
        std::vector<Node> children;
        for (xmlNode* child = node->children; child != nullptr; child = child->next) {
            if (isChildNamed(child, name)) children.emplace_back(child);
        }
        return children;
    }
    return evaluate(node->doc, node, xpath);
}

Node Node::selectSingleNode(std::string_view childName) const {
    const xmlNode* node = present(node_, "buscar un hijo");
    for (xmlNode* child = node->children; child != nullptr; child = child->next) {
        if (isChildNamed(child, childName)) return Node(child);
    }
    return Node();
}

void Node::appendChild(Node child) {
    xmlNode* parent = element(node_, "añadirle hijos");
    xmlNode* added = element(child.node_, "añadirlo como hijo");
    if (added->doc != parent->doc) {
        throw XmlError("El elemento «" + fromXml(added->name) + "» es de otro documento");
    }
    for (const xmlNode* up = parent; up != nullptr; up = up->parent) {
        if (up == added) {
            throw XmlError("El elemento «" + fromXml(added->name) +
                           "» no puede ser hijo de sí mismo ni de un descendiente suyo");
        }
    }
    // A node already in the tree moves, as it would in any document model.
    xmlUnlinkNode(added);
    xmlAddChild(parent, added);
}

void Node::removeChild(Node child) {
    xmlNode* parent = present(node_, "quitar un hijo");
    xmlNode* removed = present(child.node_, "quitarlo");
    if (removed->parent != parent || removed->type == XML_ATTRIBUTE_NODE) {
        throw XmlError("El nodo «" + fromXml(removed->name) + "» no es hijo de «" +
                       fromXml(parent->name) + "»");
    }
    xmlUnlinkNode(removed);
    xmlFreeNode(removed);
}

// ---- Document ----

Document::Document() : doc_(xmlNewDoc(BAD_CAST "1.0")) {
    if (doc_ == nullptr) throw XmlError("No hay memoria para un documento XML");
}

Document::~Document() {
    release();
}

void Document::release() {
    xmlFreeNode(std::exchange(created_, nullptr));  // before the document: it shares its names
    xmlFreeDoc(std::exchange(doc_, nullptr));
}

Document::Document(Document&& other) noexcept
    : doc_(std::exchange(other.doc_, nullptr)), created_(std::exchange(other.created_, nullptr)) {}

Document& Document::operator=(Document&& other) noexcept {
    std::swap(doc_, other.doc_);
    std::swap(created_, other.created_);
    return *this;
}

void Document::load(const std::filesystem::path& path) {
    std::ifstream in = openFile(path);
    xmlDoc* parsed = Parse(path.string()).run(in);
    release();
    doc_ = parsed;
}

void Document::loadDropping(const std::filesystem::path& path, std::string_view childName) {
    if (childName.empty()) throw XmlError("Falta el nombre del hijo cuyo contenido no se guarda");
    std::ifstream in = openFile(path);
    xmlDoc* parsed = Parse(path.string(), std::string(childName)).run(in);
    release();
    doc_ = parsed;
}

void Document::loadForReading(const std::filesystem::path& path, std::string_view textElement) {
    if (textElement.empty()) throw XmlError("Falta el nombre del elemento cuyo texto se lee");
    std::ifstream in = openFile(path);
    xmlDoc* parsed = Parse(path.string(), {}, std::string(textElement)).run(in);
    release();
    doc_ = parsed;
}

void Document::loadMemory(std::string_view bytes, std::string_view name) {
    xmlDoc* parsed = Parse(std::string(name)).run(bytes);
    release();
    doc_ = parsed;
}

Node Document::documentElement() const {
    return Node(doc_ == nullptr ? nullptr : xmlDocGetRootElement(doc_));
}

std::vector<Node> Document::selectNodes(std::string_view xpath) const {
    if (doc_ == nullptr) throw XmlError("No hay documento XML");
    return evaluate(doc_, reinterpret_cast<xmlNode*>(doc_), xpath);
}

Node Document::createElement(std::string_view name) {
    if (doc_ == nullptr) throw XmlError("No hay documento XML");
    checkName(name, "elemento");
    const std::string elementName(name);
    if (created_ == nullptr) created_ = xmlNewDocNode(doc_, nullptr, BAD_CAST "creados", nullptr);
    xmlNode* created = xmlNewDocNode(doc_, nullptr, xmlText(elementName), nullptr);
    if (created_ == nullptr || created == nullptr) {
        xmlFreeNode(created);
        throw XmlError("No hay memoria para el elemento " + elementName);
    }
    xmlAddChild(created_, created);
    return Node(created);
}

std::string Document::serialize() const {
    if (doc_ == nullptr) throw XmlError("No hay documento XML");
    const char* encoding =
        doc_->encoding != nullptr ? reinterpret_cast<const char*>(doc_->encoding) : "UTF-8";
    xmlChar* bytes = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(doc_, &bytes, &size, encoding, 1);
    const XmlString owned(bytes);
    if (bytes == nullptr || size < 0) {
        throw XmlError("No se puede escribir el documento XML en la codificación " +
                       std::string(encoding));
    }
    return std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size));
}

// ---- Elements written straight into a saved document ----

namespace {

// What libxml2 puts in place of these characters when it saves a text or an attribute value
// (other characters pass as they are and are left to the output's encoding).
std::string_view textEscape(char c) {
    switch (c) {
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        case '&':
            return "&amp;";
        case '\r':
            return "&#13;";
        default:
            return {};
    }
}

std::string_view attributeEscape(char c) {
    switch (c) {
        case '"':
            return "&quot;";
        case '\n':
            return "&#10;";
        case '\t':
            return "&#9;";
        default:
            return textEscape(c);
    }
}

// Whether a character may need an escape at all: few do, so most are passed over at once.
bool mayEscape(char c) {
    return c == '<' || c == '>' || c == '&' || c == '"' || c == '\n' || c == '\r' || c == '\t';
}

template <class Escape>
void appendEscaped(std::string& out, std::string_view text, Escape escape) {
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!mayEscape(text[i])) continue;
        const std::string_view replacement = escape(text[i]);
        if (replacement.empty()) continue;
        out.append(text.substr(run, i - run)).append(replacement);
        run = i + 1;
    }
    out.append(text.substr(run));
}

// Small pieces gather here and reach libxml2's output, which converts them to the document's
// encoding, in large ones.
constexpr std::size_t kPending = 1 << 16;

}  // namespace

void ElementWriter::write(std::string_view utf8) {
    pending_.append(utf8);
    if (pending_.size() >= kPending) flush();
}

void ElementWriter::flush() {
    if (pending_.empty()) return;
    if (xmlOutputBufferWrite(out_, static_cast<int>(pending_.size()), pending_.data()) < 0) {
        throw XmlError("No se puede escribir el documento XML en su codificación");
    }
    pending_.clear();
}

void ElementWriter::indent(int level) {
    if (!layout_.formatted || xmlIndentTreeOutput == 0 || xmlTreeIndentString == nullptr) return;
    // As libxml2 indents: one indent string per level, at most 60 characters in all.
    const std::string_view unit(xmlTreeIndentString);
    if (unit.empty()) return;
    const int levels = std::min(level, static_cast<int>(60 / unit.size()));
    for (int i = 0; i < levels; ++i) write(unit);
}

void ElementWriter::checkName(std::string_view name, std::string_view what) {
    for (const std::string& known : names_) {
        if (known == name) return;
    }
    xml::checkName(name, what);
    names_.emplace_back(name);
}

void ElementWriter::startChild() {
    if (open_.empty()) {
        if (!first_) write(layout_.separator);
        first_ = false;
        return;
    }
    if (tagOpen_) {
        write(">");
        if (layout_.formatted) write("\n");
        tagOpen_ = false;
    }
    indent(layout_.level + static_cast<int>(open_.size()));
}

void ElementWriter::endChild() {
    if (!open_.empty() && layout_.formatted) write("\n");
}

// `attribute` none for an element without attributes.
void ElementWriter::startTag(std::string_view name, const std::string_view* attribute,
                             std::string_view utf8Value) {
    checkName(name, "elemento");
    if (attribute) {
        checkName(*attribute, "atributo");
        checkXmlText(utf8Value, [&] { return "el atributo «" + std::string(*attribute) + "»"; });
    }
    startChild();
    write("<");
    write(name);
    if (attribute) {
        write(" ");
        write(*attribute);
        write("=\"");
        appendEscaped(pending_, utf8Value, attributeEscape);
        write("\"");
    }
}

void ElementWriter::openTag(std::string_view name, const std::string_view* attribute,
                            std::string_view utf8Value) {
    startTag(name, attribute, utf8Value);
    open_.emplace_back(name);
    tagOpen_ = true;
}

void ElementWriter::open(std::string_view name) {
    openTag(name, nullptr, {});
}

void ElementWriter::open(std::string_view name, std::string_view attribute,
                         std::string_view utf8Value) {
    openTag(name, &attribute, utf8Value);
}

void ElementWriter::close() {
    if (open_.empty()) throw XmlError("No hay ningún elemento abierto que cerrar");
    const std::string name = std::move(open_.back());
    open_.pop_back();
    if (tagOpen_) {
        write("/>");  // no children
        tagOpen_ = false;
    } else {
        indent(layout_.level + static_cast<int>(open_.size()));
        write("</");
        write(name);
        write(">");
    }
    endChild();
}

void ElementWriter::leaf(std::string_view name, std::string_view attribute,
                         std::string_view utf8Value, std::string_view utf8Text) {
    checkXmlText(utf8Text, [&] { return "«" + std::string(name) + "»"; });
    startTag(name, &attribute, utf8Value);
    write(">");
    appendEscaped(pending_, utf8Text, textEscape);
    write("</");
    write(name);
    write(">");
    endChild();
}

namespace {

struct OutputBufferCloser {
    void operator()(xmlOutputBuffer* out) const { xmlOutputBufferClose(out); }
};
using OutputBuffer = std::unique_ptr<xmlOutputBuffer, OutputBufferCloser>;

int writeToStream(void* context, const char* bytes, int length) {
    std::ostream& out = *static_cast<std::ostream*>(context);
    out.write(bytes, length);
    return out ? length : -1;
}

const char* encodingOf(const xmlDoc* doc) {
    return doc->encoding != nullptr ? reinterpret_cast<const char*>(doc->encoding) : "UTF-8";
}

// Two empty elements with names no document uses, appended to `parent` while libxml2 lays the
// document out: what it writes before the first, between them and after the second is what
// surrounds, and separates, children appended there.
class Marks {
  public:
    explicit Marks(xmlNode* parent) {
        std::random_device random;
        const std::string stem = "toa-marca-" + std::to_string(random()) + std::to_string(random());
        for (int i = 0; i < 2; ++i) {
            names_[i] = stem + "-" + std::to_string(i);
            marks_[i] = xmlNewDocNode(parent->doc, nullptr, xmlText(names_[i]), nullptr);
            if (marks_[i] == nullptr) throw XmlError("No hay memoria para guardar el documento");
            xmlAddChild(parent, marks_[i]);
        }
    }
    ~Marks() {
        for (xmlNode* mark : marks_) {
            xmlUnlinkNode(mark);
            xmlFreeNode(mark);
        }
    }
    Marks(const Marks&) = delete;
    Marks& operator=(const Marks&) = delete;

    std::string tag(int i) const { return "<" + names_[i] + "/>"; }

  private:
    std::string names_[2];
    xmlNode* marks_[2] = {nullptr, nullptr};
};

std::size_t findOnce(std::string_view text, std::string_view what) {
    const std::size_t at = text.find(what);
    if (at == std::string_view::npos || text.find(what, at + 1) != std::string_view::npos) {
        throw XmlError("No se puede guardar el documento XML: su texto contiene " +
                       std::string(what));
    }
    return at;
}

}  // namespace

void Document::saveAppending(const std::filesystem::path& path, Node parent,
                             const std::function<void(ElementWriter&)>& children) {
    writeFileAtomically(path,
                        [&](std::ostream& stream) { writeAppending(stream, parent, children); });
}

std::string Document::serializeAppending(Node parent,
                                         const std::function<void(ElementWriter&)>& children) {
    std::ostringstream stream;
    writeAppending(stream, parent, children);
    return std::move(stream).str();
}

void Document::writeAppending(std::ostream& stream, Node parent,
                              const std::function<void(ElementWriter&)>& children) {
    if (doc_ == nullptr) throw XmlError("No hay documento XML");
    xmlNode* into = element(parent.raw(), "añadirle hijos");
    if (into->doc != doc_)
        throw XmlError("El elemento «" + fromXml(into->name) + "» es de otro documento");

    // The document laid out in UTF-8, the marks where the children go.
    std::string laidOut;
    std::string before;
    std::string after;
    ElementWriter::Layout layout;
    {
        const Marks marks(into);
        xmlChar* bytes = nullptr;
        int size = 0;
        xmlDocDumpFormatMemoryEnc(doc_, &bytes, &size, "UTF-8", 1);
        const XmlString owned(bytes);
        if (bytes == nullptr || size < 0)
            throw XmlError("No hay memoria para guardar el documento");
        laidOut.assign(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size));
        const std::size_t first = findOnce(laidOut, marks.tag(0));
        const std::size_t second = findOnce(laidOut, marks.tag(1));
        const std::size_t between = first + marks.tag(0).size();
        before = laidOut.substr(0, first);
        layout.separator = laidOut.substr(between, second - between);
        after = laidOut.substr(second + marks.tag(1).size());
    }
    layout.formatted = !layout.separator.empty();
    for (const xmlNode* up = into; up->parent != nullptr && up->parent->type == XML_ELEMENT_NODE;
         up = up->parent) {
        ++layout.level;
    }
    ++layout.level;

    // The declaration names the document's own encoding, as save() writes it.
    const std::string encoding = encodingOf(doc_);
    const std::string declared = " encoding=\"UTF-8\"";
    const std::size_t declaration = before.find(declared);
    if (declaration == std::string::npos || declaration > before.find("?>")) {
        throw XmlError("No se puede guardar el documento XML: falta su declaración");
    }
    before.replace(declaration, declared.size(), " encoding=\"" + encoding + "\"");

    // A disk that refuses the bytes is the stream's failure, which the caller names; libxml2's
    // own printing of it stays off standard error.
    const QuietGenericErrors quiet;
    try {
        xmlCharEncodingHandler* handler = xmlFindCharEncodingHandler(encoding.c_str());
        if (handler == nullptr) {
            throw XmlError("No se puede escribir el documento XML en la codificación " + encoding);
        }
        const OutputBuffer out(xmlOutputBufferCreateIO(&writeToStream, nullptr, &stream, handler));
        if (!out) throw XmlError("No hay memoria para guardar el documento");
        ElementWriter writer(out.get(), layout);
        writer.write(before);
        children(writer);
        if (!writer.open_.empty()) throw XmlError("Quedan elementos sin cerrar");
        writer.write(after);
        writer.flush();
        if (xmlOutputBufferFlush(out.get()) < 0 || out->error != 0) {
            throw XmlError("No se puede escribir el documento XML en la codificación " + encoding);
        }
    } catch (const XmlError&) {
        if (!stream) return;
        throw;
    }
}

void Document::save(const std::filesystem::path& path) const {
    const std::string bytes = serialize();
    writeFileAtomically(path, [&bytes](std::ostream& out) {
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    });
}

}  // namespace toa::xml
