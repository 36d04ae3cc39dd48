// Generates Yubino's bundled pictures and its table of places:
//   src/resources/maps/map0.png .. map8.png  (400x400, 24-bit; 北海道 東北 関東 中部 近畿 中国 四国 九州 世界),
//                                            the maps without their names; map0@2x.png .. (800x800) for 2x screens
//   src/resources/maps/labels0.png ..        (400x400 and @2x 800x800, 32-bit) the place names alone, drawn
//                                            over the pals' icons so that both stay readable
//   src/resources/maps/maps.json             (projection of each map, pixel place of each prefectural capital)
//   src/resources/cursors/move.png, move_drag.png (32x32, hot spot 0,0; @2x 64x64)
//   src/resources/nametag.png                (130x25 name tag shape)
//   src/core/place_table.inc                 (map and pixel of each place a residence may name)
// Data: Natural Earth (public domain): prefectures from data/jp-prefectures.geojson, countries from
// the world-atlas package; names of places from lib/places.mjs.
// Usage: node make-maps.mjs [--out DIR] [--svg DIR]  (--out writes everything under DIR; --svg also writes the map SVGs)
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { createRequire } from 'node:module';
import { geoMercator, geoPath, geoGraticule, geoBounds } from 'd3-geo';
import * as topojson from 'topojson-client';
import { svgToRgba, FONT_FAMILY } from './lib/render.mjs';
import { encodePng, rgbaToRgb } from './lib/png.mjs';
import { cursorPngs, nametagPng } from './lib/sprites.mjs';
import { PREFS } from './lib/prefs.mjs';
import { placeTable } from './lib/place-table.mjs';

const require = createRequire(import.meta.url);
const HERE = path.dirname(fileURLToPath(import.meta.url));
const args = process.argv.slice(2);
// --out DIR writes the pictures under DIR instead of the program's resource folder
const RES = args.includes('--out') ? path.resolve(args[args.indexOf('--out') + 1]) : path.resolve(HERE, '../../src/resources');
const CORE = args.includes('--out') ? RES : path.resolve(HERE, '../../src/core');
const SVG_DIR = args.includes('--svg') ? path.resolve(args[args.indexOf('--svg') + 1] || 'out') : null;

const W = 400, H = 400;
const C = {
  sea: '#8ec3e8',
  seaLabel: '#2f6690',
  foreign: '#d9d5cc',     // other countries
  otherJapan: '#e6dfcf',  // prefectures of neighbouring regions
  otherBorder: '#b2a893',
  coast: '#5f6f7e',
  regionBorder: '#5c4a36',
  // warm and green land colours, none of them bluish
  palette: ['#f6d55c', '#9ccc7c', '#f4a064', '#eda6c0', '#d6a878'],
  dot: '#c0392b', text: '#1a1a1a', sub: '#5e5e5e', title: '#24476b',
  worldLand: '#efe6cf', worldJapan: '#e03b2f', antarctica: '#f4f4f2',
};

// ---------- data ----------
const adm1 = JSON.parse(fs.readFileSync(path.join(HERE, 'data/jp-prefectures.geojson'), 'utf8'));
const w10 = JSON.parse(fs.readFileSync(require.resolve('world-atlas/countries-10m.json'), 'utf8'));
const w50 = JSON.parse(fs.readFileSync(require.resolve('world-atlas/countries-50m.json'), 'utf8'));
const countries10 = topojson.feature(w10, w10.objects.countries).features;
const countries50 = topojson.feature(w50, w50.objects.countries).features;

const polysOf = (g) => (g.type === 'Polygon' ? [g.coordinates] : g.coordinates);
function bboxOf(ring) {
  let x0 = Infinity, y0 = Infinity, x1 = -Infinity, y1 = -Infinity;
  for (const [x, y] of ring) { x0 = Math.min(x0, x); y0 = Math.min(y0, y); x1 = Math.max(x1, x); y1 = Math.max(y1, y); }
  return [x0, y0, x1, y1];
}
const centreOf = (ring) => { const b = bboxOf(ring); return [(b[0] + b[2]) / 2, (b[1] + b[3]) / 2]; };

