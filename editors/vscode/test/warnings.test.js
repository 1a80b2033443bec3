'use strict';
// The parser of `quenra --warn` / `--check` output: the editor ranges it gives,
// on outputs of quenra (test/fixtures/warnings/NAME.txt is what `quenra --warn
// NAME.qn` wrote to standard error), with the document text and without it.
const test = require('node:test');
const assert = require('node:assert');
const fs = require('fs');
const path = require('path');
const { parseWarnings, rangeOnLine, utf16Offset } = require('../src/warnings');

const FIXTURES = path.join(__dirname, 'fixtures', 'warnings');

function fixture(name) {
  const source = fs.readFileSync(path.join(FIXTURES, `${name}.qn`), 'utf8').split('\n');
  const report = fs.readFileSync(path.join(FIXTURES, `${name}.txt`), 'utf8');
  return { report, lineText: (n) => source[n] };
}

// What a range covers in the document, as the editor would show it.
function covered(lineText, { line, start, end }) {
  return lineText(line).slice(start, end);
}

test('ASCII lines: the place and the whole name there', () => {
  const { report, lineText } = fixture('plain');
  const warnings = parseWarnings(report, lineText);
  assert.deepStrictEqual(warnings.map((w) => [w.file, w.line, w.column]), [['plain.qn', 1, 1], ['plain.qn', 2, 13]]);
  assert.deepStrictEqual(warnings.map((w) => covered(lineText, w.range)), ['prnt', 'scroe']);
  assert.strictEqual(warnings[0].message, 'call of "prnt", which is neither a built-in nor a function: it gives null and its '
    + 'arguments are not evaluated (did you mean "print"?)');
});

test('columns count characters: emoji, accents and astral letters before the place', () => {
  const { report, lineText } = fixture('wide');
  const warnings = parseWarnings(report, lineText);
  assert.deepStrictEqual(warnings.map((w) => [w.range.line, w.range.start, w.range.end]), [[0, 14, 19], [1, 13, 14], [2, 10, 11]]);
  assert.deepStrictEqual(warnings.map((w) => covered(lineText, w.range)), ['scroe', '+', 'y']);
});

test('without the document the echoed source line gives the same ranges', () => {
  for (const name of ['plain', 'wide', 'open']) {
    const { report, lineText } = fixture(name);
    assert.deepStrictEqual(parseWarnings(report).map((w) => w.range), parseWarnings(report, lineText).map((w) => w.range), name);
  }
});

test('a place past the end of the line marks the last character, counted in UTF-16', () => {
  const { report, lineText } = fixture('open');
  const [warning] = parseWarnings(report, lineText);
  assert.deepStrictEqual(warning.range, { line: 1, start: 14, end: 15 });
  assert.strictEqual(covered(lineText, warning.range), ')');
  assert.deepStrictEqual(rangeOnLine('', 5), { start: 0, end: 0 });
});

test('a line cut short by quenra keeps its columns when the document is not at hand', () => {
  const report = 'long.qn:7:120: warning: "x" holds nothing\n...aaaa x aaaa...\n       ^\n1 warning\n';
  assert.deepStrictEqual(parseWarnings(report)[0].range, { line: 6, start: 119, end: 120 });
  const lineText = () => `${'é'.repeat(119)}xy`;
  assert.deepStrictEqual(parseWarnings(report, lineText)[0].range, { line: 6, start: 119, end: 121 });
});

test('summary lines, caret lines and other text are not warnings; odd paths and CRLF are read', () => {
  const report = [
    'C:\\work\\game.qn:3:5: warning: "//" is two divisions; comments start with "#"',
    'let y = 10 // 3',
    '    ^',
    'warning: the run stopped: maximum recursion depth exceeded',
    'frames: 300',
    '2 warnings (the first 100 shown)',
    '',
  ].join('\r\n');
  const warnings = parseWarnings(report);
  assert.deepStrictEqual(warnings.map((w) => [w.file, w.line, w.column, w.message]), [
    ['C:\\work\\game.qn', 3, 5, '"//" is two divisions; comments start with "#"'],
    ['', 0, 0, 'the run stopped: maximum recursion depth exceeded'],
  ]);
  assert.deepStrictEqual(warnings[0].range, { line: 2, start: 4, end: 5 });
  assert.deepStrictEqual(parseWarnings(''), []);
  assert.deepStrictEqual(parseWarnings('0 warnings\n'), []);
});

test('utf16Offset counts surrogate pairs as two units', () => {
  assert.strictEqual(utf16Offset('a😀b', 2), 3);
  assert.strictEqual(utf16Offset('a😀b', 9), 4);
  assert.strictEqual(utf16Offset('', 0), 0);
});
