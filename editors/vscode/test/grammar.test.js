'use strict';
// The grammar over every example program and the fixtures, compared with the
// snapshots in test/snapshots (reviewed by hand; regenerate with
// UPDATE_SNAPSHOTS=1 and read the diff). Targeted cases follow, for what a
// snapshot review could miss.
const test = require('node:test');
const assert = require('node:assert');
const fs = require('fs');
const path = require('path');
const { tokenize, snapshot, ROOT } = require('./support/tokenize');

const EXAMPLES = path.join(ROOT, '..', '..', 'examples');
const FIXTURES = path.join(__dirname, 'fixtures');
const SNAPSHOTS = path.join(__dirname, 'snapshots');

const sources = [
  ...fs.readdirSync(EXAMPLES).filter((f) => f.endsWith('.qn')).map((f) => ['examples', path.join(EXAMPLES, f)]),
  ...fs.readdirSync(FIXTURES).filter((f) => f.endsWith('.qn')).map((f) => ['fixtures', path.join(FIXTURES, f)]),
];

test('there are examples and fixtures to check', () => {
  assert.ok(sources.filter(([kind]) => kind === 'examples').length >= 8);
  assert.ok(sources.filter(([kind]) => kind === 'fixtures').length >= 3);
});

for (const [kind, file] of sources) {
  test(`snapshot of ${kind}/${path.basename(file)}`, async () => {
    const actual = snapshot(await tokenize(fs.readFileSync(file, 'utf8')));
    const snap = path.join(SNAPSHOTS, `${kind}-${path.basename(file, '.qn')}.snap`);
    if (process.env.UPDATE_SNAPSHOTS === '1') {
      fs.writeFileSync(snap, actual);
      return;
    }
    assert.ok(fs.existsSync(snap), `no snapshot ${snap}: run UPDATE_SNAPSHOTS=1 npm test and review it`);
    assert.strictEqual(actual, fs.readFileSync(snap, 'utf8'));
  });
}

// The scopes of each token of a one-line source, as [text, innermost scope].
async function scopesOf(source) {
  const [line] = await tokenize(source);
  return line.tokens.filter((t) => t.scopes.length > 0).map((t) => [t.text, t.scopes[t.scopes.length - 1]]);
}

test('all 39 built-in names are coloured as built-ins, and only as whole names', async () => {
  const names = ['len', 'push', 'pop', 'reverse', 'abs', 'sqrt', 'pow', 'ceil', 'floor', 'round', 'min', 'max',
    'random', 'random_range', 'print', 'input', 'upper', 'lower', 'slice', 'split', 'concat', 'contains', 'typeof',
    'is_number', 'is_string', 'is_array', 'is_dict', 'window', 'is_open', 'present', 'clear', 'window_width',
    'window_height', 'rect', 'color', 'circle', 'triangle', 'fill', 'draw'];
  assert.strictEqual(new Set(names).size, 39);
  for (const name of names) {
    assert.deepStrictEqual(await scopesOf(`${name}(x)`), [[name, 'support.function.builtin'], ['(', 'punctuation.section.parens'],
      ['x', 'variable.other'], [')', 'punctuation.section.parens']], name);
  }
  assert.deepStrictEqual(await scopesOf('lengths printer'), [['lengths', 'variable.other'], ['printer', 'variable.other']]);
  assert.deepStrictEqual(await scopesOf('my_len(1)'), [['my_len', 'entity.name.function.call'], ['(', 'punctuation.section.parens'],
    ['1', 'constant.numeric.integer'], [')', 'punctuation.section.parens']]);
});