// The Natural Earth admin-1 layer has two faults for Japan that a Japanese reader notices:
// 1. the Amami islands (Amami-Oshima, Tokunoshima, Okinoerabu, Yoron) belong to Kagoshima, not Okinawa;
// 2. a few islets carry no prefecture (Tobishima, Danjo, Okinoshima, Tomogashima, some Seto islands).
const byCode = new Map(adm1.features.map((f) => [f.properties.code, f]));
{
  const oki = byCode.get(47), kago = byCode.get(46);
  const isAmami = (poly) => { const [x, y] = centreOf(poly[0]); return x > 128.3 && y > 26.95; };
  kago.geometry = { type: 'MultiPolygon', coordinates: [...polysOf(kago.geometry), ...polysOf(oki.geometry).filter(isAmami)] };
  oki.geometry = { type: 'MultiPolygon', coordinates: polysOf(oki.geometry).filter((p) => !isAmami(p)) };
  // unnamed islets go to the prefecture with the nearest outline vertex
  const named = adm1.features.filter((f) => f.properties.code > 0);
  for (const f of adm1.features.filter((g) => g.properties.code === 0)) {
    for (const poly of polysOf(f.geometry)) {
      const [cx, cy] = centreOf(poly[0]);
      let best = null, bestD = Infinity;
      for (const g of named) {
        for (const q of polysOf(g.geometry)) for (const [x, y] of q[0]) {
          const d = ((x - cx) * Math.cos((cy * Math.PI) / 180)) ** 2 + (y - cy) ** 2;
          if (d < bestD) { bestD = d; best = g; }
        }
      }
      best.geometry = { type: 'MultiPolygon', coordinates: [...polysOf(best.geometry), poly] };
    }
  }
  adm1.features = named;
}

// Natural Earth's default worldview gives the southern Kurils (北方領土, part of Hokkaido in Japan's
// view) to Russia; a Japanese program draws them as Japan.
const NT_BOX = [145.3, 43.2, 148.95, 45.65];
function takeNorthernTerritories(features) {
  const inBox = (poly) => poly[0].every(([x, y]) => x >= NT_BOX[0] && x <= NT_BOX[2] && y >= NT_BOX[1] && y <= NT_BOX[3]);
  const nt = [];
  for (const f of features) {
    if (f.id !== '643') continue;
    const keep = [];
    for (const poly of polysOf(f.geometry)) (inBox(poly) ? nt : keep).push(poly);
    f.geometry = { type: 'MultiPolygon', coordinates: keep };
  }
  return nt;
}
{
  const hok = byCode.get(1);
  hok.geometry = { type: 'MultiPolygon', coordinates: [...polysOf(hok.geometry), ...takeNorthernTerritories(countries10)] };
  const jp50 = countries50.find((f) => f.id === '392');
  jp50.geometry = { type: 'MultiPolygon', coordinates: [...polysOf(jp50.geometry), ...takeNorthernTerritories(countries50)] };
}


const HOKKAIDO_CITIES = [
  ['函館', 41.7687, 140.7288], ['旭川', 43.7706, 142.3650], ['釧路', 42.9849, 144.3820],
  ['帯広', 42.9236, 143.1966], ['稚内', 45.4156, 141.6730], ['網走', 44.0206, 144.2733],
  ['室蘭', 42.3152, 140.9738], ['北見', 43.8030, 143.8960], ['根室', 43.3301, 145.5828],
];

