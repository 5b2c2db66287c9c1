// PNG sheets are decoded here, in the page, with fast-png: no colour management and no
// premultiplied alpha, unlike the browser's own image decoding. The samples are put in the
// layout the desktop's libpng reader hands to the colour-key rules, so that the core keys them
// the same way (src/web/png_pixels.h); the core has checked the file's header and length first.
import { decode } from "fast-png";

/** The layouts of PngPixels (src/web/png_pixels.h). */
const Layout = { Palette: 0, Grey: 1, GreyAlpha: 2, Rgba: 3 };

/** A 16-bit sample reduced to 8 bits with libpng's rounding (png_set_scale_16). */
function scale16(value) {
  const high = value >> 8;
  return (high + ((((value & 0xff) - high + 128) * 65535) >> 24)) & 0xff;
}

/**
 * The samples of `png` one by one, each as the file stores it (palette index, or a level of
 * `png.depth` bits): rows of fewer than 8 bits per sample are unpacked.
 */
function rawSamples(png) {
  const perRow = png.width * png.channels;
  const count = perRow * png.height;
  if (png.depth >= 8) return png.data.length === count ? png.data : null;
  const depth = png.depth;
  const rowBytes = Math.ceil((perRow * depth) / 8);
  if (png.data.length < rowBytes * png.height) return null;
  const mask = (1 << depth) - 1;
  const out = new Uint8Array(count);
  for (let y = 0; y < png.height; ++y) {
    for (let x = 0; x < perRow; ++x) {
      const bit = x * depth;
      const byte = png.data[y * rowBytes + (bit >> 3)];
      out[y * perRow + x] = (byte >> (8 - depth - (bit & 7))) & mask;
    }
  }
  return out;
}

/** A sample widened or reduced to 8 bits as libpng does (grey levels of 1, 2 and 4 bits widen). */
function eightBits(sample, depth) {
  if (depth === 16) return scale16(sample);
  if (depth === 8) return sample;
  return sample * (255 / ((1 << depth) - 1));
}

function pixelsOf(png, interlaced) {
  const { width, height, depth, channels } = png;
  // fast-png unpacks Adam7 rows of fewer than 8 bits per sample as if they were whole bytes.
  if (interlaced && depth < 8) return null;
  const raw = rawSamples(png);
  if (raw === null) return null;
  const count = width * height;
  if (png.palette) {
    const palette = new Uint32Array(256);
    let paletteAlpha;
    png.palette.forEach((entry, i) => {
      if (i >= 256) return;
      palette[i] = (entry[0] << 16) | (entry[1] << 8) | entry[2];
      if (entry.length > 3) {
        paletteAlpha ??= new Uint8Array(256).fill(255);
        paletteAlpha[i] = entry[3];
      }
    });
    return { layout: Layout.Palette, width, height, samples: raw, palette, paletteAlpha };
  }
  // A grey or RGB picture's tRNS colour, compared at the file's own depth, becomes alpha.
  const key = png.transparency;
  if (channels === 1 || channels === 2) {
    const alpha = channels === 2 || key !== undefined;
    const samples = new Uint8Array(count * (alpha ? 2 : 1));
    for (let i = 0; i < count; ++i) {
      const grey = raw[i * channels];
      if (!alpha) {
        samples[i] = eightBits(grey, depth);
        continue;
      }
      samples[2 * i] = eightBits(grey, depth);
      samples[2 * i + 1] =
        channels === 2 ? eightBits(raw[2 * i + 1], depth) : grey === key[0] ? 0 : 255;
    }
    return { layout: alpha ? Layout.GreyAlpha : Layout.Grey, width, height, samples };
  }
  const samples = new Uint8Array(count * 4);
  for (let i = 0; i < count; ++i) {
    const at = i * channels;
    for (let c = 0; c < 3; ++c) samples[4 * i + c] = eightBits(raw[at + c], depth);
    if (channels === 4) {
      samples[4 * i + 3] = eightBits(raw[at + 3], depth);
    } else {
      const keyed = key !== undefined && raw[at] === key[0] && raw[at + 1] === key[1] &&
        raw[at + 2] === key[2];
      samples[4 * i + 3] = keyed ? 0 : 255;
    }
  }
  return { layout: Layout.Rgba, width, height, samples };
}

/**
 * The page's PNG decoder for the core: the pixels of the PNG file `bytes` (a view of the
 * module's memory, read before this returns), or null when the decoder refuses it. Never throws.
 */
export function decodePng(bytes) {
  try {
    const png = decode(bytes, { checkCrc: true });
    return pixelsOf(png, bytes[28] === 1);
  } catch {
    return null;
  }
}
