// Checks the generated pictures in src/resources: every file the program loads is there,
// is a PNG of the size its folder promises, and the face list matches the icon files.
import fs from 'node:fs';
import path from 'node:path';
import { ACTIONS } from './lib/actions.mjs';

const RES = path.resolve(import.meta.dirname, '../../src/resources');
const failures = [];
let passed = 0;

function pngSize(file) {
  const b = fs.readFileSync(file);
  if (b.readUInt32BE(0) !== 0x89504e47 || b.toString('latin1', 12, 16) !== 'IHDR') throw new Error('not a PNG');
  return [b.readUInt32BE(16), b.readUInt32BE(20), b[25]]; // width, height, colour type
}

function expectPng(rel, w, h) {
  const file = path.join(RES, rel);
  try {
    const [W, H, type] = pngSize(file);
    if (W !== w || H !== h) throw new Error(`is ${W}x${H}, expected ${w}x${h}`);
    if (type !== 6) throw new Error(`colour type ${type}, expected RGBA`);
    passed++;
  } catch (e) {
    failures.push(`${rel}: ${e.message}`);
  }
}

for (const px of [24, 32, 48, 64, 96]) {
  for (let n = 0; n < 115; n++) expectPng(`faces/${px}/face${String(n).padStart(3, '0')}.png`, px, px);
  const extra = fs.readdirSync(path.join(RES, 'faces', String(px))).filter((f) => !/^face(0\d\d|1(0\d|1[0-4]))\.png$/.test(f));
  if (extra.length) failures.push(`faces/${px}: unexpected files ${extra.join(', ')}`); else passed++;
}
const list = JSON.parse(fs.readFileSync(path.join(RES, 'faces/faces.json'), 'utf8'));
const labelOf = (n) => (n < 50 ? `男性 ${n + 1}` : n < 100 ? `女性 ${n - 49}` : `他 ${n - 99}`);
list.forEach((f, k) => {
  if (f.number !== k || f.label !== labelOf(k)) failures.push(`faces.json entry ${k}: ${f.number} ${f.label}`); else passed++;
});
if (list.length !== 115) failures.push(`faces.json has ${list.length} entries`);

expectPng('banner.png', 88, 31);
for (const name of Object.keys(ACTIONS)) for (const px of [16, 32]) expectPng(`actions/${px}/${name}.png`, px, px);
expectPng('yubino.png', 256, 256);
expectPng('yubino-48.png', 48, 48);

for (const f of failures) console.log('FAIL', f);
console.log(`${passed} passed, ${failures.length} failed`);
process.exit(failures.length ? 1 : 0);