// Each region map is fitted to the outline parts of its prefectures that lie inside `fit`
// (lon/lat box of part centres: leaves out far islands such as Izu, Ogasawara, Tokara, Amami).
// label: preferred label offset per capital [dx, dy, anchor]; title: corner of the title box.
const REGIONS = [
  { name: '北海道', title: '北海道', codes: [1], fit: [139, 41, 145.9, 46], corner: 'tl' },
  { name: '東北', title: '東北地方', codes: [2, 3, 4, 5, 6, 7], fit: [139, 36.5, 142.5, 42], corner: 'tl' },
  { name: '関東', title: '関東地方', codes: [8, 9, 10, 11, 12, 13, 14], fit: [138, 34.8, 141.5, 37.5], corner: 'br' },
  { name: '中部', title: '中部地方', codes: [15, 16, 17, 18, 19, 20, 21, 22, 23], fit: [135, 34, 140.5, 39], corner: 'br' },
  { name: '近畿', title: '近畿地方', codes: [24, 25, 26, 27, 28, 29, 30], fit: [134, 33, 137.5, 36], corner: 'tl' },
  { name: '中国', title: '中国地方', codes: [31, 32, 33, 34, 35], fit: [130, 33, 135, 37], corner: 'tl' },
  { name: '四国', title: '四国地方', codes: [36, 37, 38, 39], fit: [131.5, 32.5, 135, 34.2], corner: 'tl' },
  { name: '九州', title: '九州地方', codes: [40, 41, 42, 43, 44, 45, 46], fit: [128, 30.1, 132.5, 35], corner: 'tr',
    inset: { codes: [47], fit: [127.15, 25.9, 128.4, 27.1], box: [8, 262, 130, 130] } },
];

const LABEL = {
  // Kanto
  13: [-5, -4, 'end'], 11: [5, -3, 'start'], 14: [-5, 11, 'end'], 12: [6, 5, 'start'], 8: [6, 5, 'start'], 9: [6, 5, 'start'], 10: [-6, 5, 'end'],
  // Kinki
  26: [-6, -3, 'end'], 25: [6, -2, 'start'], 27: [0, 18, 'middle'], 29: [6, 9, 'start'], 28: [-6, 5, 'end'], 24: [6, 5, 'start'], 30: [-6, 5, 'end'],
  // Chubu
  23: [6, 7, 'start'], 21: [-6, -2, 'end'], 22: [6, 11, 'start'], 18: [-6, 5, 'end'], 17: [-6, 5, 'end'], 19: [-6, 10, 'end'],
  20: [-6, 5, 'end'], 15: [6, 5, 'start'], 16: [6, 5, 'start'],
  // Chugoku
  34: [0, 16, 'middle'], 35: [0, 16, 'middle'], 33: [0, 16, 'middle'], 32: [0, -7, 'middle'], 31: [0, -7, 'middle'],
  // Shikoku
  37: [0, -7, 'middle'], 36: [6, 5, 'start'], 38: [-6, 5, 'end'], 39: [0, 16, 'middle'],
  // Kyushu
  40: [6, -3, 'start'], 41: [-6, 10, 'end'], 42: [-6, 10, 'end'], 43: [6, 5, 'start'], 44: [6, 5, 'start'],
  45: [-6, 5, 'end'], 46: [-6, 12, 'end'], 47: [6, 5, 'start'],
  // Tohoku
  3: [-6, 5, 'end'], 4: [6, 5, 'start'], 6: [-6, 5, 'end'], 7: [-6, 10, 'end'], 2: [6, -3, 'start'], 5: [-6, 5, 'end'],
};
const AROUND = [[6, 5, 'start'], [-6, 5, 'end'], [0, -7, 'middle'], [0, 16, 'middle']];

// ---------- helpers ----------
const esc = (s) => String(s).replace(/&/g, '&amp;').replace(/</g, '&lt;');
const r1 = (v) => Math.round(v * 10) / 10;

// Projection stream that drops points closer than `tol` px to the previously kept one.
function simplified(projection, tol) {
  const t2 = tol * tol;
  return {
    stream(out) {
      let lx, ly, first = true;
      return projection.stream({
        point(x, y) { if (first || (x - lx) ** 2 + (y - ly) ** 2 >= t2) { out.point(x, y); lx = x; ly = y; first = false; } },
        lineStart() { first = true; out.lineStart(); },
        lineEnd() { out.lineEnd(); },
        polygonStart() { out.polygonStart(); },
        polygonEnd() { out.polygonEnd(); },
        sphere() { if (out.sphere) out.sphere(); },
      });
    },
  };
}
const pathFn = (projection, tol = 0.35) => geoPath(simplified(projection, tol)).digits(2);

