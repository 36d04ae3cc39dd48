// A contact sheet of the 115 face icons at 48 px with their chooser labels, made with
// ImageMagick's montage: docs/screenshots/faces-montage.png.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';

const ROOT = path.resolve(import.meta.dirname, '../..');
const FONT = '/usr/share/fonts/truetype/vlgothic/VL-PGothic-Regular.ttf';

export function main() {
  const faces = JSON.parse(fs.readFileSync(path.join(ROOT, 'src/resources/faces/faces.json'), 'utf8'));
  const out = path.join(ROOT, 'docs/screenshots/faces-montage.png');
  fs.mkdirSync(path.dirname(out), { recursive: true });
  const args = ['-font', FONT, '-pointsize', '11', '-background', 'white'];
  for (const f of faces) args.push('-label', f.label, path.join(ROOT, 'src/resources/faces/48', f.file));
  // no time stamps in the PNG, so that a rerun gives the same bytes
  args.push('-tile', '20x', '-geometry', '48x48+6+4', '+set', 'date:create', '+set', 'date:modify',
    '-define', 'png:exclude-chunks=date,time', out);
  execFileSync('montage', args, { stdio: 'inherit' });
  console.log(`montage: ${path.relative(ROOT, out)}`);
}

if (import.meta.url === `file://${process.argv[1]}`) main();
