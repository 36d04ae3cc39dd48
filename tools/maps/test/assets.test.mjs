// Checks of the generated pictures that a glance at them would miss.
// Run: npm test   (regenerates into a temporary folder; takes a few seconds)
import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { execFileSync } from 'node:child_process';
import { fileURLToPath } from 'node:url';
import { geoContains, geoDistance } from 'd3-geo';
import { PREFS } from '../lib/prefs.mjs';

const HERE = path.dirname(fileURLToPath(import.meta.url));
const TOOL = path.resolve(HERE, '..');
const RES = path.resolve(TOOL, '../../src/resources');
const FILES = [
  ...Array.from({ length: 9 }, (_, i) => [`maps/map${i}.png`, `maps/map${i}@2x.png`, `maps/labels${i}.png`, `maps/labels${i}@2x.png`]).flat(),
  'maps/maps.json', 'cursors/move.png', 'cursors/move_drag.png', 'cursors/move@2x.png', 'cursors/move_drag@2x.png',
  'nametag.png'];

// Decoder for the PNGs lib/png.mjs writes (8-bit, filter type 0 on every row).
function readPng(file) {
  const buf = fs.readFileSync(file);
  let off = 8, ihdr, idat = [];
  while (off < buf.length) {
    const len = buf.readUInt32BE(off), type = buf.toString('ascii', off + 4, off + 8);
    const data = buf.subarray(off + 8, off + 8 + len);
    if (type === 'IHDR') ihdr = data; else if (type === 'IDAT') idat.push(data);
    off += 12 + len;
  }
  const width = ihdr.readUInt32BE(0), height = ihdr.readUInt32BE(4);
  const channels = { 0: 1, 2: 3, 6: 4 }[ihdr[9]];
  const raw = zlib.inflateSync(Buffer.concat(idat));
  const stride = width * channels;
  const px = Buffer.alloc(stride * height);
  for (let y = 0; y < height; y++) {
    assert.equal(raw[y * (stride + 1)], 0, 'unexpected PNG filter');
    raw.copy(px, y * stride, y * (stride + 1) + 1, (y + 1) * (stride + 1));
  }
  return { width, height, channels, at: (x, y) => [...px.subarray((y * width + x) * channels, (y * width + x + 1) * channels)] };
}

const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'yubino-maps-'));
const gen = (dir) => execFileSync(process.execPath, ['make-maps.mjs', '--out', dir], { cwd: TOOL, stdio: 'ignore' });

test('two runs give the same bytes, and the committed pictures are up to date', () => {
  gen(path.join(tmp, 'a'));
  gen(path.join(tmp, 'b'));
  for (const f of FILES) {
    const a = fs.readFileSync(path.join(tmp, 'a', f));
    assert.ok(a.equals(fs.readFileSync(path.join(tmp, 'b', f))), `${f} differs between runs`);
    assert.ok(a.equals(fs.readFileSync(path.join(RES, f))), `${f} in src/resources is stale: rerun make-maps.mjs`);
  }
  const table = fs.readFileSync(path.join(tmp, 'a', 'place_table.inc'));
  assert.ok(table.equals(fs.readFileSync(path.join(tmp, 'b', 'place_table.inc'))), 'place_table.inc differs between runs');
  assert.ok(table.equals(fs.readFileSync(path.join(RES, '../core/place_table.inc'))),
    'src/core/place_table.inc is stale: rerun make-maps.mjs');
});

test('the place table names every name once and places everything inside its map', () => {
  const rows = fs.readFileSync(path.join(RES, '../core/place_table.inc'), 'utf8').split('\n').filter((l) => l.startsWith('{'));
  const seen = new Map();
  for (const [i, line] of rows.entries()) {
    const [, names, parent, map, x, y] = line.match(/^\{"([^"]*)", (-?\d+), (\d+), (\d+), (\d+)\},$/).map((v, k) => (k > 1 ? Number(v) : v));
    assert.ok(map >= 0 && map <= 8 && x < 400 && y < 400 && parent < rows.length, line);
    for (const n of names.split('|')) {
      // Two places may share a name only when they are one place (a capital and its prefecture).
      if (seen.has(n)) assert.deepEqual(rows[seen.get(n)].match(/, (\d+), (\d+)\},$/).slice(1), [String(x), String(y)], n);
      else seen.set(n, i);
    }
  }
});

