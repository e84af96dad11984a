#pragma once

#include "util/lirvel_xml.h"

#include <string>
#include <string_view>

// Walking an FB2 document tree. Names are compared exactly as written, prefix and letter case
// included; an empty TXmlNode stands for "none" and is accepted wherever a node is.

// The last direct child element of the node with that name; none when there is none.
TXmlNode FindChildNode(const TXmlNode& node, std::string_view name);

// The value of the element's first child node: its text when the element begins with text (only
// that first text), empty when it begins with an inner element or has no children.
std::string FirstChildValue(const TXmlNode& element);

// FirstChildValue of the child that FindChildNode finds; empty when there is none. Not trimmed.
std::string GetChildText(const TXmlNode& node, std::string_view name);

// "description" / "title-info" below the document's root element, or none.
TXmlNode GetTitleInfo(const TXmlNode& root);
// "description" / "publish-info" below the document's root element, or none.
TXmlNode GetPublishInfo(const TXmlNode& root);
