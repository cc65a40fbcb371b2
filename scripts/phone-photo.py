#!/usr/bin/env python3
"""Makes a plain JPEG into one laid out as cameras and phones write them.

Right behind the start marker it puts an Exif block (an orientation, the
usual camera entries, maker notes and an embedded thumbnail), an XMP block
and an ICC colour profile (a valid RGB display profile with sampled sRGB
curves, as large as asked for) split over APP2 segments; the picture's own
APPn segments are dropped. Used by make-samples.sh.

    phone-photo.py IN OUT --orientation N --thumbnail THUMB.jpg
                   [--exif-bytes N] [--icc-bytes N]
"""
import argparse
import struct

SOI = b"\xff\xd8"


def segment(marker, payload):
    assert len(payload) + 2 <= 0xFFFF, "segment too long"
    return bytes([0xFF, marker]) + struct.pack(">H", len(payload) + 2) + payload


def exif_block(orientation, width, height, thumbnail, size):
    """The Exif APP1 payload, little-endian, of about `size` bytes."""
    # Directories first, then their data, all offsets counted from the TIFF header.
    make, model, software = b"Galvora\0", b"Sample Phone\0", b"make-samples 1.0\0"
    date = b"2026:12:08 10:00:00\0"
    entries0 = 9
    ifd0 = 8
    exif_ifd = ifd0 + 2 + 12 * entries0 + 4
    entries_exif = 4
    ifd1 = exif_ifd + 2 + 12 * entries_exif + 4
    entries1 = 3
    data = ifd1 + 2 + 12 * entries1 + 4
    blobs = bytearray()

    def place(blob):
        nonlocal blobs
        at = data + len(blobs)
        blobs += blob
        if len(blobs) % 2:
            blobs += b"\0"
        return at

    make_at, model_at, software_at, date_at = place(make), place(model), place(software), place(date)
    xres_at, yres_at = place(struct.pack("<II", 72, 1)), place(struct.pack("<II", 72, 1))
    fixed = 6 + data + len(blobs) + len(thumbnail) + 64
    maker_notes = bytes((i * 13) % 251 for i in range(max(0, size - fixed)))
    notes_at = place(maker_notes)
    thumb_at = place(thumbnail)

    def entry(tag, kind, count, value):
        if isinstance(value, bytes):
            return struct.pack("<HHI", tag, kind, count) + value.ljust(4, b"\0")
        return struct.pack("<HHII", tag, kind, count, value)

    tiff = bytearray(b"II" + struct.pack("<HI", 42, ifd0))
    tiff += struct.pack("<H", entries0)
    tiff += entry(0x010F, 2, len(make), make_at)
    tiff += entry(0x0110, 2, len(model), model_at)
    tiff += entry(0x0112, 3, 1, struct.pack("<H", orientation))
    tiff += entry(0x011A, 5, 1, xres_at)
    tiff += entry(0x011B, 5, 1, yres_at)
    tiff += entry(0x0128, 3, 1, struct.pack("<H", 2))
    tiff += entry(0x0131, 2, len(software), software_at)
    tiff += entry(0x0132, 2, len(date), date_at)
    tiff += entry(0x8769, 4, 1, exif_ifd)
    tiff += struct.pack("<I", ifd1)
    tiff += struct.pack("<H", entries_exif)
    tiff += entry(0x9000, 7, 4, b"0232")
    tiff += entry(0x927C, 7, len(maker_notes), notes_at)
    tiff += entry(0xA002, 4, 1, width)
    tiff += entry(0xA003, 4, 1, height)
    tiff += struct.pack("<I", 0)
    tiff += struct.pack("<H", entries1)
    tiff += entry(0x0103, 3, 1, struct.pack("<H", 6))
    tiff += entry(0x0201, 4, 1, thumb_at)
    tiff += entry(0x0202, 4, 1, len(thumbnail))
    tiff += struct.pack("<I", 0)
    assert len(tiff) == data
    return b"Exif\0\0" + bytes(tiff) + bytes(blobs)


def xmp_block(orientation):
    packet = (
        '<?xpacket begin="\ufeff" id="W5M0MpCehiHzreSzNTczkc9d"?>'
        '<x:xmpmeta xmlns:x="adobe:ns:meta/"><rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#">'
        '<rdf:Description rdf:about="" xmlns:tiff="http://ns.adobe.com/tiff/1.0/" '
        f'tiff:Orientation="{orientation}"/></rdf:RDF></x:xmpmeta>'
        + " " * 2000
        + '<?xpacket end="w"?>'
    )
    return b"http://ns.adobe.com/xap/1.0/\0" + packet.encode("utf-8")


