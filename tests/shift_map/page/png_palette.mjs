// Writes an RGB(A) image as a palette PNG of at most 256 colours, so that the
// README's pictures stay small: the most frequent colours apart from each
// other are kept and every other pixel takes the nearest of them
// (anti-aliased edges lose a shade).
import zlib from 'node:zlib';

const crcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});
function crc32(bytes) {
  let c = 0xffffffff;
  for (const b of bytes) c = crcTable[(c ^ b) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}
function chunk(type, body) {
  const out = Buffer.alloc(12 + body.length);
  out.writeUInt32BE(body.length, 0);
  out.write(type, 4, 'latin1');
  body.copy(out, 8);
  out.writeUInt32BE(crc32(out.subarray(4, 8 + body.length)), 8 + body.length);
  return out;
}

export function encodePalettePng({ width, height, channels, pixels }) {
  const key = (p) => (pixels[p] << 16) | (pixels[p + 1] << 8) | pixels[p + 2];
  const counts = new Map();
  for (let p = 0; p < pixels.length; p += channels) counts.set(key(p), (counts.get(key(p)) || 0) + 1);
  // The most frequent colours, each at least a few levels from those before
  // it, so that the shades of one colour's edges leave room for the rarer
  // colours (a legend's swatch).
  const distance = (c, q) => ((c >> 16) - (q >> 16)) ** 2 + (((c >> 8) & 255) - ((q >> 8) & 255)) ** 2 + ((c & 255) - (q & 255)) ** 2;
  const palette = [];
  for (const [c] of [...counts.entries()].sort((a, b) => b[1] - a[1] || a[0] - b[0])) {
    if (palette.length === 256) break;
    if (palette.every((q) => distance(c, q) > 3 * 6 * 6)) palette.push(c);
  }
  const index = new Map(palette.map((c, k) => [c, k]));
  const nearest = (c) => {
    let best = 0, bestDistance = Infinity;
    palette.forEach((q, k) => {
      const d = distance(c, q);
      if (d < bestDistance) [best, bestDistance] = [k, d];
    });
    index.set(c, best);
    return best;
  };
  const raw = Buffer.alloc((width + 1) * height);
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      const c = key((y * width + x) * channels);
      raw[y * (width + 1) + 1 + x] = index.has(c) ? index.get(c) : nearest(c);
    }
  }
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(height, 4);
  header[8] = 8;  // bit depth
  header[9] = 3;  // palette
  const plte = Buffer.alloc(palette.length * 3);
  palette.forEach((c, k) => plte.writeUIntBE(c, 3 * k, 3));
  return Buffer.concat([Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]), chunk('IHDR', header),
    chunk('PLTE', plte), chunk('IDAT', zlib.deflateSync(raw, { level: 9 })), chunk('IEND', Buffer.alloc(0))]);
}
