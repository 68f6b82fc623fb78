// Bitmaps 103 and 111 and icon group 101 as the built Launcher.exe carries
// them, and the places of the glyphs in bitmap 111 that name the gamepad
// dialog's action lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>

#include "launcher_resources.h"
#include "platform/unique_handle.h"
#include "resource.h"
#include "test_images.h"

namespace testing_support {
namespace {

template <typename T>
T ReadAt(std::span<const uint8_t> bytes, size_t offset) {
  T value{};
  if (offset + sizeof(T) <= bytes.size()) std::memcpy(&value, bytes.data() + offset, sizeof(T));
  return value;
}

constexpr int BitmapWidth = 499;
constexpr int BitmapHeight = 312;

struct BitmapCase {
  int id;
  WORD language;
};
const BitmapCase Bitmaps[] = {
    {IDB_MAIN_BACKGROUND, 0},
    {IDB_GAMEPAD_BACKGROUND, 1041},
};

TEST(BitmapResources, AreBottomUp32BitDibsOf499By312At96Dpi) {
  const HMODULE module = LauncherResourceModule();
  ASSERT_NE(module, nullptr);
  for (const BitmapCase& bitmap : Bitmaps) {
    SCOPED_TRACE(bitmap.id);
    const auto bytes = ResourceBytes(module, RT_BITMAP, MAKEINTRESOURCEW(bitmap.id), bitmap.language);
    const auto header = ReadAt<BITMAPINFOHEADER>(bytes, 0);
    EXPECT_EQ(header.biSize, sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(header.biWidth, BitmapWidth);
    EXPECT_EQ(header.biHeight, BitmapHeight);  // positive: bottom-up
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_EQ(header.biBitCount, 32);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(header.biXPelsPerMeter, 3779);
    EXPECT_EQ(header.biYPelsPerMeter, 3779);
    EXPECT_EQ(header.biClrUsed, 0u);
    // No colour table; the fourth byte of every pixel is 0.
    const size_t pixelBytes = size_t{BitmapWidth} * BitmapHeight * 4;
    ASSERT_EQ(bytes.size(), sizeof(BITMAPINFOHEADER) + pixelBytes);
    size_t nonZeroFourth = 0;
    for (size_t i = sizeof(BITMAPINFOHEADER) + 3; i < bytes.size(); i += 4) nonZeroFourth += bytes[i] != 0;
    EXPECT_EQ(nonZeroFourth, 0u);

    // The gamepad dialog loads it so: by number, size 0 x 0, default colours.
    const platform::unique_hbitmap loaded(static_cast<HBITMAP>(
        LoadImageW(module, MAKEINTRESOURCEW(bitmap.id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    ASSERT_TRUE(loaded);
    BITMAP info = {};
    ASSERT_TRUE(GetObjectW(loaded.get(), sizeof(info), &info));
    EXPECT_EQ(info.bmWidth, BitmapWidth);
    EXPECT_EQ(info.bmHeight, BitmapHeight);
  }
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colourCount, reserved;
  WORD planes, bitCount;
  DWORD bytesInResource;
  WORD id;
};
#pragma pack(pop)
static_assert(sizeof(GroupIconEntry) == 14);

const WORD IconLanguages[] = {1024, 1029, 1031, 1033, 1034, 1036, 1038, 1040, 1041, 1045, 1049, 1051};

TEST(IconGroup, EveryVariantHoldsThe256PngAndThree32BitDibs) {
  const HMODULE module = LauncherResourceModule();
  ASSERT_NE(module, nullptr);
  const int sizes[] = {256, 48, 32, 16};
  std::vector<std::vector<uint8_t>> firstImages;
  for (WORD language : IconLanguages) {
    SCOPED_TRACE(testing::Message() << "language " << language);
    const auto group = ResourceBytes(module, RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_LAUNCHER), language);
    ASSERT_EQ(group.size(), 6 + 4 * sizeof(GroupIconEntry));
    EXPECT_EQ((std::array{ReadAt<WORD>(group, 0), ReadAt<WORD>(group, 2), ReadAt<WORD>(group, 4)}),
              (std::array<WORD, 3>{0, 1, 4}));
    std::vector<std::vector<uint8_t>> images;
    for (size_t i = 0; i < 4; ++i) {
      SCOPED_TRACE(testing::Message() << sizes[i] << " pixels");
      const auto entry = ReadAt<GroupIconEntry>(group, 6 + i * sizeof(GroupIconEntry));
      EXPECT_EQ(entry.width, sizes[i] % 256);  // 0 stands for 256
      EXPECT_EQ(entry.height, sizes[i] % 256);
      EXPECT_EQ(entry.colourCount, 0);
      EXPECT_EQ(entry.planes, 1);
      EXPECT_EQ(entry.bitCount, 32);
      // The image itself, in the group's own language.
      const auto image = ResourceBytes(module, RT_ICON, MAKEINTRESOURCEW(entry.id), language);
      ASSERT_EQ(image.size(), entry.bytesInResource);
      if (sizes[i] == 256) {
        EXPECT_EQ(std::memcmp(image.data(), "\x89PNG\r\n\x1a\n", 8), 0);
      } else {
        const auto header = ReadAt<BITMAPINFOHEADER>(image, 0);
        EXPECT_EQ(header.biSize, sizeof(BITMAPINFOHEADER));
        EXPECT_EQ(header.biWidth, sizes[i]);
        EXPECT_EQ(header.biHeight, 2 * sizes[i]);  // image and mask
        EXPECT_EQ(header.biBitCount, 32);
        EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
      }
      images.emplace_back(image.begin(), image.end());
    }
    // The same four images in every variant.
    if (firstImages.empty()) {
      firstImages = images;
    } else {
      EXPECT_TRUE(images == firstImages);
    }

    // What the shell does: pick the image for a size from the group.
    const platform::unique_any<platform::traits::null_is_none<HICON, ::DestroyIcon>> icon(
        static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_LAUNCHER), IMAGE_ICON, 32, 32, 0)));
    EXPECT_TRUE(icon);
  }
}

// The action lists of the gamepad dialog over bitmap 111, in pixels: two
// columns (the right one 94 pixels right of the middle), ten rows.
struct ListRect {
  int left, top, width, height;
};
std::vector<ListRect> ActionListRects() {
  std::vector<ListRect> rects;
  for (int row = 0; row < 10; ++row)
    for (int left : {94, BitmapWidth / 2 + 94}) rects.push_back({left, 20 + 24 * row, 98, 20});
  return rects;
}

int ColourDistance(uint32_t a, uint32_t b) {
  int largest = 0;
  for (int shift : {0, 8, 16})
    largest = std::max(largest, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
  return largest;
}

// The most frequent colour of a rectangle: the ground a list stands on.
uint32_t GroundColour(const Image& image, const ListRect& rect) {
  std::map<uint32_t, int> counts;
  for (int y = rect.top; y < rect.top + rect.height; ++y)
    for (int x = rect.left; x < rect.left + rect.width; ++x) ++counts[image.Pixel(x, y)];
  return std::max_element(counts.begin(), counts.end(),
                          [](const auto& a, const auto& b) { return a.second < b.second; })
      ->first;
}

TEST(GamepadBackground, HasAGlyphLeftOfEachActionListAndNoneUnderIt) {
  const HMODULE module = LauncherResourceModule();
  ASSERT_NE(module, nullptr);
  const platform::unique_hbitmap bitmap(static_cast<HBITMAP>(
      LoadImageW(module, MAKEINTRESOURCEW(IDB_GAMEPAD_BACKGROUND), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  ASSERT_TRUE(bitmap);
  const Image image = ImageOfBitmap(bitmap.get());
  ASSERT_EQ(image.width, BitmapWidth);
  ASSERT_EQ(image.height, BitmapHeight);

  // Glyph ink is what stands out clearly from the ground the list stands on:
  // plenty of it just left of the list, none under it (the list's frame
  // covers its edges, so faint decoration there does not count).
  constexpr int GlyphWidth = 26, Clear = 64, GlyphPixels = 30;
  Image outlined = image;
  const auto rects = ActionListRects();
  for (size_t i = 0; i < rects.size(); ++i) {
    const ListRect& list = rects[i];
    SCOPED_TRACE(testing::Message() << "list " << IDC_ACTION_A + i);
    const uint32_t ground = GroundColour(image, list);
    int glyphPixels = 0, inkUnder = 0;
    for (int y = list.top; y < list.top + list.height; ++y) {
      for (int x = list.left - 2 - GlyphWidth; x < list.left - 2; ++x)
        glyphPixels += ColourDistance(image.Pixel(x, y), ground) > Clear;
      for (int x = list.left; x < list.left + list.width; ++x)
        inkUnder += ColourDistance(image.Pixel(x, y), ground) > Clear;
    }
    EXPECT_GE(glyphPixels, GlyphPixels) << "no glyph left of the list";
    EXPECT_EQ(inkUnder, 0) << "a glyph reaches under the list";

    for (int x = list.left; x < list.left + list.width; ++x) {
      outlined.SetPixel(x, list.top, 0xFF00FF);
      outlined.SetPixel(x, list.top + list.height - 1, 0xFF00FF);
    }
    for (int y = list.top; y < list.top + list.height; ++y) {
      outlined.SetPixel(list.left, y, 0xFF00FF);
      outlined.SetPixel(list.left + list.width - 1, y, 0xFF00FF);
    }
  }
  EXPECT_TRUE(WritePng(ArtifactFolder() + L"\\gamepad_background_lists.png", outlined));
}

}  // namespace
}  // namespace testing_support
