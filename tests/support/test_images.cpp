#include "test_images.h"

#include <utility>

#include "platform/unique_handle.h"
#include "test_process.h"

namespace testing_support {

uint32_t Image::Pixel(int x, int y) const {
  const uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
  return (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
}

void Image::SetPixel(int x, int y, uint32_t rgb) {
  uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
  p[0] = static_cast<uint8_t>(rgb >> 16);
  p[1] = static_cast<uint8_t>(rgb >> 8);
  p[2] = static_cast<uint8_t>(rgb);
  p[3] = 255;
}

namespace {

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char type[5], const std::vector<uint8_t>& data) {
  PutBigEndian(out, static_cast<uint32_t>(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutBigEndian(out, Crc32(&out[start], out.size() - start));
}

// zlib stream of stored (uncompressed) deflate blocks.
std::vector<uint8_t> ZlibStored(const std::vector<uint8_t>& raw) {
  std::vector<uint8_t> out = {0x78, 0x01};
  size_t pos = 0;
  do {
    const size_t length = std::min<size_t>(65535, raw.size() - pos);
    const bool last = pos + length == raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<uint8_t>(length));
    out.push_back(static_cast<uint8_t>(length >> 8));
    out.push_back(static_cast<uint8_t>(~length));
    out.push_back(static_cast<uint8_t>(~length >> 8));
    out.insert(out.end(), raw.begin() + pos, raw.begin() + pos + length);
    pos += length;
  } while (pos < raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutBigEndian(out, (b << 16) | a);
  return out;
}

}  // namespace

bool WritePng(const std::wstring& path, const Image& image) {
  std::vector<uint8_t> raw;
  raw.reserve(static_cast<size_t>(image.height) * (image.width * 4 + 1));
  for (int y = 0; y < image.height; ++y) {
    raw.push_back(0);  // no filter
    const auto row = image.rgba.begin() + static_cast<ptrdiff_t>(y) * image.width * 4;
    raw.insert(raw.end(), row, row + image.width * 4);
  }
  std::vector<uint8_t> header;
  PutBigEndian(header, image.width);
  PutBigEndian(header, image.height);
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA

  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", ZlibStored(raw));
  PutChunk(png, "IEND", {});
  return WriteTextFile(path, std::string(png.begin(), png.end()));
}

Image ImageOfBitmap(HBITMAP bitmap) {
  Image image;
  BITMAP info = {};
  if (!GetObjectW(bitmap, sizeof(info), &info)) return image;
  image.width = info.bmWidth;
  image.height = info.bmHeight;
  BITMAPINFO request = {};
  request.bmiHeader.biSize = sizeof(request.bmiHeader);
  request.bmiHeader.biWidth = image.width;
  request.bmiHeader.biHeight = -image.height;  // top-down
  request.bmiHeader.biPlanes = 1;
  request.bmiHeader.biBitCount = 32;
  request.bmiHeader.biCompression = BI_RGB;
  std::vector<uint8_t> bgra(static_cast<size_t>(image.width) * image.height * 4);
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, image.height, bgra.data(), &request, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  image.rgba.resize(bgra.size());
  for (size_t i = 0; i < bgra.size(); i += 4) {
    image.rgba[i] = bgra[i + 2];
    image.rgba[i + 1] = bgra[i + 1];
    image.rgba[i + 2] = bgra[i];
    image.rgba[i + 3] = 255;
  }
  return image;
}

Image CaptureWindow(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  platform::unique_hdc memory(CreateCompatibleDC(screen));
  platform::unique_hbitmap bitmap(CreateCompatibleBitmap(screen, width, height));
  HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
  BitBlt(memory.get(), 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory.get(), old);
  ReleaseDC(nullptr, screen);
  return ImageOfBitmap(bitmap.get());
}

Image CapturePaintedWindow(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Image last = CaptureWindow(window);
  WaitUntil([&] {
    Image next = CaptureWindow(window);
    const bool settled = next.rgba == last.rgba;
    last = std::move(next);
    return settled;
  }, 10s);
  return last;
}

std::wstring ArtifactFolder() {
  std::wstring folder = ArtefactPath(L"VKTEST_ARTIFACTS");
  if (folder.empty()) folder = L".";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

}  // namespace testing_support
