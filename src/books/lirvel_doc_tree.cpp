#include "books/lirvel_doc_tree.h"

TXmlNode FindChildNode(const TXmlNode& node, std::string_view name)
{
    TXmlNode found;
    for (const TXmlNode child : Children(node))
        if (child.HasName(name))
            found = child;
    return found;
}

std::string FirstChildValue(const TXmlNode& element)
{
    const TXmlNode first = element.FirstChild();
    return first ? first.Value() : std::string();
}

std::string GetChildText(const TXmlNode& node, std::string_view name)
{
    const TXmlNode child = FindChildNode(node, name);
    return child ? FirstChildValue(child) : std::string();
}

TXmlNode GetTitleInfo(const TXmlNode& root)
{
    return FindChildNode(FindChildNode(root, "description"), "title-info");
}

TXmlNode GetPublishInfo(const TXmlNode& root)
{
    return FindChildNode(FindChildNode(root, "description"), "publish-info");
}
