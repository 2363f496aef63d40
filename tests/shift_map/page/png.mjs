// Decodes the PNG screenshots chromium takes (8-bit RGB or RGBA, not
// interlaced) into RGBA pixels, so that a test can count what is drawn.
import zlib from 'node:zlib';

export function decodePng(buffer) {
  let offset = 8;
  let width = 0, height = 0, channels = 0;
  const chunks = [];
  while (offset < buffer.length) {
    const length = buffer.readUInt32BE(offset);
    const type = buffer.toString('latin1', offset + 4, offset + 8);
    const body = buffer.subarray(offset + 8, offset + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      const depth = body[8], colour = body[9], interlace = body[12];
      if (depth !== 8 || (colour !== 2 && colour !== 6) || interlace !== 0) {
        throw new Error(`unexpected PNG: depth ${depth}, colour type ${colour}, interlace ${interlace}`);
      }
      channels = colour === 6 ? 4 : 3;
    } else if (type === 'IDAT') {
      chunks.push(body);
    }
    offset += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(chunks));
  const stride = width * channels;
  const pixels = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    const out = pixels.subarray(y * stride, (y + 1) * stride);
    const above = y > 0 ? pixels.subarray((y - 1) * stride, y * stride) : Buffer.alloc(stride);
    for (let i = 0; i < stride; ++i) {
      const a = i >= channels ? out[i - channels] : 0, b = above[i], c = i >= channels ? above[i - channels] : 0;
      let predictor = 0;
      if (filter === 1) predictor = a;
      else if (filter === 2) predictor = b;
      else if (filter === 3) predictor = (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        predictor = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      out[i] = (line[i] + predictor) & 0xff;
    }
  }
  return { width, height, channels, pixels };
}

// The number of pixels that differ from the colour [r, g, b] by more than
// `tolerance` in some channel.
export function countInk(image, [r, g, b], tolerance = 40) {
  let count = 0;
  for (let i = 0; i < image.pixels.length; i += image.channels) {
    const p = image.pixels;
    if (Math.abs(p[i] - r) > tolerance || Math.abs(p[i + 1] - g) > tolerance || Math.abs(p[i + 2] - b) > tolerance) {
      ++count;
    }
  }
  return count;
}
