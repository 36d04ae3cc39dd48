// Regenerates every picture this folder owns, in dependency order.
import * as faces from './make-faces.mjs';
import * as banner from './make-banner.mjs';
import * as icons from './make-icons.mjs';
import * as montage from './make-montage.mjs';

faces.main();
banner.main();
icons.main();
montage.main();
