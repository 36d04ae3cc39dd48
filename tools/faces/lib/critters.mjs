// Hand-drawn animal and robot faces for the "other" group: the project's own drawings,
// on a 48 x 48 grid, in the same flat, dark-outlined manner as the Open Peeps faces.
// Each returns SVG elements only; the frame and background come from the caller.

const INK = '#2b2b2b';
const ln = (w = 1.6) => `stroke="${INK}" stroke-width="${w}" stroke-linejoin="round" stroke-linecap="round"`;
const line = ln();
const eye = (x, y, r = 2) => `<circle cx="${x}" cy="${y}" r="${r}" fill="${INK}"/><circle cx="${x + 0.6}" cy="${y - 0.7}" r="${r * 0.35}" fill="#fff"/>`;
const cheeks = (y, dx = 9, c = '#f59aa8') => `<ellipse cx="${24 - dx}" cy="${y}" rx="2.6" ry="1.6" fill="${c}" opacity="0.8"/><ellipse cx="${24 + dx}" cy="${y}" rx="2.6" ry="1.6" fill="${c}" opacity="0.8"/>`;

export const CRITTERS = {
  cat: () => `
    <path d="M10 25 L12 7 L22 15 Z M38 25 L36 7 L26 15 Z" fill="#f0a04b" ${line}/>
    <path d="M13.5 17 L14 11 L18.5 15 Z M34.5 17 L34 11 L29.5 15 Z" fill="#f7b8c2"/>
    <ellipse cx="24" cy="28" rx="16" ry="13.5" fill="#f0a04b" ${line}/>
    <path d="M20 15.5 L21 20 M24 15 L24 20 M28 15.5 L27 20" stroke="#c46f1f" stroke-width="1.6" stroke-linecap="round"/>
    ${eye(17.5, 27, 2.3)}${eye(30.5, 27, 2.3)}
    <path d="M22.3 31 L25.7 31 L24 33 Z" fill="#e5707f" ${ln(1)}/>
    <path d="M20.5 34.5 Q22.3 36.5 24 34 Q25.7 36.5 27.5 34.5" fill="none" ${ln(1.3)}/>
    <path d="M6 29 L14 30.5 M6 34 L14 32.5 M42 29 L34 30.5 M42 34 L34 32.5" ${ln(1)}/>`,

  dog: () => `
    <ellipse cx="24" cy="27" rx="14.5" ry="14" fill="#e9c89a" ${line}/>
    <path d="M11 15 Q4 17 5 30 Q6 36 10.5 34 Q13 26 14 19 Z" fill="#8a5a3b" ${line}/>
    <path d="M37 15 Q44 17 43 30 Q42 36 37.5 34 Q35 26 34 19 Z" fill="#8a5a3b" ${line}/>
    <ellipse cx="30" cy="23" rx="4.5" ry="4" fill="#c99a6a"/>
    ${eye(18.5, 24.5, 2.2)}${eye(29.5, 24.5, 2.2)}
    <ellipse cx="24" cy="33" rx="7.5" ry="5.5" fill="#fff6ea" ${ln(1.2)}/>
    <ellipse cx="24" cy="30.5" rx="3" ry="2.2" fill="${INK}"/>
    <path d="M24 32.5 L24 35 M21 35 Q24 37.5 27 35" fill="none" ${ln(1.2)}/>
    <path d="M22.5 36 Q24 40.5 25.5 36 Z" fill="#ef6f7e"/>`,

  rabbit: () => `
    <ellipse cx="18" cy="13" rx="4.5" ry="11" fill="#f4f4f6" ${line} transform="rotate(-10 18 13)"/>
    <ellipse cx="30" cy="13" rx="4.5" ry="11" fill="#f4f4f6" ${line} transform="rotate(10 30 13)"/>
    <ellipse cx="18" cy="13" rx="2" ry="7.5" fill="#f7b8c2" transform="rotate(-10 18 13)"/>
    <ellipse cx="30" cy="13" rx="2" ry="7.5" fill="#f7b8c2" transform="rotate(10 30 13)"/>
    <ellipse cx="24" cy="31" rx="14" ry="12" fill="#f4f4f6" ${line}/>
    ${eye(18.5, 29, 2.1)}${eye(29.5, 29, 2.1)}
    ${cheeks(34, 9.5)}
    <path d="M22.5 32.5 L25.5 32.5 L24 34.3 Z" fill="#e5707f"/>
    <path d="M24 34.3 L24 36 M21.5 37 Q24 38.5 26.5 37" fill="none" ${ln(1.1)}/>`,

  panda: () => `
    <circle cx="12.5" cy="15.5" r="5.5" fill="${INK}"/>
    <circle cx="35.5" cy="15.5" r="5.5" fill="${INK}"/>
    <ellipse cx="24" cy="28" rx="16" ry="14" fill="#fbfbfb" ${line}/>
    <ellipse cx="17.5" cy="27" rx="4.3" ry="5.5" fill="${INK}" transform="rotate(30 17.5 27)"/>
    <ellipse cx="30.5" cy="27" rx="4.3" ry="5.5" fill="${INK}" transform="rotate(-30 30.5 27)"/>
    <circle cx="18" cy="26.5" r="1.6" fill="#fff"/><circle cx="30" cy="26.5" r="1.6" fill="#fff"/>
    <ellipse cx="24" cy="33" rx="2.6" ry="1.8" fill="${INK}"/>
    <path d="M24 34.5 L24 36 M21.5 36.5 Q24 38.5 26.5 36.5" fill="none" ${ln(1.2)}/>`,

  penguin: () => `
    <ellipse cx="24" cy="28" rx="17" ry="16" fill="#243b5a" ${line}/>
    <path d="M24 20 Q19 14 14 19 Q10 25 12 32 Q15 42 24 42 Q33 42 36 32 Q38 25 34 19 Q29 14 24 20 Z" fill="#ffffff"/>
    ${eye(18.5, 26, 2.3)}${eye(29.5, 26, 2.3)}
    <path d="M20.5 30.5 Q24 29 27.5 30.5 L24 35 Z" fill="#f59e2b" ${ln(1.1)}/>
    ${cheeks(32, 10)}`,

  frog: () => `
    <ellipse cx="24" cy="30" rx="18" ry="12.5" fill="#7cc45a" ${line}/>
    <circle cx="15" cy="17.5" r="6.5" fill="#7cc45a" ${line}/>
    <circle cx="33" cy="17.5" r="6.5" fill="#7cc45a" ${line}/>
    <circle cx="15" cy="17.5" r="4" fill="#fff"/><circle cx="33" cy="17.5" r="4" fill="#fff"/>
    ${eye(15.5, 18, 2.2)}${eye(33.5, 18, 2.2)}
    <path d="M13 30 Q24 40 35 30" fill="none" ${ln(1.8)}/>
    ${cheeks(31, 14, '#f28a9b')}
    <circle cx="21.5" cy="26" r="0.9" fill="${INK}"/><circle cx="26.5" cy="26" r="0.9" fill="${INK}"/>`,

  robot: () => `
    <path d="M24 12.5 L24 6.5" ${line}/>
    <circle cx="24" cy="5.5" r="2.8" fill="#f25a5a" ${ln(1.2)}/>
    <rect x="5.5" y="22" width="5" height="10" rx="1.5" fill="#8a97a8" ${ln(1.2)}/>
    <rect x="37.5" y="22" width="5" height="10" rx="1.5" fill="#8a97a8" ${ln(1.2)}/>
    <rect x="10" y="12.5" width="28" height="29" rx="6" fill="#c6d0dc" ${line}/>
    <rect x="13.5" y="17" width="21" height="12" rx="4" fill="#34495e"/>
    <circle cx="19" cy="23" r="3" fill="#6ef0f5"/><circle cx="29" cy="23" r="3" fill="#6ef0f5"/>
    <circle cx="19.6" cy="22.3" r="1" fill="#fff"/><circle cx="29.6" cy="22.3" r="1" fill="#fff"/>
    <rect x="16.5" y="32.5" width="15" height="5" rx="1.5" fill="#fff" ${ln(1.1)}/>
    <path d="M20.3 32.5 V37.5 M24 32.5 V37.5 M27.7 32.5 V37.5" stroke="${INK}" stroke-width="1"/>`,
};
