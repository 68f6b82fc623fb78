// What the platform reads from the built Launcher.exe besides its windows:
// the version information, the manifest and the games-folder definition.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <set>

#include "launcher_resources.h"
#include "xml_tree.h"

namespace testing_support {
namespace {

// One node of a VS_VERSIONINFO tree.
struct VersionNode {
  std::wstring key;
  WORD type = 0;  // 1: text
  std::span<const uint8_t> value;
  std::vector<VersionNode> children;

  std::wstring Text() const {
    std::wstring text(reinterpret_cast<const wchar_t*>(value.data()), value.size() / 2);
    return text.substr(0, text.find(L'\0'));
  }
  const VersionNode* Child(const std::wstring& name) const {
    for (const VersionNode& child : children)
      if (child.key == name) return &child;
    return nullptr;
  }
};

size_t AlignUp(size_t offset) { return (offset + 3) & ~size_t{3}; }

// Reads the node at offset (relative to the whole resource, whose blocks are
// aligned to four bytes); nullopt when it runs past its parent's end.
std::optional<VersionNode> ReadVersionNode(std::span<const uint8_t> all, size_t offset, size_t end) {
  auto word = [&](size_t at) {
    WORD value = 0;
    std::memcpy(&value, all.data() + at, 2);
    return value;
  };
  if (offset + 6 > end) return std::nullopt;
  const size_t length = word(offset), valueLength = word(offset + 2);
  VersionNode node;
  node.type = word(offset + 4);
  const size_t nodeEnd = offset + length;
  if (length < 6 || nodeEnd > end) return std::nullopt;
  size_t at = offset + 6;
  for (; at + 2 <= nodeEnd && word(at) != 0; at += 2) node.key.push_back(static_cast<wchar_t>(word(at)));
  at = AlignUp(at + 2);
  const size_t valueBytes = node.type == 1 ? valueLength * 2 : valueLength;
  if (at + valueBytes > nodeEnd) return std::nullopt;
  node.value = all.subspan(at, valueBytes);
  for (at = AlignUp(at + valueBytes); at < nodeEnd; ) {
    auto child = ReadVersionNode(all, at, nodeEnd);
    if (!child) return std::nullopt;
    at = AlignUp(at + word(at));
    node.children.push_back(std::move(*child));
  }
  return node;
}

TEST(VersionInformation, HasTheFixedPartAndOneNeutralUnicodeStringTable) {
  const auto bytes = ResourceBytes(LauncherResourceModule(), RT_VERSION, MAKEINTRESOURCEW(1), 0);
  const auto root = ReadVersionNode(bytes, 0, bytes.size());
  ASSERT_TRUE(root);
  EXPECT_EQ(root->key, L"VS_VERSION_INFO");
  ASSERT_EQ(root->value.size(), sizeof(VS_FIXEDFILEINFO));
  VS_FIXEDFILEINFO fixed;
  std::memcpy(&fixed, root->value.data(), sizeof(fixed));
  EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
  const DWORD expected[] = {MAKELONG(0, 1), MAKELONG(129, 0), MAKELONG(0, 1), MAKELONG(129, 0), 0x17, 0,
                            VOS__WINDOWS32, VFT_APP, 0, 0, 0};
  const DWORD actual[] = {fixed.dwFileVersionMS, fixed.dwFileVersionLS, fixed.dwProductVersionMS,
                          fixed.dwProductVersionLS, fixed.dwFileFlagsMask, fixed.dwFileFlags, fixed.dwFileOS,
                          fixed.dwFileType, fixed.dwFileSubtype, fixed.dwFileDateMS, fixed.dwFileDateLS};
  EXPECT_TRUE(std::equal(std::begin(actual), std::end(actual), std::begin(expected)))
      << testing::PrintToString(actual);

  const VersionNode* strings = root->Child(L"StringFileInfo");
  ASSERT_TRUE(strings);
  ASSERT_EQ(strings->children.size(), 1u);
  const VersionNode& table = strings->children[0];
  EXPECT_EQ(table.key, L"000004b0");
  const std::pair<std::wstring, std::wstring> entries[] = {
      {L"CompanyName", L"MORVANE CO., LTD."}, {L"FileDescription", L"Launcher"},
      {L"FileVersion", L"1, 0, 0, 129"},      {L"LegalCopyright", L""},
      {L"ProductName", L"VARKOLD"},           {L"ProductVersion", L"1, 0, 0, 129"},
  };
  ASSERT_EQ(table.children.size(), std::size(entries));
  for (size_t i = 0; i < std::size(entries); ++i) {
    EXPECT_EQ(table.children[i].key, entries[i].first);
    EXPECT_EQ(table.children[i].type, 1);
    // The legal notice is product data: it has to be there, whatever it says.
    if (entries[i].first == L"LegalCopyright") {
      EXPECT_FALSE(table.children[i].Text().empty());
    } else {
      EXPECT_EQ(table.children[i].Text(), entries[i].second);
    }
  }

  const VersionNode* variables = root->Child(L"VarFileInfo");
  ASSERT_TRUE(variables);
  const VersionNode* translation = variables->Child(L"Translation");
  ASSERT_TRUE(translation);
  ASSERT_EQ(translation->value.size(), 4u);
  WORD languageAndCodePage[2];
  std::memcpy(languageAndCodePage, translation->value.data(), 4);
  EXPECT_EQ(languageAndCodePage[0], 0x0000);
  EXPECT_EQ(languageAndCodePage[1], 0x04B0);
}

TEST(Manifest, AsksForVisualStylesAndNoElevation) {
  const auto bytes = ResourceBytes(LauncherResourceModule(), RT_MANIFEST, CREATEPROCESS_MANIFEST_RESOURCE_ID, 1033);
  const auto assembly = ParseXmlFile(bytes);
  ASSERT_TRUE(assembly);
  EXPECT_EQ(assembly->name, L"assembly");
  EXPECT_EQ(assembly->namespaceUri, L"urn:schemas-microsoft-com:asm.v1");
  EXPECT_EQ(assembly->Attribute(L"manifestVersion"), L"1.0");

  const XmlElement* dependency = assembly->Child(L"dependency");
  ASSERT_TRUE(dependency && dependency->Child(L"dependentAssembly"));
  const XmlElement* identity = dependency->Child(L"dependentAssembly")->Child(L"assemblyIdentity");
  ASSERT_TRUE(identity);
  const std::pair<std::wstring, std::wstring> attributes[] = {
      {L"type", L"win32"},          {L"name", L"Microsoft.Windows.Common-Controls"},
      {L"version", L"6.0.0.0"},     {L"processorArchitecture", L"*"},
      {L"publicKeyToken", L"6595b64144ccf1df"}, {L"language", L"*"},
  };
  for (const auto& [name, value] : attributes) EXPECT_EQ(identity->Attribute(name), value) << name;

  const XmlElement* trust = assembly->Child(L"trustInfo");
  ASSERT_TRUE(trust);
  EXPECT_EQ(trust->namespaceUri, L"urn:schemas-microsoft-com:asm.v2");
  const XmlElement* security = trust->Child(L"security");
  const XmlElement* privileges = security ? security->Child(L"requestedPrivileges") : nullptr;
  const XmlElement* level = privileges ? privileges->Child(L"requestedExecutionLevel") : nullptr;
  ASSERT_TRUE(level);
  EXPECT_EQ(level->namespaceUri, L"urn:schemas-microsoft-com:asm.v2");
  EXPECT_EQ(level->Attribute(L"level"), L"asInvoker");
  EXPECT_NE(level->Attribute(L"uiAccess"), L"true");
}

const WORD ShellLanguages[] = {1024, 1029, 1031, 1033, 1034, 1036, 1038, 1040, 1041, 1045, 1049, 1051};

bool IsGuid(const std::optional<std::wstring>& text) {
  static const std::wregex guid(L"\\{[0-9A-Fa-f]{8}(-[0-9A-Fa-f]{4}){3}-[0-9A-Fa-f]{12}\\}");
  return text && std::regex_match(*text, guid);
}

TEST(GameDefinition, IsUtf16WithCrLfAndHoldsTheGamesElementsInOrder) {
  const HMODULE module = LauncherResourceModule();
  ASSERT_NE(module, nullptr);
  const auto bytes = ResourceBytes(module, L"DATA", L"__GDF_XML", ShellLanguages[0]);
  for (WORD language : ShellLanguages) {
    const auto variant = ResourceBytes(module, L"DATA", L"__GDF_XML", language);
    EXPECT_TRUE(std::ranges::equal(variant, bytes)) << "language " << language;
  }

  // UTF-16LE: byte-order mark, CR LF after every line, the declared encoding.
  ASSERT_GE(bytes.size(), 2u);
  ASSERT_EQ(bytes.size() % 2, 0u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xFE);
  const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()) + 1, bytes.size() / 2 - 1);
  size_t lines = 0, bareEnds = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\n') ++lines, bareEnds += i == 0 || text[i - 1] != L'\r';
    if (text[i] == L'\r') bareEnds += i + 1 == text.size() || text[i + 1] != L'\n';
  }
  EXPECT_GT(lines, 30u);
  EXPECT_EQ(bareEnds, 0u);
  EXPECT_EQ(text.substr(0, text.find(L"\r\n")), L"<?xml version=\"1.0\" encoding=\"utf-16\"?>");

  const auto root = ParseXmlFile(bytes);
  ASSERT_TRUE(root);
  EXPECT_EQ(root->name, L"GameDefinitionFile");
  EXPECT_EQ(root->namespaceUri, L"urn:schemas-microsoft-com:GameDescription.v1");
  EXPECT_EQ(root->Attribute(L"xmlns:baseTypes"), L"urn:schemas-microsoft-com:GamesExplorerBaseTypes.v1");
  ASSERT_EQ(root->children.size(), 1u);
  const XmlElement& game = root->children[0];
  EXPECT_EQ(game.name, L"GameDefinition");
  EXPECT_TRUE(IsGuid(game.Attribute(L"gameID"))) << testing::PrintToString(game.Attribute(L"gameID"));
  EXPECT_EQ(game.ChildNames(),
            (std::vector<std::wstring>{L"Name", L"ReleaseDate", L"Genres", L"Ratings", L"Version",
                                       L"WindowsSystemPerformanceRating", L"Developers", L"Publishers",
                                       L"GameExecutables", L"ExtendedProperties"}));
  for (const XmlElement& child : game.children) EXPECT_EQ(child.namespaceUri, root->namespaceUri) << child.name;

  EXPECT_EQ(game.Child(L"Name")->text, L"VARKOLD");
  EXPECT_TRUE(std::regex_match(game.Child(L"ReleaseDate")->text, std::wregex(L"\\d{4}-\\d{2}-\\d{2}")));
  const XmlElement& genres = *game.Child(L"Genres");
  ASSERT_EQ(genres.children.size(), 1u);
  EXPECT_EQ(genres.children[0].name, L"Genre");
  EXPECT_EQ(genres.children[0].text, L"Action/Adventure");

  // Six ratings on six boards, each with up to three descriptors.
  const XmlElement& ratings = *game.Child(L"Ratings");
  EXPECT_EQ(ratings.children.size(), 6u);
  std::set<std::wstring> boards;
  for (const XmlElement& rating : ratings.children) {
    EXPECT_EQ(rating.name, L"Rating");
    EXPECT_TRUE(IsGuid(rating.Attribute(L"ratingSystemID")));
    EXPECT_TRUE(IsGuid(rating.Attribute(L"ratingID")));
    boards.insert(rating.Attribute(L"ratingSystemID").value_or(L""));
    EXPECT_LE(rating.children.size(), 3u);
    for (const XmlElement& descriptor : rating.children) {
      EXPECT_EQ(descriptor.name, L"Descriptor");
      EXPECT_TRUE(IsGuid(descriptor.Attribute(L"descriptorID")));
    }
  }
  EXPECT_EQ(boards.size(), 6u);

  const XmlElement* version = game.Child(L"Version")->Child(L"VersionNumber");
  ASSERT_TRUE(version);
  EXPECT_EQ(version->Attribute(L"versionNumber"), L"1.0.0.129");
  const XmlElement& performance = *game.Child(L"WindowsSystemPerformanceRating");
  EXPECT_EQ(performance.Attribute(L"minimum"), L"3.8");
  EXPECT_EQ(performance.Attribute(L"recommended"), L"4.7");

  for (const auto& [list, member] : {std::pair{L"Developers", L"Developer"}, std::pair{L"Publishers", L"Publisher"}}) {
    const XmlElement& maker = *game.Child(list);
    ASSERT_EQ(maker.children.size(), 1u) << list;
    EXPECT_EQ(maker.children[0].name, member);
    EXPECT_EQ(maker.children[0].text, L"MORVANE CO., LTD.");
    EXPECT_FALSE(maker.children[0].Attribute(L"URI").value_or(L"").empty()) << member;
  }

  std::vector<std::wstring> executables;
  for (const XmlElement& executable : game.Child(L"GameExecutables")->children) {
    EXPECT_EQ(executable.name, L"GameExecutable");
    executables.push_back(executable.Attribute(L"path").value_or(L""));
  }
  EXPECT_EQ(executables, (std::vector<std::wstring>{L"VKDDX9.EXE", L"VKDDX10.EXE", L"Launcher.exe"}));

  // The play task starts the launcher without arguments; no support tasks.
  const XmlElement* tasks = game.Child(L"ExtendedProperties")->Child(L"GameTasks");
  ASSERT_TRUE(tasks);
  EXPECT_EQ(tasks->ChildNames(), (std::vector<std::wstring>{L"Play", L"Support"}));
  const XmlElement* primary = tasks->Child(L"Play") ? tasks->Child(L"Play")->Child(L"Primary") : nullptr;
  ASSERT_TRUE(primary);
  ASSERT_EQ(primary->ChildNames(), std::vector<std::wstring>{L"FileTask"});
  EXPECT_EQ(primary->children[0].Attribute(L"path"), L"Launcher.exe");
  EXPECT_EQ(primary->children[0].Attribute(L"arguments"), L"");
  EXPECT_TRUE(tasks->Child(L"Support")->children.empty());
}

TEST(GameDefinition, ThumbnailIsOne256PixelRgbaPngInEveryVariant) {
  const HMODULE module = LauncherResourceModule();
  ASSERT_NE(module, nullptr);
  const auto first = ResourceBytes(module, L"DATA", L"__GDF_THUMBNAIL", ShellLanguages[0]);
  ASSERT_GT(first.size(), 33u);
  EXPECT_EQ(std::memcmp(first.data(), "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16), 0);
  auto bigEndian = [&](size_t at) {
    return static_cast<uint32_t>(first[at] << 24 | first[at + 1] << 16 | first[at + 2] << 8 | first[at + 3]);
  };
  EXPECT_EQ(bigEndian(16), 256u);  // width
  EXPECT_EQ(bigEndian(20), 256u);  // height
  EXPECT_EQ(first[24], 8);         // bits per channel
  EXPECT_EQ(first[25], 6);         // RGBA
  for (WORD language : ShellLanguages) {
    const auto variant = ResourceBytes(module, L"DATA", L"__GDF_THUMBNAIL", language);
    EXPECT_TRUE(std::ranges::equal(variant, first)) << "language " << language;
  }
}

}  // namespace
}  // namespace testing_support
