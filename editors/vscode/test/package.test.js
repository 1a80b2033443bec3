'use strict';
// The .vsix builds with vsce and holds what the extension needs at run time,
// and nothing of the tests or the build tools.
const test = require('node:test');
const assert = require('node:assert');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { execFileSync } = require('child_process');

const ROOT = path.join(__dirname, '..');

test('the .vsix builds and holds the extension', { timeout: 300000 }, () => {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'quenra-vsix-'));
  try {
    const out = path.join(folder, 'quenra.vsix');
    const vsce = path.join(ROOT, 'node_modules', '@vscode', 'vsce', 'vsce');
    execFileSync(process.execPath, [vsce, 'package', '--no-dependencies', '--allow-missing-repository', '--skip-license',
      '-o', out], { cwd: ROOT, stdio: 'pipe' });
    const list = execFileSync('python3', ['-c', 'import sys, zipfile; print("\\n".join(zipfile.ZipFile(sys.argv[1]).namelist()))', out])
      .toString().trim().split('\n');
    for (const needed of ['extension/package.json', 'extension/src/extension.js', 'extension/src/warnings.js',
      'extension/syntaxes/quenra.tmLanguage.json', 'extension/language-configuration.json', 'extension/snippets/quenra.json',
      'extension/README.md', 'extension.vsixmanifest']) {
      assert.ok(list.includes(needed), `${needed} missing from ${list.join(', ')}`);
    }
    assert.deepStrictEqual(list.filter((f) => f.includes('node_modules') || f.includes('/test/')), []);
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
});

test('the manifest points at files that exist', () => {
  const manifest = JSON.parse(fs.readFileSync(path.join(ROOT, 'package.json'), 'utf8'));
  const files = [manifest.main, ...manifest.contributes.languages.map((l) => l.configuration),
    ...manifest.contributes.grammars.map((g) => g.path), ...manifest.contributes.snippets.map((s) => s.path)];
  for (const file of files) assert.ok(fs.existsSync(path.join(ROOT, file)), file);
  const commands = manifest.contributes.commands.map((c) => c.command);
  const source = fs.readFileSync(path.join(ROOT, manifest.main), 'utf8');
  for (const command of commands) assert.ok(source.includes(`'${command}'`), `${command} is not registered`);
  const snippets = JSON.parse(fs.readFileSync(path.join(ROOT, 'snippets', 'quenra.json'), 'utf8'));
  const prefixes = Object.values(snippets).map((s) => s.prefix);
  for (const wanted of ['def', 'if', 'ifelse', 'while', 'for', 'match', 'try']) assert.ok(prefixes.includes(wanted), wanted);
});
