// Toolbar and menu command icons, drawn on a 16 x 16 grid so that every edge lands on a
// pixel at 16 px; the 32 px icons are the same drawings at twice the scale.
// Colours: one outline ink, blue for people and views, cream for mail, and small signs
// (green plus, red cross, green check) at the bottom right.

const INK = '#2c3e50';
const BLUE = '#4a8fdb', BLUE_DARK = '#24507f', BLUE_LIGHT = '#d3e5f8';
const PAPER = '#fff6d5', PAPER_INK = '#8d6a1a';
const GREEN = '#2f9e4f', RED = '#d6403a', ORANGE = '#f0a030', YELLOW = '#f6d27a', FOLDER = '#e0a93a';

const s = (w = 1) => `stroke-width="${w}" stroke-linejoin="round" stroke-linecap="round"`;

const person = (dx = 0, dy = 0) => `<g transform="translate(${dx} ${dy})">
  <circle cx="6" cy="4.5" r="3" fill="${BLUE}" stroke="${BLUE_DARK}" ${s()}/>
  <path d="M0.5 14.5 V12.5 Q0.5 8.5 6 8.5 Q11.5 8.5 11.5 12.5 V14.5 Z" fill="${BLUE}" stroke="${BLUE_DARK}" ${s()}/></g>`;

const envelope = (x, y, w, h) => `<rect x="${x}" y="${y}" width="${w}" height="${h}" fill="${PAPER}" stroke="${PAPER_INK}" ${s()}/>
  <path d="M${x} ${y} L${x + w / 2} ${y + h * 0.6} L${x + w} ${y}" fill="none" stroke="${PAPER_INK}" ${s()}/>`;

// Signs in the bottom-right corner, set off from the drawing by a white halo. The plus
// is 7 x 7 with 3 px arms on whole pixels, so it stays sharp at 16 px.
const halo = 'stroke="#ffffff" stroke-width="2" stroke-linejoin="round" paint-order="stroke"';
const PLUS = `<path d="M11 9 H14 V11 H16 V14 H14 V16 H11 V14 H9 V11 H11 Z" transform="translate(0 0)" fill="${GREEN}" ${halo}/>`;
const CROSS = `<path d="M10 10 L15 15 M15 10 L10 15" stroke="#ffffff" stroke-width="4.4" stroke-linecap="round"/>
  <path d="M10 10 L15 15 M15 10 L10 15" stroke="${RED}" stroke-width="2.2" stroke-linecap="round"/>`;
const CHECK = `<path d="M9 12 L11.5 14.5 L15.5 9.5" fill="none" stroke="#ffffff" stroke-width="4.4" stroke-linecap="round" stroke-linejoin="round"/>
  <path d="M9 12 L11.5 14.5 L15.5 9.5" fill="none" stroke="${GREEN}" stroke-width="2.2" stroke-linecap="round" stroke-linejoin="round"/>`;

const map = `<path d="M0.5 3 L5 1.5 L10 3 L14.5 1.5 V12.5 L10 14 L5 12.5 L0.5 14 Z" fill="#bfe3a8" stroke="#4d7a35" ${s()}/>
  <path d="M5 1.5 V12.5 M10 3 V14" stroke="#4d7a35" ${s()}/>
  <path d="M1 8 Q3 6.5 5 8 T10 7.5" fill="none" stroke="#6aa7de" stroke-width="1.2"/>`;

const pin = (x, y, fill = RED) => `<path d="M${x} ${y + 6} Q${x - 3.5} ${y + 2.5} ${x - 3.5} ${y} A3.5 3.5 0 0 1 ${x + 3.5} ${y} Q${x + 3.5} ${y + 2.5} ${x} ${y + 6} Z" fill="${fill}" stroke="#7a1f1a" ${s(0.9)}/>
  <circle cx="${x}" cy="${y}" r="1.3" fill="#fff"/>`;

const turnArrow = `<path d="M5 5.5 H10 Q14.5 5.5 14.5 9.75 Q14.5 14 10 14 H6" fill="none" stroke="${BLUE_DARK}" stroke-width="2" stroke-linecap="round"/>
  <path d="M0.5 5.5 L5.5 1 V10 Z" fill="${BLUE}" stroke="${BLUE_DARK}" ${s()}/>`;

// text lines and small items as whole-pixel rectangles
const bar = (x, y, w, h = 2, fill = INK) => `<rect x="${x}" y="${y}" width="${w}" height="${h}" fill="${fill}"/>`;
const sq = (x, y, w, fill = BLUE) => `<rect x="${x}" y="${y}" width="${w}" height="${w}" fill="${fill}" stroke="${BLUE_DARK}" stroke-width="1"/>`;

