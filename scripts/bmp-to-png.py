#!/usr/bin/env python3
"""Converts an uncompressed 24- or 32-bit BMP into a PNG. Usage: bmp-to-png.py IN.bmp OUT.png"""
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
off, = struct.unpack_from('<I', data, 10)
w, h, planes, bpp = struct.unpack_from('<iiHH', data, 18)
topdown = h < 0; h = abs(h)
stride = (w * bpp // 8 + 3) & ~3
rows = []
for y in range(h):
    src = y if topdown else h - 1 - y
    row = data[off + src * stride: off + src * stride + w * bpp // 8]
    step = bpp // 8
    out = bytearray(b'\0')
    for x in range(w):
        b, g, r = row[x*step], row[x*step+1], row[x*step+2]
        out += bytes((r, g, b))
    rows.append(bytes(out))
def chunk(t, d): return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0)) + chunk(b'IDAT', zlib.compress(b''.join(rows))) + chunk(b'IEND', b'')
open(sys.argv[2], 'wb').write(png)