// Leaves out polygon parts smaller than minPx on screen.
function pruneTiny(feature, projection, minPx = 1.2) {
  const keep = polysOf(feature.geometry).filter((poly) => {
    let x0 = Infinity, y0 = Infinity, x1 = -Infinity, y1 = -Infinity;
    for (const ll of poly[0]) {
      const p = projection(ll); if (!p) continue;
      x0 = Math.min(x0, p[0]); y0 = Math.min(y0, p[1]); x1 = Math.max(x1, p[0]); y1 = Math.max(y1, p[1]);
    }
    return x1 - x0 >= minPx || y1 - y0 >= minPx;
  });
  return { type: 'Feature', properties: {}, geometry: { type: 'MultiPolygon', coordinates: keep } };
}

// Colours the region's prefectures so that neighbours differ. Two prefectures are neighbours when
// at least two outline vertices of one lie within ~1 km of the other. Each prefecture, largest first,
// takes the least used palette colour that no neighbour has yet.
function colourPrefs(features) {
  const cell = 0.01;
  const cellsOf = (f) => {
    const s = new Set();
    for (const poly of polysOf(f.geometry)) for (const ring of poly) for (const [x, y] of ring) s.add(`${Math.floor(x / cell)},${Math.floor(y / cell)}`);
    return s;
  };
  const grow = (s) => {
    const out = new Set();
    for (const k of s) {
      const [i, j] = k.split(',').map(Number);
      for (let a = -1; a <= 1; a++) for (let b = -1; b <= 1; b++) out.add(`${i + a},${j + b}`);
    }
    return out;
  };
  const sets = features.map(cellsOf);
  const grown = sets.map(grow);
  const touches = (i, j) => { let n = 0; for (const k of sets[i]) if (grown[j].has(k) && ++n >= 2) return true; return false; };
  const colour = new Array(features.length);
  const used = new Array(C.palette.length).fill(0);
  const order = features.map((_, i) => i).sort((a, b) => sets[b].size - sets[a].size || a - b);
  for (const i of order) {
    const taken = new Set(order.filter((j) => colour[j] !== undefined && touches(i, j)).map((j) => colour[j]));
    let best = -1;
    for (let c = 0; c < C.palette.length; c++) if (!taken.has(c) && (best < 0 || used[c] < used[best])) best = c;
    colour[i] = best;
    used[best]++;
  }
  return colour;
}

function haloText(x, y, text, { size = 13, anchor = 'start', fill = C.text, weight = 'normal', halo = '#ffffff', haloWidth = 3.5 } = {}) {
  const common = `x="${r1(x)}" y="${r1(y)}" font-size="${size}" font-family="${FONT_FAMILY}" font-weight="${weight}" text-anchor="${anchor}"`;
  return `<text ${common} fill="${halo}" stroke="${halo}" stroke-width="${haloWidth}" stroke-linejoin="round">${esc(text)}</text>` +
    `<text ${common} fill="${fill}">${esc(text)}</text>`;
}

function titleRect(text, corner) {
  const w = 15 * [...text].length + 18, h = 26;
  const x = corner.includes('l') ? 6 : W - 6 - w;
  const y = corner.includes('t') ? 6 : H - 6 - h;
  return [x, y, w, h];
}
function titleBox(text, corner) {
  const [x, y, w, h] = titleRect(text, corner);
  return `<rect x="${x}" y="${y}" width="${w}" height="${h}" rx="4" fill="#ffffff" fill-opacity="0.9" stroke="${C.title}" stroke-width="1.2"/>` +
    `<text x="${x + w / 2}" y="${y + 19}" font-size="15" font-weight="bold" font-family="${FONT_FAMILY}" text-anchor="middle" fill="${C.title}">${esc(text)}</text>`;
}

