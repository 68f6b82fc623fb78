#include "xml_tree.h"

#include <msxml2.h>
#include <oleauto.h>

#include <cstring>

namespace testing_support {

const XmlElement* XmlElement::Child(const std::wstring& childName) const {
  for (const XmlElement& child : children)
    if (child.name == childName) return &child;
  return nullptr;
}

std::vector<std::wstring> XmlElement::ChildNames() const {
  std::vector<std::wstring> names;
  for (const XmlElement& child : children) names.push_back(child.name);
  return names;
}

std::optional<std::wstring> XmlElement::Attribute(const std::wstring& attributeName) const {
  for (const auto& [attribute, value] : attributes)
    if (attribute == attributeName) return value;
  return std::nullopt;
}

namespace {

// Releases a COM interface at the end of a scope.
template <typename T>
struct ComRef {
  T* p = nullptr;
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (p) p->Release();
  }
  T* operator->() const { return p; }
  T** put() { return &p; }
};

struct Bstr {
  BSTR value = nullptr;
  Bstr() = default;
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(value); }
  std::wstring str() const { return value ? std::wstring(value, SysStringLen(value)) : std::wstring(); }
};

XmlElement ToElement(IXMLDOMNode* node) {
  XmlElement element;
  Bstr name, uri;
  node->get_baseName(&name.value);
  node->get_namespaceURI(&uri.value);
  element.name = name.str();
  element.namespaceUri = uri.str();

  ComRef<IXMLDOMNamedNodeMap> attributes;
  if (SUCCEEDED(node->get_attributes(attributes.put())) && attributes.p) {
    long count = 0;
    attributes->get_length(&count);
    for (long i = 0; i < count; ++i) {
      ComRef<IXMLDOMNode> attribute;
      if (FAILED(attributes->get_item(i, attribute.put())) || !attribute.p) continue;
      Bstr attributeName, value;
      attribute->get_nodeName(&attributeName.value);
      attribute->get_text(&value.value);
      element.attributes.emplace_back(attributeName.str(), value.str());
    }
  }

  ComRef<IXMLDOMNodeList> children;
  node->get_childNodes(children.put());
  long count = 0;
  if (children.p) children->get_length(&count);
  for (long i = 0; i < count; ++i) {
    ComRef<IXMLDOMNode> child;
    if (FAILED(children->get_item(i, child.put())) || !child.p) continue;
    DOMNodeType type = NODE_INVALID;
    child->get_nodeType(&type);
    if (type == NODE_ELEMENT) {
      element.children.push_back(ToElement(child.p));
    } else if (type == NODE_TEXT || type == NODE_CDATA_SECTION) {
      Bstr text;
      child->get_text(&text.value);
      element.text += text.str();
    }
  }
  return element;
}

}  // namespace

std::optional<XmlElement> ParseXmlFile(std::span<const uint8_t> bytes) {
  static const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  (void)com;
  CLSID documentClass;
  if (FAILED(CLSIDFromProgID(L"Msxml2.DOMDocument.3.0", &documentClass))) return std::nullopt;
  ComRef<IXMLDOMDocument> document;
  if (FAILED(CoCreateInstance(documentClass, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                              reinterpret_cast<void**>(document.put()))))
    return std::nullopt;
  document->put_async(VARIANT_FALSE);
  document->put_validateOnParse(VARIANT_FALSE);
  document->put_resolveExternals(VARIANT_FALSE);

  // The file's bytes as they are, so that the parser itself reads the
  // byte-order mark and the declared encoding.
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  if (!array) return std::nullopt;
  void* data = nullptr;
  SafeArrayAccessData(array, &data);
  std::memcpy(data, bytes.data(), bytes.size());
  SafeArrayUnaccessData(array);
  VARIANT source;
  VariantInit(&source);
  source.vt = VT_ARRAY | VT_UI1;
  source.parray = array;
  VARIANT_BOOL loaded = VARIANT_FALSE;
  const HRESULT result = document->load(source, &loaded);
  VariantClear(&source);
  if (FAILED(result) || loaded != VARIANT_TRUE) return std::nullopt;

  ComRef<IXMLDOMElement> root;
  if (FAILED(document->get_documentElement(root.put())) || !root.p) return std::nullopt;
  return ToElement(root.p);
}

}  // namespace testing_support
