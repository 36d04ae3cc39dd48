// The application icon: a smiling envelope sealed with a heart, on a post-box red tile.
// Drawn on a 256 x 256 grid; the 48 px icon thickens the lines so they survive.

const heart = (cx, cy, w, fill, stroke, sw) => {
  const h = w * 0.9;
  return `<path d="M${cx} ${cy + h * 0.5} C${cx - w * 0.2} ${cy + h * 0.32} ${cx - w * 0.5} ${cy + h * 0.1} ${cx - w * 0.5} ${cy - h * 0.18}
    C${cx - w * 0.5} ${cy - h * 0.42} ${cx - w * 0.3} ${cy - h * 0.52} ${cx - w * 0.15} ${cy - h * 0.5}
    C${cx - w * 0.05} ${cy - h * 0.48} ${cx} ${cy - h * 0.38} ${cx} ${cy - h * 0.3}
    C${cx} ${cy - h * 0.38} ${cx + w * 0.05} ${cy - h * 0.48} ${cx + w * 0.15} ${cy - h * 0.5}
    C${cx + w * 0.3} ${cy - h * 0.52} ${cx + w * 0.5} ${cy - h * 0.42} ${cx + w * 0.5} ${cy - h * 0.18}
    C${cx + w * 0.5} ${cy + h * 0.1} ${cx + w * 0.2} ${cy + h * 0.32} ${cx} ${cy + h * 0.5} Z" fill="${fill}" stroke="${stroke}" stroke-width="${sw}" stroke-linejoin="round"/>`;
};

export function appIconSvg({ small = false } = {}) {
  const ink = '#6b2219';
  const sw = small ? 9 : 6;
  return `<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <defs>
    <linearGradient id="tile" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#ff8a5c"/><stop offset="1" stop-color="#e0413a"/>
    </linearGradient>
  </defs>
  <rect x="8" y="8" width="240" height="240" rx="54" fill="url(#tile)"/>
  <rect x="8" y="8" width="240" height="240" rx="54" fill="none" stroke="#b02c27" stroke-width="${small ? 8 : 4}"/>
  <g transform="rotate(-6 128 134)">
    <rect x="36" y="68" width="184" height="132" rx="16" fill="#fffaf0" stroke="${ink}" stroke-width="${sw}"/>
    <path d="M40 84 Q40 72 56 72 H200 Q216 72 216 84 L128 146 Z" fill="#f7e6c4" stroke="${ink}" stroke-width="${sw}" stroke-linejoin="round"/>
    <path d="M${small ? 84 : 88} 100 Q100 86 112 100 M144 100 Q156 86 ${small ? 172 : 168} 100" fill="none" stroke="${ink}" stroke-width="${small ? 11 : 8}" stroke-linecap="round"/>
    ${heart(128, 150, small ? 50 : 44, '#e8333a', ink, small ? 7 : 5)}
    <path d="M100 178 Q128 ${small ? 198 : 196} 156 178" fill="none" stroke="${ink}" stroke-width="${small ? 10 : 7}" stroke-linecap="round"/>
    <ellipse cx="74" cy="168" rx="15" ry="9" fill="#ff9aa2" opacity="0.85"/>
    <ellipse cx="182" cy="168" rx="15" ry="9" fill="#ff9aa2" opacity="0.85"/>
  </g>
</svg>`;
}
