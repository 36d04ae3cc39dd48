import fs from 'node:fs';
import { Resvg } from '@resvg/resvg-js';

// Only the Debian fonts-vlgothic files are used, never whatever else the system has, so the
// pictures do not change with the machine's font set.
export const FONT_FILES = [
  '/usr/share/fonts/truetype/vlgothic/VL-PGothic-Regular.ttf',
  '/usr/share/fonts/truetype/vlgothic/VL-Gothic-Regular.ttf',
];
export const FONT_FAMILY = 'VL PGothic';

export function svgToRgba(svg) {
  for (const f of FONT_FILES) {
    if (!fs.existsSync(f)) throw new Error(`font ${f} missing: apt-get install fonts-vlgothic`);
  }
  const img = new Resvg(svg, {
    fitTo: { mode: 'original' },
    font: {
      fontFiles: FONT_FILES,
      loadSystemFonts: false,
      defaultFontFamily: FONT_FAMILY,
      sansSerifFamily: FONT_FAMILY,
    },
  }).render();
  return { width: img.width, height: img.height, rgba: img.pixels };
}