export const ACTIONS = {
  open: `<path d="M0.5 2.5 H5.5 L7 4 H13.5 V13.5 H0.5 Z" fill="${FOLDER}" stroke="#8a6313" ${s()}/>
    <path d="M0.5 13.5 L3 7 H15.5 L13.5 13.5 Z" fill="${YELLOW}" stroke="#8a6313" ${s()}/>`,

  save: `<path d="M1.5 1.5 H12 L14.5 4 V14.5 H1.5 Z" fill="#3f6fb5" stroke="#1f3d6b" ${s()}/>
    <rect x="4" y="1.5" width="7" height="4.5" fill="#dfe6ee" stroke="#1f3d6b" ${s(0.8)}/>
    <rect x="8.5" y="2.5" width="1.5" height="2.5" fill="#1f3d6b"/>
    <rect x="3.5" y="8.5" width="9" height="6" fill="#ffffff" stroke="#1f3d6b" ${s(0.8)}/>
    <path d="M5 10.5 H11 M5 12.5 H11" stroke="#9aa9bb" stroke-width="0.9"/>`,

  add_pal: `${person()}${PLUS}`,
  edit_pal: `${person()}
    <path d="M8.5 15.5 L9 12.5 L14 7.5 L16 9.5 L11 14.5 Z" fill="${ORANGE}" stroke="#7a4b07" ${s(0.9)}/>
    <path d="M8.5 15.5 L9 12.5 L11 14.5 Z" fill="#f6dfb8" stroke="#7a4b07" ${s(0.9)}/>
    <path d="M13 8.5 L15 10.5" stroke="#7a4b07" stroke-width="0.9"/>`,
  delete_pal: `${person()}${CROSS}`,

  add_mail: `${envelope(0.5, 2.5, 13, 9)}${PLUS}`,
  send_mail: `${envelope(0.5, 1.5, 13, 9)}
    <path d="M6.5 10.5 H11 V8 L15.5 12 L11 16 V13.5 H6.5 Z" fill="${GREEN}" stroke="#175c2b" ${s(0.9)}/>`,

  view_large: `${sq(1.5, 1.5, 5)}${sq(9.5, 1.5, 5)}${sq(1.5, 9.5, 5)}${sq(9.5, 9.5, 5)}`,
  view_small: [1, 6, 11].map((y) => bar(1, y, 3, 3, BLUE_DARK) + bar(5, y + 1, 2, 1) + bar(9, y, 3, 3, BLUE_DARK) + bar(13, y + 1, 2, 1)).join(''),
  view_list: [1, 5, 9, 13].map((y) => bar(1, y, 2, 2, BLUE_DARK) + bar(5, y, 10)).join(''),
  view_details: `<rect x="0.5" y="0.5" width="15" height="15" fill="#ffffff" stroke="${INK}" ${s()}/>
    <rect x="1" y="1" width="14" height="3" fill="${BLUE_LIGHT}"/>
    <path d="M0.5 4.5 H15.5 M5.5 0.5 V15.5 M10.5 0.5 V15.5" stroke="${INK}" stroke-width="1"/>
    ${[6, 9, 12].map((y) => bar(2, y, 3, 1, BLUE_DARK) + bar(7, y, 2, 1, BLUE) + bar(12, y, 2, 1, BLUE)).join('')}`,

  // the list shows every pal / only the pals of the map shown
  list_all: [3, 8, 13].map((y) => `<circle cx="2.5" cy="${y}" r="2" fill="${BLUE}" stroke="${BLUE_DARK}" stroke-width="0.8"/>` + bar(6, y - 1, 9)).join(''),
  list_map_only: `<path d="M0.5 1.5 H11.5 L7.5 6.5 V11.5 L4.5 13.5 V6.5 Z" fill="${BLUE}" stroke="${BLUE_DARK}" ${s()}/>${pin(12, 8.5)}`,
  // the map shows every listed pal / only the selected ones
  map_all: `${map}${pin(4, 4.5, ORANGE)}${pin(11.5, 7, RED)}`,
  map_selected: `${map}${CHECK}`,

  analysis: `<path d="M1.5 0.5 V14.5 H15.5" fill="none" stroke="${INK}" ${s()}/>
    <rect x="3.5" y="8.5" width="3" height="6" fill="${GREEN}" stroke="#175c2b" stroke-width="1"/>
    <rect x="7.5" y="3.5" width="3" height="11" fill="${BLUE}" stroke="${BLUE_DARK}" stroke-width="1"/>
    <rect x="11.5" y="6.5" width="3" height="8" fill="${ORANGE}" stroke="#7a4b07" stroke-width="1"/>`,

  import: `<rect x="5.5" y="0.5" width="10" height="15" rx="1" fill="#b5533c" stroke="#5e2619" ${s()}/>
    <rect x="7.5" y="2.5" width="6" height="4" fill="#fbeee0"/>
    <path d="M15.5 4 H14 M15.5 8 H14 M15.5 12 H14" stroke="#fbeee0" stroke-width="1.2"/>
    <path d="M0.5 8.5 H5 V6 L9.5 10 L5 14 V11.5 H0.5 Z" fill="${GREEN}" stroke="#175c2b" ${s(0.9)}/>`,

  // a turning arrow back to the left, and its mirror image forward
  undo: turnArrow,
  redo: `<g transform="matrix(-1 0 0 1 16 0)">${turnArrow}</g>`,

  help: `<circle cx="8" cy="8" r="7.5" fill="${BLUE}" stroke="${BLUE_DARK}" ${s()}/>
    <path d="M5.5 6 Q5.5 3.5 8 3.5 Q10.5 3.5 10.5 5.8 Q10.5 7.3 8.9 8 Q8 8.4 8 9.7" fill="none" stroke="#fff" stroke-width="1.8" stroke-linecap="round"/>
    <circle cx="8" cy="12.3" r="1.1" fill="#fff"/>`,
  about: `<circle cx="8" cy="8" r="7.5" fill="${BLUE}" stroke="${BLUE_DARK}" ${s()}/>
    <circle cx="8" cy="4.3" r="1.2" fill="#fff"/>
    <path d="M6.5 7 H8.8 V12 M6.5 12.5 H10" fill="none" stroke="#fff" stroke-width="1.7" stroke-linejoin="round"/>`,
};

export const actionSvg = (name) =>
  `<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">${ACTIONS[name]}</svg>`;
