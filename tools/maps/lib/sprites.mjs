// Pixel pictures drawn without anti-aliasing: the two move cursors and the name tag shape.
import { encodePng } from './png.mjs';

function insidePolygon(px, py, poly) {
  let inside = false;
  for (let i = 0, j = poly.length - 1; i < poly.length; j = i++) {
    const [xi, yi] = poly[i], [xj, yj] = poly[j];
    if ((yi > py) !== (yj > py) && px < ((xj - xi) * (py - yi)) / (yj - yi) + xi) inside = !inside;
  }
  return inside;
}

// Four-headed arrow around (cx, cy): tip distance r, head half-width hw, head length hl, shaft half-width sw.
function moveArrow(cx, cy, { r = 12.3, hw = 4.6, hl = 5.6, sw = 1.6 } = {}) {
  const b = r - hl; // distance of a head's base from the centre
  // one quarter (from the up tip round to the right arm's upper head corner), rotated four times
  const quarter = [[0, -r], [hw, -b], [sw, -b], [sw, -sw], [b, -sw], [b, -hw]];
  const pts = [];
  for (let k = 0; k < 4; k++) {
    for (const [x, y] of quarter) {
      // rotate by k * 90 degrees clockwise (screen coordinates)
      const [rx, ry] = k === 0 ? [x, y] : k === 1 ? [-y, x] : k === 2 ? [-x, -y] : [y, -x];
      pts.push([cx + rx, cy + ry]);
    }
  }
  return pts;
}

// Both cursors are 32x32 with the hot spot at (0, 0): the arrow sits in the top-left corner, its
// up and left tips touching the first row and column, so it stays next to the point that acts.
// scale 2 draws the same arrow on 64x64 pixels, with an outline as thick, for 2x screens.
export function cursorPngs(scale = 1) {
  const S = 32 * scale;
  const poly = moveArrow(12.5, 12.5);
  const mask = new Uint8Array(S * S);
  for (let y = 0; y < S; y++) {
    for (let x = 0; x < S; x++) mask[y * S + x] = insidePolygon((x + 0.5) / scale, (y + 0.5) / scale, poly) ? 1 : 0;
  }
  const at = (x, y) => (x < 0 || y < 0 || x >= S || y >= S ? 0 : mask[y * S + x]);
  const d = scale;
  const edge = (x, y) => at(x, y) && !(at(x - d, y) && at(x + d, y) && at(x, y - d) && at(x, y + d));
  const draw = (fill) => {
    const px = Buffer.alloc(S * S * 4); // transparent black
    for (let y = 0; y < S; y++) {
      for (let x = 0; x < S; x++) {
        const i = (y * S + x) * 4;
        if (edge(x, y)) { px[i + 3] = 255; }
        else if (at(x, y) && fill !== null) { px[i] = px[i + 1] = px[i + 2] = fill; px[i + 3] = 255; }
      }
    }
    return encodePng(S, S, 4, px);
  };
  return { move: draw(null), moveDrag: draw(160) };
}

// 130x25 name tag: a grey band on pure white whose left end slants from x = 20 at the top to x = 0
// at the bottom. Only the shape matters (non-white pixels make the tag window), so no anti-aliasing.
export const NAMETAG = { width: 130, height: 25, slant: 20, grey: 192 };
export function nametagPng() {
  const { width: W, height: H, slant, grey } = NAMETAG;
  const px = Buffer.alloc(W * H, 255);
  for (let y = 0; y < H; y++) {
    const left = slant * (1 - (y + 0.5) / H);
    for (let x = 0; x < W; x++) if (x + 0.5 >= left) px[y * W + x] = grey;
  }
  return encodePng(W, H, 1, px);
}