// Mercator fitted to the given outline parts inside box [x, y, w, h] with margin m.
function fitMercator(parts, [x, y, w, h], m) {
  const fc = { type: 'Feature', geometry: { type: 'MultiPolygon', coordinates: parts } };
  return geoMercator().fitExtent([[x + m, y + m], [x + w - m, y + h - m]], fc).clipExtent([[x, y], [x + w, y + h]]);
}
function partsInside(codes, box) {
  const parts = [];
  for (const c of codes) {
    for (const poly of polysOf(byCode.get(c).geometry)) {
      const [cx, cy] = centreOf(poly[0]);
      if (cx >= box[0] && cx <= box[2] && cy >= box[1] && cy <= box[3]) parts.push(poly);
    }
  }
  return parts;
}

function drawLand(projection, regionCodes, colourOf) {
  const pth = pathFn(projection);
  let s = `<g fill="${C.foreign}" stroke="${C.coast}" stroke-width="0.6" stroke-linejoin="round">`;
  for (const f of countries10) {
    if (f.id === '392') continue;
    const d = pth(pruneTiny(f, projection)); if (d) s += `<path d="${d}"/>`;
  }
  s += '</g>';
  // other regions' prefectures first, the region on top so that its borders are not covered
  s += `<g fill="${C.otherJapan}" stroke="${C.otherBorder}" stroke-width="0.7" stroke-linejoin="round">`;
  for (const f of adm1.features) {
    if (regionCodes.includes(f.properties.code)) continue;
    const d = pth(pruneTiny(f, projection)); if (d) s += `<path d="${d}"/>`;
  }
  s += '</g>';
  s += `<g stroke="${C.regionBorder}" stroke-width="1" stroke-linejoin="round">`;
  for (const f of adm1.features) {
    if (!regionCodes.includes(f.properties.code)) continue;
    const d = pth(pruneTiny(f, projection, 0.8)); if (d) s += `<path d="${d}" fill="${colourOf(f.properties.code)}"/>`;
  }
  s += '</g>';
  return s;
}

// Small label placer: boxes of what is already placed; a CJK glyph is about as wide as the font size.
function makePlacer(reserved = [], bounds = [0, 0, W, H]) {
  const boxes = [...reserved];
  const boxOf = (x, y, text, size, anchor) => {
    const w = size * [...text].length;
    const x0 = anchor === 'start' ? x : anchor === 'end' ? x - w : x - w / 2;
    return [x0 - 2, y - size, x0 + w + 2, y + 3];
  };
  const free = (b) => b[0] >= bounds[0] + 1 && b[1] >= bounds[1] + 1 && b[2] <= bounds[2] - 1 && b[3] <= bounds[3] - 1 &&
    !boxes.some((o) => b[0] < o[2] && b[2] > o[0] && b[1] < o[3] && b[3] > o[1]);
  return {
    reserve(b) { boxes.push(b); },
    place(x, y, text, size, candidates, force = false) {
      for (const [dx, dy, anchor] of candidates) {
        const b = boxOf(x + dx, y + dy, text, size, anchor);
        if (free(b)) { boxes.push(b); return [x + dx, y + dy, anchor]; }
      }
      if (!force) return null;
      const [dx, dy, anchor] = candidates[0];
      boxes.push(boxOf(x + dx, y + dy, text, size, anchor));
      return [x + dx, y + dy, anchor];
    },
  };
}

