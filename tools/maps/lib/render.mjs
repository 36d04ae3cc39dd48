import fs from 'node:fs';
import { Resvg } from '@resvg/resvg-js';

// Only the Debian fonts-vlgothic files are used, never whatever else the system has, so the
// pictures do not change with the machine's font set.
export const FONT_FILES = [
  '/usr/share/fonts/truetype/vlgothic/VL-PGothic-Regular.ttf',
  '/usr/share/fonts/truetype/vlgothic/VL-Gothic-Regular.ttf',
];
export const FONT_FAMILY = 'VL PGothic';

// zoom 2 gives the picture for screens of two device pixels per pixel.
export function svgToRgba(svg, zoom = 1) {
  for (const f of FONT_FILES) {
    if (!fs.existsSync(f)) throw new Error(`font ${f} missing: apt-get install fonts-vlgothic`);
  }
  const img = new Resvg(svg, {
    fitTo: zoom === 1 ? { mode: 'original' } : { mode: 'zoom', value: zoom },
    font: {
      fontFiles: FONT_FILES,
      loadSystemFonts: false,
      defaultFontFamily: FONT_FAMILY,
      sansSerifFamily: FONT_FAMILY,
    },
  }).render();
  return { width: img.width, height: img.height, rgba: img.pixels };
}
