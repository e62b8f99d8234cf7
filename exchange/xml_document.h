#pragma once
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/error.h"

// The XML document service, on libxml2. Texts cross this layer as UTF-8; the conversion to
// 8-bit text is the caller's (exchange_document.h). Every failure raises XmlError carrying
// libxml2's message with line and column.
struct _xmlDoc;
struct _xmlNode;
struct _xmlOutputBuffer;

namespace toa::xml {

class XmlError : public Error {
  public:
    using Error::Error;
};

class Document;

// Writes elements straight into a document being saved, laid out and escaped exactly as save()
// would lay out the same elements had they been appended to the tree. Names are checked as
// createElement and setAttribute check them, texts as setText checks them.
class ElementWriter {
  public:
    ElementWriter(const ElementWriter&) = delete;
    ElementWriter& operator=(const ElementWriter&) = delete;

    // An element, without attributes or with one, open for children until close().
    void open(std::string_view name);
    void open(std::string_view name, std::string_view attribute, std::string_view utf8Value);
    void close();
    // A whole element with one attribute and a text, however short.
    void leaf(std::string_view name, std::string_view attribute, std::string_view utf8Value,
              std::string_view utf8Text);

  private:
    friend class Document;
    struct Layout {
        bool formatted = false;  // each child on a line of its own, indented
        int level = 0;           // of the children written at the top
        std::string separator;   // between two children written at the top
    };
    ElementWriter(_xmlOutputBuffer* out, Layout layout) : out_(out), layout_(std::move(layout)) {}

    void startChild();
    void endChild();
    void startTag(std::string_view name, const std::string_view* attribute,
                  std::string_view utf8Value);
    void openTag(std::string_view name, const std::string_view* attribute,
                 std::string_view utf8Value);
    void write(std::string_view utf8);
    void flush();
    void indent(int level);
    // As createElement and setAttribute check names, each name once.
    void checkName(std::string_view name, std::string_view what);

    _xmlOutputBuffer* out_;
    Layout layout_;
    bool first_ = true;
    bool tagOpen_ = false;  // the start tag of the innermost open element still lacks its '>'
    std::vector<std::string> open_;
    std::vector<std::string> names_;  // names already checked
    std::string pending_;             // UTF-8 not yet handed to the output
};

// A node of a document: a handle that does not own; valid while its document lives and the
// node stays in it. A default-constructed Node is "none".
class Node {
  public:
    Node() = default;
    explicit Node(_xmlNode* node) : node_(node) {}
    explicit operator bool() const { return node_ != nullptr; }
    _xmlNode* raw() const { return node_; }

    std::string name() const;
    // All its text (the concatenated text of its descendants).
    std::string text() const;
    // It becomes the element's only content. Text that a saved document could not carry
    // (malformed UTF-8, control characters other than tab and line breaks) raises XmlError, as
    // it does for setAttribute.
    void setText(std::string_view utf8);
    // The attribute's text, or none.
    std::optional<std::string> attribute(std::string_view name) const;
    void setAttribute(std::string_view name, std::string_view utf8);
    // Matches of an XPath 1.0 expression evaluated on this node, in document order.
    std::vector<Node> selectNodes(std::string_view xpath) const;
    // The first child element with this name, or none.
    Node selectSingleNode(std::string_view childName) const;
    // Added as the last child; the node must come from the same document.
    void appendChild(Node child);
    // Removed with its content and freed; an Error when it is not a child of this node.
    void removeChild(Node child);

  private:
    _xmlNode* node_ = nullptr;
};

class Document {
  public:
    // A new empty document.
    Document();
    ~Document();
    Document(Document&&) noexcept;
    Document& operator=(Document&&) noexcept;
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // Parses the file. Refuses a document that declares entities or a DTD subset that would need
    // loading; never reaches the network. XmlError with libxml2's message, line and column; the
    // document then keeps what it held.
    void load(const std::filesystem::path& path);
    // As load(), but the content of the document element's first child element `childName`
    // (without namespace) is freed as it is read: the element stays, empty, for a reader that
    // removes it anyway, which never holds its content.
    void loadDropping(const std::filesystem::path& path, std::string_view childName);
    // As load(), for a document that is only read, never changed or saved: the texts of blanks
    // alone that lay it out are not kept, except inside elements named `textElement`, whose whole
    // text stays as it is written; short texts take no memory of their
    // own. Less memory and time for a large document.
    void loadForReading(const std::filesystem::path& path, std::string_view textElement);
    // The same from bytes in memory; `name` names the source in messages.
    void loadMemory(std::string_view bytes, std::string_view name);

    // The document element, or none.
    Node documentElement() const;
    std::vector<Node> selectNodes(std::string_view xpath) const;
    // A new element outside the tree.
    Node createElement(std::string_view name);

    // The document in the encoding its declaration names (UTF-8 when none), characters that
    // encoding lacks as character references.
    std::string serialize() const;
    // Written atomically, replacing that file.
    void save(const std::filesystem::path& path) const;
    // Saved as save() would save it once `children` had appended its elements to `parent`,
    // last; those elements go straight into the file and never into the tree, so a large block
    // costs no memory. An Error from `children` leaves the file as it was.
    void saveAppending(const std::filesystem::path& path, Node parent,
                       const std::function<void(ElementWriter&)>& children);
    // The same bytes in memory, as serialize() gives them.
    std::string serializeAppending(Node parent,
                                   const std::function<void(ElementWriter&)>& children);

    _xmlDoc* raw() const { return doc_; }

  private:
    void release();
    void writeAppending(std::ostream& stream, Node parent,
                        const std::function<void(ElementWriter&)>& children);

    _xmlDoc* doc_ = nullptr;
    // Holds the elements made by createElement until they are appended, so that those never
    // appended are freed with the document.
    _xmlNode* created_ = nullptr;
};

}  // namespace toa::xml
