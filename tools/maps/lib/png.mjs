// Minimal PNG writer: 8-bit grey, RGB or RGBA, no ancillary chunks, so the same pixels always
// give the same bytes (no time stamps, no gamma chunks from a rendering library).
import zlib from 'node:zlib';

const CRC_TABLE = new Int32Array(256).map((_, n) => {
  let c = n;
  for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c;
});

function crc32(buf) {
  let c = -1;
  for (const b of buf) c = CRC_TABLE[(c ^ b) & 0xff] ^ (c >>> 8);
  return (c ^ -1) >>> 0;
}

function chunk(type, data) {
  const len = Buffer.alloc(4);
  len.writeUInt32BE(data.length);
  const td = Buffer.concat([Buffer.from(type, 'ascii'), data]);
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(crc32(td));
  return Buffer.concat([len, td, crc]);
}

const COLOUR_TYPE = { 1: 0, 3: 2, 4: 6 }; // channels -> PNG colour type

// pixels: Buffer/Uint8Array of width*height*channels bytes, rows top to bottom.
export function encodePng(width, height, channels, pixels) {
  if (!(channels in COLOUR_TYPE)) throw new Error(`unsupported channel count ${channels}`);
  if (pixels.length !== width * height * channels) throw new Error('pixel buffer size mismatch');
  const stride = width * channels;
  const raw = Buffer.alloc((stride + 1) * height);
  for (let y = 0; y < height; y++) {
    raw[y * (stride + 1)] = 0; // filter: none
    Buffer.from(pixels.buffer, pixels.byteOffset + y * stride, stride).copy(raw, y * (stride + 1) + 1);
  }
  const ihdr = Buffer.alloc(13);
  ihdr.writeUInt32BE(width, 0);
  ihdr.writeUInt32BE(height, 4);
  ihdr[8] = 8; // bit depth
  ihdr[9] = COLOUR_TYPE[channels];
  ihdr[10] = 0; ihdr[11] = 0; ihdr[12] = 0;
  return Buffer.concat([
    Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
    chunk('IHDR', ihdr),
    chunk('IDAT', zlib.deflateSync(raw, { level: 9 })),
    chunk('IEND', Buffer.alloc(0)),
  ]);
}

// Drops the alpha channel of an opaque RGBA buffer (throws if a pixel is not opaque).
export function rgbaToRgb(rgba) {
  const n = rgba.length / 4;
  const out = Buffer.alloc(n * 3);
  for (let i = 0; i < n; i++) {
    if (rgba[i * 4 + 3] !== 255) throw new Error(`pixel ${i} is not opaque`);
    out[i * 3] = rgba[i * 4];
    out[i * 3 + 1] = rgba[i * 4 + 1];
    out[i * 3 + 2] = rgba[i * 4 + 2];
  }
  return out;
}