// Dots and names of the region's capitals (bold), then grey names of neighbouring prefectures where room is left.
function capitals(projection, codes, { others = [], bounds = [0, 0, W, H], placer, rename = {} }) {
  let dots = '', labels = '';
  const meta = {};
  const inside = ([x, y]) => x >= bounds[0] + 2 && y >= bounds[1] + 2 && x <= bounds[2] - 2 && y <= bounds[3] - 2;
  const pts = [];
  for (const p of PREFS) {
    const isReg = codes.includes(p.code);
    if (!isReg && !others.includes(p.code)) continue;
    const xy = projection([p.lon, p.lat]);
    if (!xy || !inside(xy)) continue;
    pts.push({ p, xy, isReg });
    if (isReg) placer.reserve([xy[0] - 4, xy[1] - 4, xy[0] + 4, xy[1] + 4]);
  }
  for (const { p, xy } of pts.filter((q) => q.isReg)) {
    meta[p.code] = { name: p.ja, lat: p.lat, lon: p.lon, x: Math.round(xy[0]), y: Math.round(xy[1]) };
    dots += `<circle cx="${r1(xy[0])}" cy="${r1(xy[1])}" r="3.2" fill="${C.dot}" stroke="#ffffff" stroke-width="1.2"/>`;
    const text = rename[p.code] || p.ja;
    const at = placer.place(xy[0], xy[1], text, 14, [LABEL[p.code] || AROUND[0], ...AROUND], true);
    labels += haloText(at[0], at[1], text, { size: 14, anchor: at[2], weight: 'bold' });
  }
  for (const { p, xy } of pts.filter((q) => !q.isReg)) {
    const at = placer.place(xy[0], xy[1], p.ja, 11, [[0, 4, 'middle'], [0, -4, 'middle'], [0, 12, 'middle']]);
    if (at) labels += haloText(at[0], at[1], p.ja, { size: 11, anchor: at[2], fill: C.sub, haloWidth: 2.5 });
  }
  return { svg: dots + labels, meta };
}

const svgDoc = (body) =>
  `<svg xmlns="http://www.w3.org/2000/svg" width="${W}" height="${H}" viewBox="0 0 ${W} ${H}">\n${body}\n</svg>\n`;

const projMeta = (p) => ({
  type: 'mercator', scale: +p.scale().toFixed(4), translate: p.translate().map((v) => +v.toFixed(4)),
  rotate: p.rotate().map((v) => +v.toFixed(4)),
});

function regionMap(reg, index) {
  const projection = fitMercator(partsInside(reg.codes, reg.fit), [0, 0, W, H], 10);
  const feats = reg.codes.map((c) => byCode.get(c));
  const colours = colourPrefs(feats);
  const colourOf = (code) => C.palette[colours[reg.codes.indexOf(code)]];
  let body = `<rect width="${W}" height="${H}" fill="${C.sea}"/>`;
  body += drawLand(projection, reg.codes, colourOf);

  const t = titleRect(reg.title, reg.corner);
  const reserved = [[t[0], t[1], t[0] + t[2], t[1] + t[3]]];
  const ib = reg.inset && reg.inset.box;
  if (ib) reserved.push([ib[0], ib[1], ib[0] + ib[2], ib[1] + ib[3]]);
  const placer = makePlacer(reserved);
  const others = PREFS.map((p) => p.code).filter((c) => !reg.codes.includes(c) && !(reg.inset && reg.inset.codes.includes(c)));
  const rename = reg.name === '北海道' ? { 1: '札幌' } : {};
  const main = capitals(projection, reg.codes, { others, placer, rename });
  body += main.svg;
  if (reg.name === '北海道') {
    for (const [name, lat, lon] of HOKKAIDO_CITIES) {
      const [x, y] = projection([lon, lat]);
      const at = placer.place(x, y, name, 12, [[5, 5, 'start'], [-5, 5, 'end'], [0, -5, 'middle'], [0, 15, 'middle']]);
      if (!at) continue;
      body += `<circle cx="${r1(x)}" cy="${r1(y)}" r="2" fill="#444444"/>` + haloText(at[0], at[1], name, { size: 12, anchor: at[2], fill: '#333333', haloWidth: 3 });
    }
  }
  const meta = { index, name: reg.name, title: reg.title, projection: projMeta(projection), capitals: main.meta };
  const projections = { main: projection };

  if (reg.inset) {
    const [bx, by, bw, bh] = ib;
    const ip = fitMercator(partsInside(reg.inset.codes, reg.inset.fit), [bx, by, bw, bh], 12);
    body += `<rect x="${bx}" y="${by}" width="${bw}" height="${bh}" fill="${C.sea}" stroke="${C.title}" stroke-width="1.2"/>`;
    body += `<g clip-path="url(#inset)">`;
    body += drawLand(ip, reg.inset.codes, () => C.palette[colours.length % C.palette.length]);
    const ins = capitals(ip, reg.inset.codes, { bounds: [bx, by, bx + bw, by + bh], placer: makePlacer([], [bx, by, bx + bw, by + bh]) });
    body += ins.svg + '</g>';
    body = `<defs><clipPath id="inset"><rect x="${bx}" y="${by}" width="${bw}" height="${bh}"/></clipPath></defs>` + body;
    Object.assign(meta.capitals, ins.meta);
    meta.inset = { box: ib, codes: reg.inset.codes, projection: projMeta(ip) };
    projections.inset = ip;
  }
  body += titleBox(reg.title, reg.corner);
  body += `<rect x="0.5" y="0.5" width="${W - 1}" height="${H - 1}" fill="none" stroke="#4b5b6b" stroke-width="1"/>`;
  return { svg: svgDoc(body), meta, projections };
}

