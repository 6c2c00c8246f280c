#!/usr/bin/env python3
"""Writes the broken inputs of catalogue.tsv into this folder (gif/, gzip/, xm/).

Each file is a small valid file of its kind cut at a structure boundary or with
one field set to a value the program refuses. Run it from anywhere; the files
are committed, so it is needed only to change them. The gzip member that
decodes past the tool's bound (a zip bomb) is not here: the test makes it.
"""
import gzip
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def write(folder, name, data):
    os.makedirs(os.path.join(HERE, folder), exist_ok=True)
    with open(os.path.join(HERE, folder, name), "wb") as f:
        f.write(data)


# ---- GIF: a 4 x 2 image of two of its four colours --------------------------
# Four colours and code size 2: the clear code is 4 by the colour count and by
# the code size alike, so the file is the same GIF to any decoder.

def lzw_codes(pixels, min_size=2):
    """Codes that a decoder reads back as pixels: a clear code before every
    two literals keeps the width at min_size + 1 bits."""
    clear, end = 1 << min_size, (1 << min_size) + 1
    codes = []
    for i, p in enumerate(pixels):
        if i % 2 == 0:
            codes.append(clear)
        codes.append(p)
    codes.append(end)
    bits, count, out = 0, 0, bytearray()
    for c in codes:
        bits |= c << count
        count += min_size + 1
        while count >= 8:
            out.append(bits & 255)
            bits >>= 8
            count -= 8
    if count:
        out.append(bits & 255)
    return bytes(out)


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out += bytes([len(chunk)]) + chunk
    return bytes(out + b"\0")


def gif_parts(width=4, height=2, image_w=None, image_h=None, image_flags=0, code_size=2,
              data=None, frames=1, signature=b"GIF89a"):
    image_w = width if image_w is None else image_w
    image_h = height if image_h is None else image_h
    header = signature
    screen = struct.pack("<HHBBB", width, height, 0x81, 0, 0)  # global table of 4
    table = bytes([0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 0, 255])
    control = bytes([0x21, 0xF9, 4, 1, 5, 0, 1, 0])  # colour 1 see-through
    descriptor = bytes([0x2C]) + struct.pack("<HHHHB", 0, 0, image_w, image_h, image_flags)
    if data is None:
        data = lzw_codes([i % 2 for i in range(image_w * image_h)])
    image = bytes([code_size]) + sub_blocks(data)
    return [header, screen, table, control, descriptor, image * 1, b";"], frames


def gif(**kwargs):
    parts, frames = gif_parts(**kwargs)
    body = parts[3] + parts[4] + parts[5]
    return parts[0] + parts[1] + parts[2] + body * frames + parts[6]


def make_gifs():
    parts, _ = gif_parts()
    names = ["signature", "screen", "colour-table", "control", "descriptor", "image-data"]
    whole = b"".join(parts)
    offset = 0
    for name, part in zip(names, parts):
        offset += len(part)
        write("gif", "cut-after-%s.gif" % name, whole[:offset])
    # Inside the first data sub-block, and within the image descriptor.
    image_start = sum(len(p) for p in parts[:5])
    write("gif", "cut-inside-data.gif", whole[:image_start + 3])
    write("gif", "cut-inside-descriptor.gif", whole[:image_start - 4])
    write("gif", "empty.gif", b"")
    write("gif", "wrong-signature.gif", b"\x89PNG\r\n" + whole[6:])
    write("gif", "zero-width.gif", gif(width=0, image_w=0))
    write("gif", "too-large.gif", gif(width=4097, height=4096, image_w=1, image_h=1))
    write("gif", "image-smaller-than-screen.gif", gif(width=8, height=2, image_w=4))
    write("gif", "image-larger-than-screen.gif", gif(width=4, height=2, image_w=4, image_h=3))
    write("gif", "local-colour-table.gif", gif(image_flags=0x80))
    write("gif", "interlaced.gif", gif(image_flags=0x40))
    write("gif", "code-size-0.gif", gif(code_size=0))
    write("gif", "code-size-12.gif", gif(code_size=12))
    # Code 7 right after a clear: no string has that code yet.
    write("gif", "unknown-code.gif", gif(data=bytes([0x3C, 0x00])))
    write("gif", "too-many-pixels.gif", gif(data=lzw_codes([1] * 12)))
    write("gif", "too-many-frames.gif", gif(width=1, height=1, frames=257))
    write("gif", "no-image.gif", parts[0] + parts[1] + parts[2] + parts[6])


