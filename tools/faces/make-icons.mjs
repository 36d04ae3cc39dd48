// Command icons (src/resources/actions/{16,32}/NAME.png) and the application icon
// (src/resources/yubino.png 256 px, yubino-48.png, yubino.svg).
import fs from 'node:fs';
import path from 'node:path';
import { svgToPng, contactSheet } from './lib/render.mjs';
import { ACTIONS, actionSvg } from './lib/actions.mjs';
import { appIconSvg } from './lib/appicon.mjs';

const ROOT = path.resolve(import.meta.dirname, '../..');
const RES = path.join(ROOT, 'src/resources');

export function main() {
  const cells = { 16: [], 32: [] };
  for (const name of Object.keys(ACTIONS)) {
    for (const px of [16, 32]) {
      const dir = path.join(RES, 'actions', String(px));
      fs.mkdirSync(dir, { recursive: true });
      const png = svgToPng(actionSvg(name), { width: px });
      fs.writeFileSync(path.join(dir, `${name}.png`), png);
      cells[px].push({ png, label: name });
    }
  }
  const big = appIconSvg();
  fs.writeFileSync(path.join(RES, 'yubino.svg'), big + '\n');
  fs.writeFileSync(path.join(RES, 'yubino.png'), svgToPng(big, { width: 256 }));
  fs.writeFileSync(path.join(RES, 'yubino-48.png'), svgToPng(appIconSvg({ small: true }), { width: 48 }));

  if (process.argv.includes('--sheets')) {
    const dir = process.argv[process.argv.indexOf('--sheets') + 1] || '/tmp';
    fs.writeFileSync(path.join(dir, 'actions-16x4.png'), svgToPng(contactSheet(cells[16], { cols: 10, cell: 64, pad: 6, labelH: 12 })));
    fs.writeFileSync(path.join(dir, 'actions-16.png'), svgToPng(contactSheet(cells[16], { cols: 19, cell: 16, pad: 5, labelH: 0 })));
    fs.writeFileSync(path.join(dir, 'actions-32.png'), svgToPng(contactSheet(cells[32], { cols: 10, cell: 32, pad: 8, labelH: 12 })));
  }
  console.log(`icons: ${Object.keys(ACTIONS).length} commands at 16 and 32 px, application icon at 256 and 48 px`);
}

if (import.meta.url === `file://${process.argv[1]}`) main();
