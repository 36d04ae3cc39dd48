// The 115 built-in face icons: 0-49 men, 50-99 women, 100-114 others.
// Every option that changes the picture is chosen from the icon number, never at random;
// the DiceBear seed only settles what is left, so two runs give the same bytes.
// Writes src/resources/faces/{24,32,48,64,96}/faceNNN.png and src/resources/faces/faces.json.
import fs from 'node:fs';
import path from 'node:path';
import { createAvatar } from '@dicebear/core';
import { openPeeps, pixelArt, thumbs } from '@dicebear/collection';
import { Resvg } from '@resvg/resvg-js';
import { svgToPng, contactSheet } from './lib/render.mjs';
import { CRITTERS } from './lib/critters.mjs';

const ROOT = path.resolve(import.meta.dirname, '../..');
const OUT = path.join(ROOT, 'src/resources/faces');
const SIZES = [24, 32, 48, 64, 96];  // 64 and 96: the 32 and 48 of 2x screens
const at = (arr, i) => arr[((i % arr.length) + arr.length) % arr.length];

const STYLES = {
  openPeeps: { style: openPeeps, pkg: '@dicebear/open-peeps', title: 'Open Peeps', author: 'Pablo Stanley', licence: 'CC0-1.0' },
  pixelArt: { style: pixelArt, pkg: '@dicebear/pixel-art', title: 'Pixel Art', author: 'DiceBear (Florian Körner)', licence: 'CC0-1.0' },
  thumbs: { style: thumbs, pkg: '@dicebear/thumbs', title: 'Thumbs', author: 'DiceBear (Florian Körner)', licence: 'CC0-1.0' },
  own: { pkg: 'tools/faces/lib/critters.mjs', title: 'Yubino animals', author: 'Yubino developers', licence: 'project' },
};

// Tinted tiles: cool and neutral for men, warm for women, so the group shows even at 24 px.
const BG_MEN = ['cfe3f5', 'd9efcf', 'e9e3d6', 'd3efe9', 'dde3f7', 'e6ecc9'];
const BG_WOMEN = ['f8d3e4', 'ffdccf', 'fff0b8', 'eadcf7', 'fbe3c7', 'f3d6f0'];
const SKIN = ['ffdbb4', 'edb98a', 'd08b5b', 'ae5d29', '694d3d'];
// Icons that share a head get skins from one of these trios, so the two darkest tones
// (whose features are hard to see at 24 px) never share a head.
const SKIN_TRIOS = [[0, 2, 4, 1], [1, 3, 0, 2], [2, 4, 0, 1], [3, 0, 1, 2], [4, 1, 2, 0]];
const skinFor = (head, round) => SKIN[SKIN_TRIOS[head % 5][round % 4]];
const HAIR_TINT = ['2c1b18', '4a312c', '724133', 'a55728', 'b58143', 'e8e1e1', 'c93305'];

// Heads whose outline says "man" at 24 px; the last two only with a beard.
const MEN_HEADS = ['short1', 'noHair1', 'pomp', 'short2', 'shaved1', 'flatTop', 'short3', 'grayShort', 'mohawk', 'twists',
  'short4', 'noHair2', 'shaved2', 'flatTopLong', 'short5', 'noHair3', 'shaved3', 'twists2', 'turban', 'hatBeanie'];
// Afro and dreads were tried: on dark skin the beard vanishes at 24 px and they read as women.
const NEEDS_BEARD = new Set(['turban', 'hatBeanie']);
// Heads with long hair, buns, bangs or a headscarf. Short bobs (medium1, medium3, grayMedium)
// and afro read as men at 24 px, and longAfro hides the face: all are left out.
const WOMEN_HEADS = ['long', 'bun', 'bangs', 'longCurly', 'hijab', 'mediumStraight', 'buns', 'longBangs', 'medium2',
  'bun2', 'mediumBangs', 'hatHip', 'bangs2', 'mediumBangs3', 'grayBun', 'mediumBangs2'];
// Faces whose teeth or wide eyes turn into grey smudges at 24 px (smileBig, smileLOL, awe, ...) are left out.
const MEN_FACES = ['smile', 'calm', 'cheeky', 'lovingGrin1', 'serious', 'driven', 'cute', 'explaining', 'solemn', 'eyesClosed', 'eatingHappy'];
const WOMEN_FACES = ['smile', 'cute', 'lovingGrin1', 'calm', 'cheeky', 'eyesClosed', 'explaining', 'driven'];
const BEARDS = ['full', 'moustache1', 'goatee1', 'full2', 'moustache3', 'chin', 'full3', 'moustache6', 'goatee2', 'full4', 'moustache2', 'moustache9'];
const GLASSES = ['glasses', 'glasses2', 'glasses3', 'glasses4', 'glasses5', 'sunglasses'];