# ---- gzip: members made by zlib, then broken ---------------------------------

def raw_deflate(data, level=9):
    c = zlib.compressobj(level, zlib.DEFLATED, -15)
    return c.compress(data) + c.flush()


def member(deflate, flags=0, extra=b""):
    header = bytes([0x1F, 0x8B, 8, flags, 0, 0, 0, 0, 0, 3]) + extra
    return header + deflate + struct.pack("<II", 0, 0)


def bits_to_bytes(bits):
    out = bytearray()
    for i in range(0, len(bits), 8):
        byte = 0
        for j, b in enumerate(bits[i:i + 8]):
            byte |= b << j
        out.append(byte)
    return bytes(out)


def lsb(value, n):
    return [(value >> i) & 1 for i in range(n)]


def dynamic_header(hlit, hdist, hclen, code_length_lengths):
    bits = [1] + lsb(2, 2) + lsb(hlit - 257, 5) + lsb(hdist - 1, 5) + lsb(hclen - 4, 4)
    for length in code_length_lengths[:hclen]:
        bits += lsb(length, 3)
    return bits


def make_gzips():
    text = open(os.path.join(HERE, "..", "..", "assets", "data", "scroll.txt"), "rb").read()
    good = gzip.compress(text, 9, mtime=0)
    deflate_start = 10
    write("gzip", "empty.gz", b"")
    write("gzip", "one-byte.gz", good[:1])
    write("gzip", "cut-after-header.gz", good[:10])
    write("gzip", "cut-inside-deflate.gz", good[:deflate_start + 40])
    write("gzip", "cut-inside-last-block.gz", good[:-9])
    write("gzip", "extra-field.gz", member(raw_deflate(text), flags=4, extra=b"\x02\x00AB"))
    write("gzip", "name-without-end.gz", bytes([0x1F, 0x8B, 8, 8, 0, 0, 0, 0, 0, 3]) + b"scroll")
    write("gzip", "two-members.gz", good + good)
    write("gzip", "not-gzip.gz", b"hello, this is plain text\n")
    # A fixed-code block whose first item copies from distance 1: nothing before it.
    # Fixed literal/length codes: length 3 is symbol 257 (7 bits 0000001), distance 0 is 00000.
    bits = [1] + lsb(1, 2) + [0, 0, 0, 0, 0, 0, 1] + [0, 0, 0, 0, 0] + [0] * 7
    write("gzip", "copy-before-start.gz", member(bits_to_bytes(bits)))
    # Dynamic blocks with broken code tables.
    write("gzip", "too-many-codes.gz", member(bits_to_bytes(dynamic_header(287, 1, 4, [0] * 19))))
    lengths = [0] * 19
    lengths[0] = 1  # symbol 16 (repeat) gets a 1-bit code, so does 17
    lengths[1] = 1
    bits = dynamic_header(257, 1, 4, lengths) + [0] + lsb(0, 2)
    write("gzip", "repeat-first.gz", member(bits_to_bytes(bits + [0] * 16)))
    lengths = [1, 1, 1] + [0] * 16  # three codes of one bit
    write("gzip", "over-subscribed.gz", member(bits_to_bytes(dynamic_header(257, 1, 4, lengths))))
    write("gzip", "reserved-block-type-only.gz", member(bits_to_bytes([0] + lsb(3, 2) + [0] * 5)))


# ---- XM: a small song of one pattern and one instrument ----------------------

def xm_header(song_length=1, channels=2, patterns=1, instruments=1, speed=6, tempo=125,
              order=(0,), version=0x0104, ident=b"Extended Module: "):
    head = ident + b"bad input".ljust(20, b" ") + b"\x1a" + b"corvexa tests".ljust(20, b" ")
    head += struct.pack("<hI", version, 276)
    head += struct.pack("<hhhhhhhh", song_length, 0, channels, patterns, instruments, 1,
                        speed, tempo)
    head += bytes(order) + bytes(256 - len(order))
    return head


def xm_pattern(rows=4, channels=2, packed=None):
    if packed is None:
        packed = bytes([49, 1, 0x40, 0, 0]) + bytes([0x80]) * (rows * channels - 1)
    return struct.pack("<IBhh", 9, 0, rows, len(packed)) + packed


