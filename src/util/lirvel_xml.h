#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

struct _xmlDoc;
struct _xmlNode;

// A thin, read-only view of a libxml2 document tree. Names are the names as written in the
// document, prefix included ("l:href" is found by that name whether or not "l" is declared):
// namespaces play no part anywhere in the application.
class TXmlNode
{
public:
    TXmlNode() = default;
    explicit TXmlNode(_xmlNode* node) : FNode(node) {}

    explicit operator bool() const { return FNode != nullptr; }
    bool operator==(const TXmlNode& other) const = default;

    bool IsElement() const;
    // The name as written: "prefix:local" for a prefixed name, the local name otherwise.
    // Text nodes are named "#text", comments "#comment", CDATA sections "#cdata-section".
    std::string Name() const;
    // Compares with the name as written without building it.
    bool HasName(std::string_view name) const;

    TXmlNode FirstChild() const;
    TXmlNode NextSibling() const;
    bool HasChildNodes() const { return static_cast<bool>(FirstChild()); }

    // The node's own value: the text of a text, CDATA or comment node, empty for an element.
    std::string Value() const;

    // Attributes of an element, by their names as written.
    bool HasAttributes() const;
    bool HasAttribute(std::string_view name) const;
    std::string Attribute(std::string_view name) const;

    _xmlNode* Raw() const { return FNode; }

private:
    _xmlNode* FNode = nullptr;
};

// Iteration over the direct children of a node: for (TXmlNode c : Children(node)) ...
class TXmlChildren
{
public:
    class iterator
    {
    public:
        explicit iterator(TXmlNode node) : FNode(node) {}
        TXmlNode operator*() const { return FNode; }
        iterator& operator++()
        {
            FNode = FNode.NextSibling();
            return *this;
        }
        bool operator!=(const iterator& other) const { return !(FNode == other.FNode); }

    private:
        TXmlNode FNode;
    };
    explicit TXmlChildren(TXmlNode parent) : FParent(parent) {}
    iterator begin() const { return iterator(FParent ? FParent.FirstChild() : TXmlNode()); }
    iterator end() const { return iterator(TXmlNode()); }

private:
    TXmlNode FParent;
};
inline TXmlChildren Children(TXmlNode parent) { return TXmlChildren(parent); }

// A parsed document. Owns the libxml2 tree.
class TXmlDocument
{
public:
    ~TXmlDocument();
    TXmlDocument(const TXmlDocument&) = delete;
    TXmlDocument& operator=(const TXmlDocument&) = delete;

    TXmlNode DocumentElement() const;

    // Parses strict XML 1.0: malformed input (an unescaped "&" or "<", mismatched tags, a duplicate
    // attribute, an undefined entity, bytes not valid in the declared encoding) fails with an
    // EXmlError. Character and entity references are resolved, CDATA reads as text, and text nodes
    // that hold only blanks, tabs and line breaks are dropped. Nothing is ever fetched: no network,
    // no external entities, no external DTD.
    static std::unique_ptr<TXmlDocument> ParseMemory(const char* data, std::size_t size,
                                                     const std::string& name = "memory");
    static std::unique_ptr<TXmlDocument> ParseMemory(std::string_view data, const std::string& name = "memory")
    {
        return ParseMemory(data.data(), data.size(), name);
    }
    // Reads the whole file and parses it; a file that cannot be read fails with an EFileError.
    static std::unique_ptr<TXmlDocument> ParseFile(const std::string& path);

private:
    explicit TXmlDocument(_xmlDoc* doc) : FDoc(doc) {}
    _xmlDoc* FDoc;
};
