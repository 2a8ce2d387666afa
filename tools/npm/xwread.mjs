// What an independent ipuz reader sees in a file, printed as one JSON object; the tests compare
// it with the document Zyn exported.   node tools/npm/xwread.mjs FILE
// The reader is installed here by tools/setup.sh (version pinned in package-lock.json).
import fs from 'fs';
import path from 'path';
import { parse } from '@xwordly/xword-parser';

const file = process.argv[2];
try {
  const p = parse(fs.readFileSync(file), { filename: path.basename(file) });
  const cells = p.grid.cells;
  console.log(JSON.stringify({
    title: p.title, author: p.author, width: p.grid.width, height: p.grid.height,
    rows: cells.map((r) => r.map((c) => (c.isBlack ? '#' : (c.solution || '.'))).join(' ')),
    numbered: cells.flat().filter((c) => c.number).length,
    numbers: cells.flatMap((r, y) => r.map((c, x) => (c.number ? c.number + '@' + x + ',' + y : ''))).filter(Boolean).join(' '),
    bars: cells.flatMap((r, y) => r.map((c, x) => {
      const st = c.additionalProperties && c.additionalProperties.style;
      return st && st.barred ? st.barred + '@' + x + ',' + y : '';
    })).filter(Boolean).join(' '),
    circles: cells.flatMap((r, y) => r.map((c, x) => (c.isCircled ? x + ',' + y : ''))).filter(Boolean).join(' '),
    across: p.clues.across.map((c) => c.number + ' ' + c.text),
    down: p.clues.down.map((c) => c.number + ' ' + c.text),
  }));
} catch (e) {
  console.log(JSON.stringify({ error: (e && e.code) || 'Error', message: e && e.message }));
  process.exitCode = 1;
}