def xm_instrument(samples=1, sample_map=0, volume_points=0, volume_type=0, loop=(0, 0),
                  sample_length=16):
    if samples == 0:
        return struct.pack("<I", 29) + b"empty".ljust(22, b" ") + struct.pack("<Bh", 0, 0)
    head = struct.pack("<I", 263) + b"square".ljust(22, b" ") + struct.pack("<Bh", 0, samples)
    head += struct.pack("<I", 40) + bytes([sample_map]) * 96
    head += bytes(48) + bytes(48)  # envelopes
    head += bytes([volume_points, 0, 0, loop[0], loop[1], 0, 0, 0, volume_type, 0, 0, 0, 0, 0])
    head += struct.pack("<h", 0) + bytes(22)
    assert len(head) == 263
    headers, data = b"", b""
    for _ in range(max(samples, 0)):
        headers += struct.pack("<iiiBbBBbB", sample_length, 0, 0, 64, 0, 0, 128, 0, 0)
        headers += b"sample".ljust(22, b" ")
        data += bytes([40] + [0] * 7 + [256 - 80] + [0] * 7)[:max(sample_length, 0)]
    return head + headers + data


def make_xms():
    header, pattern, instrument = xm_header(), xm_pattern(), xm_instrument()
    whole = header + pattern + instrument
    write("xm", "empty.xm", b"")
    write("xm", "cut-inside-identification.xm", whole[:30])
    write("xm", "cut-after-identification.xm", whole[:60])
    write("xm", "cut-inside-header.xm", whole[:60 + 100])
    write("xm", "cut-after-header.xm", header)
    write("xm", "cut-inside-pattern.xm", header + pattern[:12])
    write("xm", "cut-after-pattern.xm", header + pattern)
    write("xm", "cut-inside-instrument.xm", header + pattern + instrument[:100])
    write("xm", "cut-after-sample-header.xm", header + pattern + instrument[:263 + 40])
    write("xm", "cut-inside-sample-data.xm", whole[:-5])
    write("xm", "wrong-version.xm", xm_header(version=0x0103) + pattern + instrument)
    write("xm", "wrong-signature-and-version.xm",
          xm_header(ident=b"Not a Module at a", version=0x4D5A) + pattern + instrument)
    write("xm", "song-length-0.xm", xm_header(song_length=0) + pattern + instrument)
    write("xm", "song-length-257.xm", xm_header(song_length=257) + pattern + instrument)
    write("xm", "channels-9.xm", xm_header(channels=9) + pattern + instrument)
    write("xm", "channels-0.xm", xm_header(channels=0) + pattern + instrument)
    write("xm", "patterns-65.xm", xm_header(patterns=65) + pattern + instrument)
    write("xm", "patterns-negative.xm", xm_header(patterns=-1) + pattern + instrument)
    write("xm", "instruments-33.xm", xm_header(instruments=33) + pattern + instrument)
    write("xm", "speed-256.xm", xm_header(speed=256) + pattern + instrument)
    write("xm", "tempo-31.xm", xm_header(tempo=31) + pattern + instrument)
    write("xm", "order-names-missing-pattern.xm", xm_header(order=(1,)) + pattern + instrument)
    write("xm", "pattern-without-rows.xm", header + xm_pattern(rows=0, packed=b"") + instrument)
    # 64 patterns of 256 rows x 8 channels: 131,072 notes, four times what fits.
    big = xm_header(channels=8, patterns=64) + xm_pattern(rows=256, channels=8, packed=b"") * 64
    write("xm", "notes-over-capacity.xm", big + instrument)
    write("xm", "samples-9.xm", header + pattern + xm_instrument(samples=9))
    write("xm", "samples-negative.xm", header + pattern + xm_instrument(samples=-1))
    write("xm", "sample-map-8.xm", header + pattern + xm_instrument(sample_map=8))
    write("xm", "envelope-13-points.xm",
          header + pattern + xm_instrument(volume_points=13, volume_type=1))
    write("xm", "envelope-loop-past-end.xm",
          header + pattern + xm_instrument(volume_points=2, volume_type=5, loop=(0, 2)))
    write("xm", "sample-length-negative.xm", header + pattern + xm_instrument(sample_length=-2))
    write("xm", "sample-frames-over-capacity.xm",
          header + pattern + xm_instrument(sample_length=600000))
    write("xm", "good.xm", whole)


make_gifs()
make_gzips()
make_xms()