// Icons that share a head (one "round" of the head list apart) also get another tile
// colour and face: the offsets are chosen so that no two rounds coincide.
function man(i) {
  const head = at(MEN_HEADS, i);
  const round = Math.floor(i / MEN_HEADS.length);
  const skin = skinFor(i % MEN_HEADS.length, round);
  const o = {
    head: [head], face: [at(MEN_FACES, i * 5)], skinColor: [skin],
    headContrastColor: [at(HAIR_TINT, i * 3)],
    clothingColor: [at(['8fa7df', '78e185', '9ddadb', 'ffcf77', 'e78276', 'fdea6b'], i * 2)],
    backgroundColor: [at(BG_MEN, i + 2 * round)], maskProbability: 0,
  };
  const beard = NEEDS_BEARD.has(head) || i % 5 === 0 || i % 5 === 2 || i % 5 === 3;
  Object.assign(o, beard ? { facialHair: [at(BEARDS, i * 7)], facialHairProbability: 100 } : { facialHairProbability: 0 });
  Object.assign(o, i % 4 === 1 ? { accessories: [at(GLASSES, i)], accessoriesProbability: 100 } : { accessoriesProbability: 0 });
  return ['openPeeps', o];
}

function woman(i) {
  const round = Math.floor(i / WOMEN_HEADS.length);
  const o = {
    head: [at(WOMEN_HEADS, i)], face: [at(WOMEN_FACES, i * 3 + 1 + round)],
    skinColor: [skinFor(i % WOMEN_HEADS.length, round)],
    headContrastColor: [at(['c93305', '2c1b18', 'd6b370', 'a55728', '724133', '4a312c'], i)],
    clothingColor: [at(['e279c7', 'e78276', 'ffcf77', '9ddadb', 'fdea6b', '8fa7df', '78e185'], i * 3)],
    backgroundColor: [at(BG_WOMEN, i + 2 + round)], facialHairProbability: 0, maskProbability: 0,
  };
  // sunglasses hide too much of a woman's face at 24 px: plain glasses only
  Object.assign(o, i % 4 === 2 ? { accessories: [at(GLASSES.slice(0, 5), i)], accessoriesProbability: 100 } : { accessoriesProbability: 0 });
  return ['openPeeps', o];
}

const peepsOther = (o) => ['openPeeps', { facialHairProbability: 0, accessoriesProbability: 0, maskProbability: 0, ...o }];
const thumb = (shape, bg, face, mouth, eyes) => ['thumbs', {
  shapeColor: [shape], backgroundColor: [bg], face: [face], mouth: [mouth], eyes: [eyes],
  shapeRotation: [0], shapeOffsetX: [0], shapeOffsetY: [0], faceRotation: [0], faceOffsetX: [0], faceOffsetY: [0],
}];
const pixelOther = (o) => ['pixelArt', { beardProbability: 0, hatProbability: 0, accessoriesProbability: 0, mouthColor: ['3d3d3d'], ...o }];
const own = (name, bg) => ['own', { name, backgroundColor: [bg] }];

const OTHERS = [
  peepsOther({ head: ['bear'], face: ['lovingGrin1'], skinColor: ['d08b5b'], headContrastColor: ['4a312c'], clothingColor: ['ffcf77'], backgroundColor: ['d9efcf'] }),
  own('cat', 'd6e8fb'),
  own('dog', 'fff0b8'),
  own('rabbit', 'f8d3e4'),
  own('panda', 'd9efcf'),
  own('penguin', 'cfe3f5'),
  own('frog', 'fbe3c7'),
  own('robot', 'eadcf7'),
  pixelOther({ skinColor: ['9aa3ad'], hair: ['short19'], hairColor: ['a9a9a9'], eyes: ['variant06'], mouth: ['sad03'],
    glasses: ['dark06'], glassesProbability: 100, clothing: ['variant22'], clothingColor: ['428bca'], backgroundColor: ['2d3a2a'] }),
  pixelOther({ skinColor: ['7fd36b'], hair: ['short21'], hairColor: ['91cb15'], eyes: ['variant12'], mouth: ['happy09'],
    glassesProbability: 0, clothing: ['variant05'], clothingColor: ['03396c'], backgroundColor: ['1c1c3a'] }),
  peepsOther({ head: ['noHair1'], face: ['cyclops'], skinColor: ['78e185'], clothingColor: ['8fa7df'], backgroundColor: ['eadcf7'] }),
  peepsOther({ head: ['mohawk2'], face: ['monster'], skinColor: ['9ddadb'], clothingColor: ['e78276'], backgroundColor: ['ffdccf'] }),
  thumb('f88c49', 'fff0b8', 'variant3', 'variant2', 'variant5W14'),
  thumb('0a5b83', 'd3efe9', 'variant1', 'variant1', 'variant1W12'),
  thumb('8e6bd8', 'f8d3e4', 'variant4', 'variant4', 'variant7W14'),
];