def s15(value):
    return struct.pack(">i", round(value * 65536))


def icc_profile(size):
    """A version 2 RGB display profile: sRGB primaries (D50) and three sampled
    sRGB curves with as many points as make the profile about `size` bytes."""
    points = max(2, (size - 600) // 6)
    curve = bytearray(b"curv\0\0\0\0" + struct.pack(">I", points))
    for i in range(points):
        x = i / (points - 1)
        y = x / 12.92 if x <= 0.04045 else ((x + 0.055) / 1.055) ** 2.4
        curve += struct.pack(">H", min(65535, round(y * 65535)))

    def xyz(x, y, z):
        return b"XYZ \0\0\0\0" + s15(x) + s15(y) + s15(z)

    text = b"Galvora sample profile"
    desc = b"desc\0\0\0\0" + struct.pack(">I", len(text) + 1) + text + b"\0" + b"\0" * 8 + b"\0" * 3 + b"\0" * 67
    cprt = b"text\0\0\0\0" + b"No copyright, use freely\0"
    tags = [
        (b"desc", desc),
        (b"cprt", cprt),
        (b"wtpt", xyz(0.9642, 1.0, 0.8249)),
        (b"rXYZ", xyz(0.4361, 0.2225, 0.0139)),
        (b"gXYZ", xyz(0.3851, 0.7169, 0.0971)),
        (b"bXYZ", xyz(0.1431, 0.0606, 0.7141)),
        (b"rTRC", bytes(curve)),
        (b"gTRC", bytes(curve)),
        (b"bTRC", bytes(curve)),
    ]
    table_size = 4 + 12 * len(tags)
    offset = 128 + table_size
    table = bytearray(struct.pack(">I", len(tags)))
    body = bytearray()
    for signature, data in tags:
        while (offset + len(body)) % 4:
            body += b"\0"
        table += signature + struct.pack(">II", offset + len(body), len(data))
        body += data
    total = 128 + len(table) + len(body)
    header = bytearray(128)
    struct.pack_into(">I4sI4s4s4s", header, 0, total, b"\0\0\0\0", 0x02100000, b"mntr", b"RGB ", b"XYZ ")
    struct.pack_into(">6H", header, 24, 2026, 12, 8, 10, 0, 0)
    struct.pack_into(">4s4s", header, 36, b"acsp", b"MSFT")
    header[68:80] = s15(0.9642) + s15(1.0) + s15(0.8249)
    return bytes(header + table + body)


def icc_segments(profile):
    chunk = 65519 - 14
    parts = [profile[i:i + chunk] for i in range(0, len(profile), chunk)]
    return b"".join(
        segment(0xE2, b"ICC_PROFILE\0" + bytes([n + 1, len(parts)]) + part) for n, part in enumerate(parts)
    )


def frame_size(jpeg):
    """The stored width and height, from the first frame header."""
    q = 2
    while q < len(jpeg):
        marker = jpeg[q + 1]
        length = struct.unpack(">H", jpeg[q + 2:q + 4])[0]
        if 0xC0 <= marker <= 0xC3:
            height, width = struct.unpack(">HH", jpeg[q + 5:q + 9])
            return width, height
        q += 2 + length
    raise ValueError("no frame header")


def without_app_segments(jpeg):
    assert jpeg[:2] == SOI
    q = 2
    while 0xE0 <= jpeg[q + 1] <= 0xEF:
        q += 2 + struct.unpack(">H", jpeg[q + 2:q + 4])[0]
    return jpeg[q:]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("source")
    parser.add_argument("target")
    parser.add_argument("--orientation", type=int, required=True)
    parser.add_argument("--thumbnail", required=True)
    parser.add_argument("--exif-bytes", type=int, default=30000)
    parser.add_argument("--icc-bytes", type=int, default=3000)
    args = parser.parse_args()
    with open(args.source, "rb") as f:
        jpeg = f.read()
    with open(args.thumbnail, "rb") as f:
        thumbnail = f.read()
    width, height = frame_size(jpeg)
    out = SOI
    out += segment(0xE1, exif_block(args.orientation, width, height, thumbnail, args.exif_bytes))
    out += segment(0xE1, xmp_block(args.orientation))
    out += icc_segments(icc_profile(args.icc_bytes))
    out += without_app_segments(jpeg)
    with open(args.target, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
