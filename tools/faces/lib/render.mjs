// SVG -> PNG with resvg, using only the fonts named here so output does not depend on
// what else the machine has installed.
import { Resvg } from '@resvg/resvg-js';
import fs from 'node:fs';

export const FONT_FILES = [
  '/usr/share/fonts/truetype/vlgothic/VL-PGothic-Regular.ttf',
  '/usr/share/fonts/truetype/vlgothic/VL-Gothic-Regular.ttf',
  '/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf',
  '/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf',
  '/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf',
].filter((f) => fs.existsSync(f));

export function svgToPng(svg, { width, background } = {}) {
  const r = new Resvg(svg, {
    fitTo: width ? { mode: 'width', value: width } : { mode: 'original' },
    background,
    shapeRendering: 2, // geometricPrecision: antialiased edges
    font: {
      fontFiles: FONT_FILES,
      loadSystemFonts: false,
      defaultFontFamily: 'VL PGothic',
      sansSerifFamily: 'VL PGothic',
    },
  });
  return r.render().asPng();
}

export function writeFile(file, data) {
  fs.mkdirSync(new URL('.', `file://${file}`).pathname, { recursive: true });
  fs.writeFileSync(file, data);
}

// A sheet of PNG cells on white, optionally labelled; used for eyeballing the sets.
export function contactSheet(cells, { cols = 10, cell = 48, pad = 6, labelH = 12, title = '', bg = '#ffffff' } = {}) {
  const rows = Math.ceil(cells.length / cols);
  const cw = cell + pad * 2, ch = cell + pad * 2 + labelH;
  const top = title ? 20 : 0;
  const W = cols * cw, H = rows * ch + top;
  let out = `<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" width="${W}" height="${H}" viewBox="0 0 ${W} ${H}">`;
  out += `<rect width="${W}" height="${H}" fill="${bg}"/>`;
  if (title) out += `<text x="4" y="14" font-size="12" font-family="VL PGothic" fill="#000">${title}</text>`;
  cells.forEach((c, i) => {
    const x = (i % cols) * cw + pad, y = Math.floor(i / cols) * ch + pad + top;
    out += `<image x="${x}" y="${y}" width="${cell}" height="${cell}" image-rendering="optimizeSpeed" xlink:href="data:image/png;base64,${c.png.toString('base64')}"/>`;
    if (c.label && labelH) out += `<text x="${x + cell / 2}" y="${y + cell + 10}" font-size="9" text-anchor="middle" font-family="VL PGothic" fill="#333">${c.label}</text>`;
  });
  return out + '</svg>';
}
