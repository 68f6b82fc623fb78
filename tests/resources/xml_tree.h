// XML documents read with the platform's own parser (MSXML), as the games
// folder and the loader read the launcher's XML resources, turned into a
// plain tree that tests can walk.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

struct XmlElement {
  std::wstring name;          // local name, without prefix
  std::wstring namespaceUri;
  std::vector<std::pair<std::wstring, std::wstring>> attributes;  // as written, xmlns ones included
  std::wstring text;          // the element's own text, children's left out
  std::vector<XmlElement> children;

  // The first child element of that name; nullptr when there is none.
  const XmlElement* Child(const std::wstring& childName) const;
  std::vector<std::wstring> ChildNames() const;
  // The attribute's value; nullopt when it is absent.
  std::optional<std::wstring> Attribute(const std::wstring& attributeName) const;
};

// Parses the bytes of a whole XML file (byte-order mark and declared encoding
// as the parser reads them); nullopt when the parser rejects it.
std::optional<XmlElement> ParseXmlFile(std::span<const uint8_t> bytes);

}  // namespace testing_support
