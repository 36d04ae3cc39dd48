// The 88 x 31 banner of the face icon chooser: it credits the icon provider, and the
// program opens the provider's page when it is clicked. Writes src/resources/banner.png.
import fs from 'node:fs';
import path from 'node:path';
import { svgToPng } from './lib/render.mjs';
import { faceList, faceSvg } from './make-faces.mjs';

const ROOT = path.resolve(import.meta.dirname, '../..');

export function bannerSvg() {
  // one of the bundled faces as the emblem, so the banner matches the icons above it
  const emblem = Buffer.from(faceSvg(faceList()[112])).toString('base64');
  return `<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" width="88" height="31" viewBox="0 0 88 31">
  <defs>
    <linearGradient id="face" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#ffffff"/><stop offset="0.55" stop-color="#eef3fb"/><stop offset="1" stop-color="#d5e0f0"/>
    </linearGradient>
  </defs>
  <rect x="0.5" y="0.5" width="87" height="30" rx="3" fill="url(#face)" stroke="#5a6f8e"/>
  <rect x="1.5" y="1.5" width="85" height="28" rx="2.2" fill="none" stroke="#ffffff" stroke-opacity="0.8"/>
  <image x="3" y="4" width="23" height="23" xlink:href="data:image/svg+xml;base64,${emblem}"/>
  <text x="29" y="12" font-family="DejaVu Sans" font-size="7.5" fill="#4a5568">Avatars by</text>
  <text x="28.5" y="25" font-family="DejaVu Sans" font-weight="bold" font-size="11" letter-spacing="-0.3" fill="#1f3b66">DiceBear</text>
</svg>`;
}

export function main() {
  const svg = bannerSvg();
  fs.writeFileSync(path.join(ROOT, 'src/resources/banner.png'), svgToPng(svg, { width: 88 }));
  if (process.argv.includes('--preview')) fs.writeFileSync('/tmp/banner-x6.png', svgToPng(svg, { width: 88 * 6 }));
  console.log('banner: src/resources/banner.png (88 x 31)');
}

if (import.meta.url === `file://${process.argv[1]}`) main();