function worldMap(index) {
  // Pacific-centred Mercator (centre 150E) filling the whole square: 84N down to about 86S.
  const proj = geoMercator().rotate([-150, 0]).precision(0.2).scale(W / (2 * Math.PI));
  const NORTH = 84;
  proj.translate([W / 2, 0]);
  proj.translate([W / 2, -proj([150, NORTH])[1]]).clipExtent([[0, 0], [W, H]]);
  const pth = pathFn(proj, 0.5);
  let body = `<rect width="${W}" height="${H}" fill="${C.sea}"/>`;
  body += `<path d="${pth(geoGraticule().step([30, 30]).extentMajor([[-180, -85], [180, 85]]).extentMinor([[-180, -85], [180, 85]])())}" fill="none" stroke="#ffffff" stroke-width="0.6" stroke-opacity="0.55"/>`;
  body += `<g stroke="${C.coast}" stroke-width="0.5" stroke-linejoin="round">`;
  for (const f of countries50) {
    const d = pth(pruneTiny(f, proj, 0.9)); if (!d) continue;
    const fill = f.id === '392' ? C.worldJapan : f.id === '010' ? C.antarctica : C.worldLand;
    body += `<path d="${d}" fill="${fill}"/>`;
  }
  body += '</g>';
  const labels = [
    ['アジア', 90, 47, 14], ['ヨーロッパ', 22, 57, 12], ['アフリカ', 20, 6, 14], ['北アメリカ', -102, 44, 14],
    ['南アメリカ', -60, -12, 12], ['オセアニア', 134, -26, 13], ['南極', 150, -74, 13],
    ['太平洋', -150, 10, 13, C.seaLabel], ['インド洋', 78, -28, 13, C.seaLabel],
  ];
  for (const [t, lon, lat, size, fill] of labels) {
    const [px, y] = proj([lon, lat]);
    const half = (size * [...t].length) / 2; // keep the whole name inside the picture
    const x = Math.min(Math.max(px, 5 + half), W - 5 - half);
    body += haloText(x, y, t, fill ? { size, anchor: 'middle', fill, halo: C.sea, haloWidth: 0 } : { size, anchor: 'middle', fill: '#3d3d3d', weight: 'bold' });
  }
  const [jx, jy] = proj([140.5, 37]);
  body += `<circle cx="${r1(jx)}" cy="${r1(jy)}" r="11" fill="none" stroke="${C.worldJapan}" stroke-width="1.5"/>`;
  body += haloText(jx + 13, jy - 6, '日本', { size: 14, weight: 'bold', fill: '#b0201a' });
  body += titleBox('世界', 'bl');
  body += `<rect x="0.5" y="0.5" width="${W - 1}" height="${H - 1}" fill="none" stroke="#4b5b6b" stroke-width="1"/>`;
  const m = projMeta(proj);
  const tk = PREFS.find((p) => p.code === 13);
  const [tx, ty] = proj([tk.lon, tk.lat]);
  const tokyo = { name: tk.ja, lat: tk.lat, lon: tk.lon, x: Math.round(tx), y: Math.round(ty) };
  const [, south] = proj.invert([W / 2, H]);
  return { svg: svgDoc(body), projections: { main: proj }, meta: { index, name: '世界', title: '世界', projection: { ...m, north: NORTH, south: +south.toFixed(2) }, capitals: { 13: tokyo } } };
}