test('numbers follow the lexer: a float needs digits on both sides of the point', async () => {
  assert.deepStrictEqual(await scopesOf('1.5 7 1.2.3'), [['1.5', 'constant.numeric.float'], ['7', 'constant.numeric.integer'],
    ['1.2', 'constant.numeric.float'], ['.', 'punctuation.accessor'], ['3', 'constant.numeric.integer']]);
  assert.deepStrictEqual(await scopesOf('0..10'), [['0', 'constant.numeric.integer'], ['..', 'keyword.operator.range'],
    ['10', 'constant.numeric.integer']]);
  assert.deepStrictEqual(await scopesOf('abc123'), [['abc123', 'variable.other']]);
});

test('strings: the five escapes and nothing else, and strings may span lines', async () => {
  const [line] = await tokenize('"a\\n\\t\\r\\\\\\"\\q"');
  const escapes = line.tokens.filter((t) => t.scopes.includes('constant.character.escape')).map((t) => t.text);
  assert.deepStrictEqual(escapes, ['\\n', '\\t', '\\r', '\\\\', '\\"']);
  const lines = await tokenize('"first\nsecond" x');
  assert.ok(lines[1].tokens[0].scopes.includes('string.quoted.double'));
  assert.deepStrictEqual(lines[1].tokens.filter((t) => t.text === 'x')[0].scopes, ['variable.other']);
});

test('comments: # to the end of the line, /* */ across lines, and // is not one', async () => {
  assert.deepStrictEqual((await scopesOf('x # note'))[1], ['#', 'punctuation.definition.comment']);
  const lines = await tokenize('/* one\ntwo */ y');
  assert.ok(lines[1].tokens[0].scopes.includes('comment.block'));
  assert.deepStrictEqual(lines[1].tokens.filter((t) => t.text === 'y')[0].scopes, ['variable.other']);
  assert.deepStrictEqual(await scopesOf('a // b'), [['a', 'variable.other'], ['/', 'keyword.operator.arithmetic'],
    ['/', 'keyword.operator.arithmetic'], ['b', 'variable.other']]);
});

test('operators, "=>" and the characters the lexer drops', async () => {
  assert.deepStrictEqual(await scopesOf('_ => x'), [['_', 'variable.language.wildcard'], ['=>', 'keyword.operator.arrow'],
    ['x', 'variable.other']]);
  assert.deepStrictEqual((await scopesOf('a ** b += c == d')).map(([, s]) => s), ['variable.other', 'keyword.operator.arithmetic',
    'variable.other', 'keyword.operator.assignment.compound', 'variable.other', 'keyword.operator.comparison', 'variable.other']);
  assert.deepStrictEqual(await scopesOf("'hi'"), [["'", 'invalid.illegal.character'], ['hi', 'variable.other'],
    ["'", 'invalid.illegal.character']]);
});

test('keywords, definitions and members', async () => {
  assert.deepStrictEqual(await scopesOf('def area(w, h) {'), [['def', 'storage.type.function'], ['area', 'entity.name.function'],
    ['(', 'punctuation.definition.parameters.begin'], ['w', 'variable.parameter'], [',', 'punctuation.separator.comma'],
    ['h', 'variable.parameter'], [')', 'punctuation.definition.parameters.end'], ['{', 'punctuation.section.braces']]);
  assert.deepStrictEqual((await scopesOf('let global if else while for in break continue return match try catch and or not true false'))
    .map(([, s]) => s), ['storage.modifier', 'storage.modifier', 'keyword.control.conditional', 'keyword.control.conditional',
    'keyword.control.loop', 'keyword.control.loop', 'keyword.control.loop', 'keyword.control.loop', 'keyword.control.loop',
    'keyword.control.flow', 'keyword.control.conditional', 'keyword.control.exception', 'keyword.control.exception',
    'keyword.operator.logical', 'keyword.operator.logical', 'keyword.operator.logical', 'constant.language.boolean',
    'constant.language.boolean']);
  assert.deepStrictEqual(await scopesOf('p.x'), [['p', 'variable.other'], ['.', 'punctuation.accessor'], ['x', 'variable.other.member']]);
  assert.deepStrictEqual(await scopesOf('naïve_é'), [['naïve_é', 'variable.other']]);
});