test('maps are 400x400 24-bit and list every capital inside the picture', () => {
  const meta = JSON.parse(fs.readFileSync(path.join(RES, 'maps/maps.json'), 'utf8'));
  assert.deepEqual(meta.maps.map((m) => m.name), ['北海道', '東北', '関東', '中部', '近畿', '中国', '四国', '九州', '世界']);
  const seen = new Set();
  for (const m of meta.maps) {
    const png = readPng(path.join(RES, `maps/map${m.index}.png`));
    assert.deepEqual([png.width, png.height, png.channels], [400, 400, 3]);
    const png2x = readPng(path.join(RES, `maps/map${m.index}@2x.png`));
    assert.deepEqual([png2x.width, png2x.height, png2x.channels], [800, 800, 3]);
    for (const [file, size] of [[`maps/labels${m.index}.png`, 400], [`maps/labels${m.index}@2x.png`, 800]]) {
      const labels = readPng(path.join(RES, file));
      assert.deepEqual([labels.width, labels.height, labels.channels], [size, size, 4], file);
      assert.equal(labels.at(0, 0)[3], 0, `${file}: the names lie on a transparent layer`);
    }
    for (const [code, c] of Object.entries(m.capitals)) {
      assert.ok(c.x >= 0 && c.x < 400 && c.y >= 0 && c.y < 400, `${m.name} ${c.name} outside the picture`);
      if (m.index < 8) seen.add(Number(code));
    }
  }
  assert.equal(seen.size, 47, 'every prefecture has its capital on one region map');
});

test('every capital lies in its own prefecture', () => {
  // Within 2 km of the outline is accepted: offices on reclaimed shore land (Kagoshima) fall just
  // outside the 1:10m coastline.
  const geo = JSON.parse(fs.readFileSync(path.join(TOOL, 'data/jp-prefectures.geojson'), 'utf8'));
  const near = (f, pt) => f.geometry.coordinates.flat(2).some((v) => geoDistance(v, pt) * 6371 < 2);
  for (const p of PREFS) {
    const f = geo.features.find((g) => g.properties.code === p.code);
    const pt = [p.lon, p.lat];
    assert.ok(geoContains(f, pt) || near(f, pt), `${p.ja}: ${p.lat}, ${p.lon} is not in the prefecture`);
  }
});

test('name tag: the text area at (30, 3) is inside the non-white shape, the left end slants', () => {
  const png = readPng(path.join(RES, 'nametag.png'));
  assert.deepEqual([png.width, png.height], [130, 25]);
  const white = (x, y) => png.at(x, y)[0] === 255;
  for (let y = 3; y < 22; y++) for (let x = 30; x < 130; x++) assert.ok(!white(x, y), `(${x}, ${y}) is white`);
  assert.ok(white(0, 0) && !white(0, 24), 'left end is not slanted');
  // each row is one run: white on the left, grey to the right edge
  for (let y = 0; y < 25; y++) {
    let x = 0; while (white(x, y)) x++;
    assert.ok(x <= 20, `row ${y} starts at ${x}`);
    for (; x < 130; x++) assert.ok(!white(x, y), `hole at (${x}, ${y})`);
  }
});

test('cursors: outline on transparent, the drag cursor filled, arrow next to the hot spot', () => {
  const move = readPng(path.join(RES, 'cursors/move.png'));
  const drag = readPng(path.join(RES, 'cursors/move_drag.png'));
  for (const c of [move, drag]) assert.deepEqual([c.width, c.height, c.channels], [32, 32, 4]);
  let outline = 0, filled = 0, maxX = 0, maxY = 0;
  for (let y = 0; y < 32; y++) for (let x = 0; x < 32; x++) {
    const m = move.at(x, y), d = drag.at(x, y);
    if (m[3]) { outline++; assert.deepEqual(m, [0, 0, 0, 255]); maxX = Math.max(maxX, x); maxY = Math.max(maxY, y); }
    if (d[3] && !m[3]) { filled++; assert.ok(d[0] === d[1] && d[1] === d[2] && d[0] > 64 && d[0] < 224, 'fill is not grey'); }
  }
  assert.ok(outline > 40 && filled > 20, 'arrow too small or not filled');
  assert.ok(maxX < 28 && maxY < 28, 'arrow reaches the far edges: it would sit far from the hot spot');
  assert.ok(move.at(12, 0)[3] && move.at(0, 12)[3], 'up and left tips should touch the top and left edges');
});

test('2x cursors: the same arrow on twice the pixels', () => {
  const move = readPng(path.join(RES, 'cursors/move.png'));
  const move2x = readPng(path.join(RES, 'cursors/move@2x.png'));
  assert.deepEqual([move2x.width, move2x.height, move2x.channels], [64, 64, 4]);
  const drag = readPng(path.join(RES, 'cursors/move_drag.png'));
  const drag2x = readPng(path.join(RES, 'cursors/move_drag@2x.png'));
  let differ = 0;
  for (let y = 0; y < 32; y++) for (let x = 0; x < 32; x++) {
    // a pixel inside the arrow at 1x is inside it at 2x (outline or fill)
    const inside1x = move.at(x, y)[3] || drag.at(x, y)[3];
    const inside2x = drag2x.at(2 * x + 1, 2 * y + 1)[3];
    if (Boolean(inside1x) !== Boolean(inside2x)) differ++;
  }
  assert.ok(differ < 40, `${differ} pixels of the 2x arrow disagree with the 1x one`);
  let top = 64, left = 64;
  for (let y = 0; y < 64; y++) for (let x = 0; x < 64; x++) if (move2x.at(x, y)[3]) { top = Math.min(top, y); left = Math.min(left, x); }
  assert.ok(top <= 1 && left <= 1, 'up and left tips should reach the top and left edges');
});