// ---------- main ----------
function write(file, buf) {
  fs.mkdirSync(path.dirname(file), { recursive: true });
  fs.writeFileSync(file, buf);
  return buf.length;
}
const report = [];
const allMeta = [];
const maps = [...REGIONS.map((r, i) => regionMap(r, i)), worldMap(REGIONS.length)];
// The names (every text with its halo) apart from the land and sea under them.
const TEXT = /<text [^>]*>[^<]*<\/text>/g;
const layersOf = (svg) => ({ land: svg.replace(TEXT, ''), labels: svgDoc((svg.match(TEXT) || []).join('')) });
for (const { svg, meta } of maps) {
  if (SVG_DIR) write(path.join(SVG_DIR, `map${meta.index}.svg`), svg);
  const { land, labels } = layersOf(svg);
  for (const [zoom, suffix] of [[1, ''], [2, '@2x']]) {
    const map = svgToRgba(land, zoom);
    const mapFile = `maps/map${meta.index}${suffix}.png`;
    report.push({ file: mapFile, name: meta.name, bytes: write(path.join(RES, mapFile), encodePng(map.width, map.height, 3, rgbaToRgb(map.rgba))) });
    const names = svgToRgba(labels, zoom);
    const labelsFile = `maps/labels${meta.index}${suffix}.png`;
    report.push({ file: labelsFile, name: meta.name, bytes: write(path.join(RES, labelsFile), encodePng(names.width, names.height, 4, names.rgba)) });
  }
  allMeta.push(meta);
}
// One line per innermost object or array keeps the file short and its diffs readable.
const json = JSON.stringify({
  about: 'Yubino map pictures, 400x400, index order of the map names. Each projection is a d3-geo geoMercator ' +
    'with this scale, translate and rotate. capitals: prefecture code (JIS X 0401) -> name, lat/lon of the ' +
    'prefectural office and the pixel centre of its dot on the picture; on 九州 沖縄 is drawn in the inset.',
  size: [W, H],
  maps: allMeta,
}, null, 1).replace(/[{[][^{}[\]]*[}\]]/g, (m) => m.replace(/\s*\n\s*/g, ' '));
write(path.join(RES, 'maps', 'maps.json'), json + '\n');
// Places: a prefecture's cities on the map of its region (Okinawa in the Kyushu inset).
const placeOn = (code, lon, lat) => {
  const i = REGIONS.findIndex((r) => r.codes.includes(code) || (r.inset && r.inset.codes.includes(code)));
  const { main, inset } = maps[i].projections;
  const proj = REGIONS[i].codes.includes(code) ? main : inset;
  return [i, ...proj([lon, lat])];
};
const table = placeTable({ place: placeOn, world: maps[REGIONS.length].projections.main, worldIndex: REGIONS.length,
  countries: countries10 });
report.push({ file: 'place_table.inc', bytes: write(path.join(CORE, 'place_table.inc'), table) });
for (const [scale, suffix] of [[1, ''], [2, '@2x']]) {
  const cur = cursorPngs(scale);
  report.push({ file: `cursors/move${suffix}.png`, bytes: write(path.join(RES, 'cursors', `move${suffix}.png`), cur.move) });
  report.push({ file: `cursors/move_drag${suffix}.png`, bytes: write(path.join(RES, 'cursors', `move_drag${suffix}.png`), cur.moveDrag) });
}
report.push({ file: 'nametag.png', bytes: write(path.join(RES, 'nametag.png'), nametagPng()) });
console.table(report);
