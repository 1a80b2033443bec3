'use strict';
// Renders a Quenra file as VS Code would show it, to HTML: the grammar's scopes
// coloured with the colours of VS Code's dark theme, and the warnings of a quenra
// report underlined with a squiggle at the ranges the extension computes, with a
// problems list below. Used to take screenshots of the extension without VS Code.
//
//   node tools/render_html.js FILE.qn [REPORT.txt | --bin QUENRA [--warn]] > out.html
//
// Without a report file, the report is the standard error of `QUENRA --check FILE`
// (or of `--warn`, which also runs the script).
const fs = require('fs');
const path = require('path');
const { spawnSync } = require('child_process');
const { tokenize } = require('../test/support/tokenize');
const { parseWarnings } = require('../src/warnings');

// Scope prefix to colour, the most specific first.
const COLOURS = [
  ['invalid', '#f44747'],
  ['comment', '#6a9955'],
  ['constant.character.escape', '#d7ba7d'],
  ['string', '#ce9178'],
  ['constant.numeric', '#b5cea8'],
  ['constant.language', '#569cd6'],
  ['keyword.control', '#c586c0'],
  ['keyword.operator.logical', '#569cd6'],
  ['keyword.operator', '#d4d4d4'],
  ['storage', '#569cd6'],
  ['support.function', '#dcdcaa'],
  ['entity.name.function', '#dcdcaa'],
  ['variable.language', '#569cd6'],
  ['variable', '#9cdcfe'],
];

function colourOf(scopes) {
  for (let i = scopes.length - 1; i >= 0; i -= 1) {
    const hit = COLOURS.find(([prefix]) => scopes[i] === prefix || scopes[i].startsWith(`${prefix}.`));
    if (hit) return hit[1];
  }
  return '#d4d4d4';
}

const escape = (s) => s.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');

async function main() {
  const [file, ...rest] = process.argv.slice(2);
  let report = '';
  if (rest[0] === '--bin') {
    const mode = rest.includes('--warn') ? '--warn' : '--check';
    const bin = rest[1].includes(path.sep) ? path.resolve(rest[1]) : rest[1];
    const run = spawnSync(bin, [mode, path.basename(file)], { cwd: path.dirname(path.resolve(file)), input: '',
      timeout: 10000, env: { ...process.env, SDL_VIDEODRIVER: 'dummy' } });
    if (run.error) throw run.error;
    report = run.stderr.toString();
  } else if (rest[0]) {
    report = fs.readFileSync(rest[0], 'utf8');
  }
  const source = fs.readFileSync(file, 'utf8').replace(/\n$/, '');
  const sourceLines = source.split('\n');
  const warnings = parseWarnings(report, (n) => sourceLines[n]);
  const lines = await tokenize(source);
  const rows = lines.map(({ line, tokens }, n) => {
    const marks = warnings.filter((w) => w.range.line === n);
    // Split tokens at the warning ranges (UTF-16 offsets, as JavaScript strings are).
    let offset = 0;
    const pieces = [];
    for (const t of tokens) {
      const start = offset;
      const end = offset + t.text.length;
      offset = end;
      const bounds = [start, end];
      for (const w of marks) {
        if (w.range.start > start && w.range.start < end) bounds.push(w.range.start);
        if (w.range.end > start && w.range.end < end) bounds.push(w.range.end);
      }
      const sorted = [...new Set(bounds)].sort((a, b) => a - b);
      for (let i = 0; i + 1 < sorted.length; i += 1) {
        const [a, b] = [sorted[i], sorted[i + 1]];
        const squiggle = marks.some((w) => w.range.start <= a && b <= w.range.end);
        const title = marks.filter((w) => w.range.start <= a && b <= w.range.end).map((w) => w.message).join('\n');
        pieces.push(`<span style="color:${colourOf(t.scopes)}"${squiggle ? ` class="squiggle" title="${escape(title)}"` : ''}>${escape(line.slice(a, b))}</span>`);
      }
    }
    return `<div class="row"><span class="number">${n + 1}</span><span class="code">${pieces.join('') || ' '}</span></div>`;
  });
  const problems = warnings.map((w) => `<div class="problem"><span class="icon">&#9888;</span> ${escape(w.message)} <span class="where">quenra [Ln ${w.line}, Col ${w.column}]</span></div>`);
  process.stdout.write(`<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>${escape(path.basename(file))}</title><style>
body { margin: 0; background: #1f1f1f; font: 15px/22px "DejaVu Sans Mono", monospace; color: #d4d4d4; }
.tab { background: #181818; color: #ffffff; padding: 6px 16px; font-family: sans-serif; font-size: 13px; border-bottom: 1px solid #2b2b2b; }
.editor { padding: 8px 0; white-space: pre; }
.number { display: inline-block; width: 44px; padding-right: 18px; text-align: right; color: #6e7681; }
.squiggle { text-decoration: underline wavy #cca700; text-decoration-skip-ink: none; text-underline-offset: 3px; }
.panel { border-top: 1px solid #2b2b2b; background: #181818; padding: 6px 16px; font-family: sans-serif; font-size: 13px; }
.panel h { display: block; color: #e7e7e7; letter-spacing: 0.05em; margin-bottom: 4px; }
.icon { color: #cca700; } .where { color: #8b8b8b; }
</style></head><body>
<div class="tab">${escape(path.basename(file))}</div>
<div class="editor">${rows.join('')}</div>
<div class="panel"><h>PROBLEMS ${warnings.length}</h>${problems.join('\n')}</div>
</body></html>
`);
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
