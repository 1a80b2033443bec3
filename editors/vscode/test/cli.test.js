'use strict';
// The diagnostics on real output: the quenra built from this tree (QUENRA_BIN,
// set by CTest) runs on the warning fixtures, and the parser must place every
// warning on the text it is about, astral characters before it included. Skipped
// when QUENRA_BIN is not set (a plain `npm test` outside the build).
const test = require('node:test');
const assert = require('node:assert');
const path = require('path');
const fs = require('fs');
const { spawnSync } = require('child_process');
const { parseWarnings } = require('../src/warnings');

const BIN = process.env.QUENRA_BIN && (process.env.QUENRA_BIN.includes(path.sep) ? path.resolve(process.env.QUENRA_BIN) : process.env.QUENRA_BIN);
const FIXTURES = path.join(__dirname, 'fixtures', 'warnings');

function run(mode, name) {
  const result = spawnSync(BIN, [mode, `${name}.qn`], { cwd: FIXTURES, input: '',
    env: { ...process.env, SDL_VIDEODRIVER: 'dummy' } });
  if (result.error) throw result.error;
  const lines = fs.readFileSync(path.join(FIXTURES, `${name}.qn`), 'utf8').split('\n');
  const warnings = parseWarnings(result.stderr.toString(), (n) => lines[n]);
  return { status: result.status, warnings, covered: warnings.map((w) => [w.line, lines[w.range.line].slice(w.range.start, w.range.end)]) };
}

test('--check: each front-end warning lands on its character, also after emoji', { skip: !BIN && 'QUENRA_BIN not set' }, () => {
  const { status, covered, warnings } = run('--check', 'frontend');
  assert.strictEqual(status, 1);
  assert.deepStrictEqual(covered, [[1, "'"], [1, "'"], [2, '/'], [6, 'else'], [9, '$'], [10, '@'], [10, '*'], [12, ')']]);
  assert.ok(warnings.every((w) => w.file === 'frontend.qn' && w.message.length > 0));
  // Two emoji before the "$": column 17 for quenra, 18 for the editor.
  assert.deepStrictEqual([warnings[4].column, warnings[4].range.start], [17, 18]);
});

test('--check on a correct program reports nothing and exits with 0', { skip: !BIN && 'QUENRA_BIN not set' }, () => {
  const { status, warnings } = run('--check', 'clean');
  assert.deepStrictEqual([status, warnings], [0, []]);
});

test('--warn: run-time warnings land on the name or operator, astral characters before them', { skip: !BIN && 'QUENRA_BIN not set' }, () => {
  const plain = run('--warn', 'plain');
  assert.strictEqual(plain.status, 0);
  assert.deepStrictEqual(plain.covered, [[1, 'prnt'], [2, 'scroe']]);
  const wide = run('--warn', 'wide');
  assert.deepStrictEqual(wide.covered, [[1, 'scroe'], [2, '+'], [3, 'y']]);
  // Two emoji before "scroe" and one astral digit before "y" shift the editor's columns.
  assert.deepStrictEqual(wide.warnings.map((w) => [w.column, w.range.start]), [[13, 14], [14, 13], [10, 10]]);
});
