'use strict';
// Tokenizes Quenra source with the extension's grammar, through the same
// TextMate engine and regular expression library that VS Code uses.
const fs = require('fs');
const path = require('path');
const vsctm = require('vscode-textmate');
const oniguruma = require('vscode-oniguruma');

const ROOT = path.join(__dirname, '..', '..');
const GRAMMAR = path.join(ROOT, 'syntaxes', 'quenra.tmLanguage.json');

let registryPromise;

function registry() {
  if (!registryPromise) {
    const wasm = fs.readFileSync(require.resolve('vscode-oniguruma/release/onig.wasm')).buffer;
    const onigLib = oniguruma.loadWASM(wasm).then(() => ({
      createOnigScanner: (patterns) => new oniguruma.OnigScanner(patterns),
      createOnigString: (s) => new oniguruma.OnigString(s),
    }));
    registryPromise = Promise.resolve(
      new vsctm.Registry({
        onigLib,
        loadGrammar: async (scopeName) =>
          scopeName === 'source.quenra' ? vsctm.parseRawGrammar(fs.readFileSync(GRAMMAR, 'utf8'), GRAMMAR) : null,
      }),
    );
  }
  return registryPromise;
}

// Lines of tokens: for each source line, a list of { text, scopes } where scopes
// leaves out the root scope and the ".quenra" suffix every scope carries.
async function tokenize(source) {
  const grammar = await (await registry()).loadGrammar('source.quenra');
  let state = vsctm.INITIAL;
  const result = [];
  for (const line of source.split(/\r?\n/)) {
    const { tokens, ruleStack } = grammar.tokenizeLine(line, state);
    state = ruleStack;
    result.push({
      line,
      tokens: tokens.map((t) => ({
        text: line.slice(t.startIndex, t.endIndex),
        scopes: t.scopes.slice(1).map((s) => s.replace(/\.quenra$/, '')),
      })),
    });
  }
  return result;
}

// The snapshot text: each source line, then its coloured tokens on the next line
// as `"text" scope > inner scope`, separated by two spaces. Tokens with no scope
// but the root (spaces, mostly) are left out.
function snapshot(lines) {
  const out = [];
  lines.forEach(({ line, tokens }, i) => {
    out.push(`${String(i + 1).padStart(3)}| ${line}`);
    const coloured = tokens.filter((t) => t.scopes.length > 0);
    if (coloured.length > 0) {
      out.push(`   = ${coloured.map((t) => `${JSON.stringify(t.text)} ${t.scopes.join(' > ')}`).join('  ')}`);
    }
  });
  return out.join('\n') + '\n';
}

module.exports = { tokenize, snapshot, ROOT };