export function faceList() {
  const list = [];
  for (let i = 0; i < 50; i++) list.push({ n: i, label: `男性 ${i + 1}`, def: man(i) });
  for (let i = 0; i < 50; i++) list.push({ n: 50 + i, label: `女性 ${i + 1}`, def: woman(i) });
  OTHERS.forEach((def, i) => list.push({ n: 100 + i, label: `他 ${i + 1}`, def }));
  return list;
}

// The tile: a tinted rounded square with a darker rim, the picture clipped inside it. The
// rim keeps the icon apart from any map colour; outside the tile the PNG is transparent.
const R = 11;
function darker(hex, f = 0.72) {
  const v = parseInt(hex, 16);
  const c = [16, 8, 0].map((s) => Math.round(((v >> s) & 255) * f));
  return '#' + c.map((x) => x.toString(16).padStart(2, '0')).join('');
}

export function faceSvg({ def: [styleKey, options], n }) {
  const bg = options.backgroundColor[0];
  let inner;
  if (styleKey === 'own') {
    inner = CRITTERS[options.name]();
  } else {
    const extra = styleKey === 'openPeeps' ? { scale: 118, translateY: 7 } : {};
    const { backgroundColor, ...rest } = options;
    inner = createAvatar(STYLES[styleKey].style, { seed: `yubino-${n}`, size: 48, radius: 0, ...extra, ...rest, backgroundColor: ['transparent'] }).toString();
  }
  return `<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">` +
    `<defs><clipPath id="tile"><rect x="1" y="1" width="46" height="46" rx="${R}"/></clipPath></defs>` +
    `<rect x="1" y="1" width="46" height="46" rx="${R}" fill="#${bg}"/>` +
    `<g clip-path="url(#tile)">${inner}</g>` +
    `<rect x="1" y="1" width="46" height="46" rx="${R}" fill="none" stroke="${darker(bg)}" stroke-width="1.5"/></svg>`;
}

function rgba(svg, px) {
  return new Resvg(svg, { fitTo: { mode: 'width', value: px } }).render().pixels;
}

// Mean difference per channel of two RGBA buffers, 0..255.
function distance(a, b) {
  let s = 0;
  for (let k = 0; k < a.length; k++) s += Math.abs(a[k] - b[k]);
  return s / a.length;
}

export function main() {
  const list = faceList();
  const manifest = [];
  const sheets = { 24: [], 48: [] };
  const small = [];
  for (const f of list) {
    const svg = faceSvg(f);
    const name = `face${String(f.n).padStart(3, '0')}.png`;
    for (const px of SIZES) {
      const png = svgToPng(svg, { width: px });
      fs.mkdirSync(path.join(OUT, String(px)), { recursive: true });
      fs.writeFileSync(path.join(OUT, String(px), name), png);
      if (sheets[px]) sheets[px].push({ png, label: f.label });
    }
    small.push(rgba(svg, 24));
    const S = STYLES[f.def[0]];
    manifest.push({ number: f.n, label: f.label, file: name, style: S.title, author: S.author, licence: S.licence, ...(f.def[0] === 'own' ? { drawing: f.def[1].name } : {}) });
  }
  fs.writeFileSync(path.join(OUT, 'faces.json'), '[\n' + manifest.map((m) => ' ' + JSON.stringify(m)).join(',\n') + '\n]\n');

  // Report the nearest pairs at 24 px so a look-alike shows up in review.
  const pairs = [];
  for (let a = 0; a < small.length; a++) for (let b = a + 1; b < small.length; b++) pairs.push([distance(small[a], small[b]), a, b]);
  pairs.sort((x, y) => x[0] - y[0]);
  console.log('closest at 24 px:', pairs.slice(0, 6).map(([d, a, b]) => `${a}/${b}:${d.toFixed(1)}`).join('  '));
  if (pairs[0][0] < 4) throw new Error(`faces ${pairs[0][1]} and ${pairs[0][2]} are nearly the same at 24 px`);

  if (process.argv.includes('--sheets')) {
    const dir = process.argv[process.argv.indexOf('--sheets') + 1] || '/tmp';
    fs.writeFileSync(path.join(dir, 'faces-48.png'), svgToPng(contactSheet(sheets[48], { cols: 20, cell: 48, pad: 4, labelH: 12 })));
    fs.writeFileSync(path.join(dir, 'faces-24.png'), svgToPng(contactSheet(sheets[24], { cols: 25, cell: 24, pad: 3, labelH: 0 })));
    fs.writeFileSync(path.join(dir, 'faces-24x3.png'), svgToPng(contactSheet(sheets[24], { cols: 20, cell: 72, pad: 3, labelH: 0 })));
    fs.writeFileSync(path.join(dir, 'faces-48-map.png'), svgToPng(contactSheet(sheets[48], { cols: 20, cell: 48, pad: 2, labelH: 0, bg: '#9fcf86' })));
  }
  console.log(`faces: ${list.length} icons at ${SIZES.join(', ')} px in ${path.relative(ROOT, OUT)}`);
}

if (import.meta.url === `file://${process.argv[1]}`) main();
