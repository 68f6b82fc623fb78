"""Writes the launcher's picture files byte by byte, so that their formats are
exactly what the resource compiler and Windows expect and nothing else (no
time stamps, no extra chunks, no colour profiles)."""

import struct
import zlib

PIXELS_PER_METRE = 3779  # 96 DPI


def _rgba_rows(image):
    """Rows of (r, g, b, a) tuples, top row first."""
    rgba = image.convert("RGBA")
    width, height = rgba.size
    data = list(rgba.getdata())
    return [data[y * width:(y + 1) * width] for y in range(height)]


def bmp_bytes(image):
    """A 32-bit BI_RGB bottom-up DIB file: 40-byte BITMAPINFOHEADER, 3779
    pixels per metre, no colour table, the fourth byte of every pixel 0."""
    width, height = image.size
    pixels = bytearray()
    for row in reversed(_rgba_rows(image.convert("RGB"))):
        for r, g, b, _ in row:
            pixels += bytes((b, g, r, 0))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 32, 0, len(pixels),
                       PIXELS_PER_METRE, PIXELS_PER_METRE, 0, 0)
    offset = 14 + len(info)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + bytes(pixels)


def _png_chunk(kind, payload):
    return (struct.pack(">I", len(payload)) + kind + payload +
            struct.pack(">I", zlib.crc32(kind + payload) & 0xFFFFFFFF))


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def _filtered_rows(rows, stride, bpp):
    """Each row with the PNG filter that gives the smallest sum of absolute
    values (the usual heuristic), prefixed by its filter type byte."""
    previous = bytes(stride)
    out = bytearray()
    for row in rows:
        candidates = []
        sub = bytes((row[i] - (row[i - bpp] if i >= bpp else 0)) & 0xFF for i in range(stride))
        up = bytes((row[i] - previous[i]) & 0xFF for i in range(stride))
        paeth = bytes((row[i] - _paeth(row[i - bpp] if i >= bpp else 0, previous[i],
                                       previous[i - bpp] if i >= bpp else 0)) & 0xFF
                      for i in range(stride))
        for kind, data in ((0, row), (1, sub), (2, up), (4, paeth)):
            cost = sum(v if v < 128 else 256 - v for v in data)
            candidates.append((cost, kind, data))
        _, kind, data = min(candidates, key=lambda c: (c[0], c[1]))
        out.append(kind)
        out += data
        previous = row
    return bytes(out)


def png_bytes(image):
    """An 8-bit RGBA PNG (colour type 6) with IHDR, IDAT and IEND only."""
    width, height = image.size
    rows = [bytes(v for pixel in row for v in pixel) for row in _rgba_rows(image)]
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    idat = zlib.compress(_filtered_rows(rows, width * 4, 4), 9)
    return (b"\x89PNG\r\n\x1a\n" + _png_chunk(b"IHDR", ihdr) +
            _png_chunk(b"IDAT", idat) + _png_chunk(b"IEND", b""))


def _icon_dib(image):
    """One icon image as a DIB: BITMAPINFOHEADER with doubled height, 32-bit
    XOR pixels with straight alpha, then the 1-bit AND mask (1 = transparent,
    for systems that ignore the alpha)."""
    width, height = image.size
    rows = _rgba_rows(image)
    xor = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask_stride = ((width + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0,
                       len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + bytes(mask)


def ico_bytes(images):
    """An icon file holding the images in the given order: 256 x 256 as PNG,
    smaller ones as DIBs; colour count 0, 1 plane, 32 bits per pixel."""
    payloads = []
    for image in images:
        width, height = image.size
        payloads.append(png_bytes(image) if width >= 256 else _icon_dib(image))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for image, payload in zip(images, payloads):
        width, height = image.size
        directory += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32,
                                 len(payload), offset)
        offset += len(payload)
    return directory + b"".join(payloads)
