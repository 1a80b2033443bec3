'use strict';
// The Quenra extension: runs `quenra --check` (and, when the user asks for it, a
// `--warn` run) on open and save and shows each warning as a squiggle, and adds
// the "Run Quenra file" command.
const vscode = require('vscode');
const { execFile } = require('child_process');
const path = require('path');
const { parseWarnings } = require('./warnings');

let diagnostics;
// The latest check started per document: an older run that finishes later must
// not overwrite the newer result.
const generation = new Map();

function settings() {
  const config = vscode.workspace.getConfiguration('quenra');
  return {
    executable: config.get('executablePath') || 'quenra',
    warnOnSave: config.get('warnOnSave') === true,
    timeout: Math.max(1, Number(config.get('warnTimeoutSeconds')) || 5) * 1000,
  };
}

function runQuenra(executable, args, cwd, timeout) {
  return new Promise((resolve) => {
    const child = execFile(
      executable,
      args,
      { cwd, timeout, maxBuffer: 4 * 1024 * 1024, env: { ...process.env, SDL_VIDEODRIVER: 'dummy' } },
      (error, stdout, stderr) => {
        // A missing executable is the one failure worth telling the user about;
        // a non-zero exit from --check only means there are warnings.
        if (error && error.code === 'ENOENT') resolve({ missing: true, stderr: '' });
        else resolve({ missing: false, stderr: String(stderr) });
      },
    );
    if (child.stdin) child.stdin.end();
  });
}

function toDiagnostics(document, output) {
  const lineText = (n) => (n >= 0 && n < document.lineCount ? document.lineAt(n).text : undefined);
  return parseWarnings(output, lineText).map((warning) => {
    const { line, start, end } = warning.range;
    const clamped = Math.min(Math.max(line, 0), Math.max(document.lineCount - 1, 0));
    const range = new vscode.Range(clamped, start, clamped, end);
    const diagnostic = new vscode.Diagnostic(range, warning.message, vscode.DiagnosticSeverity.Warning);
    diagnostic.source = 'quenra';
    return diagnostic;
  });
}

let warnedMissing = false;

async function check(document) {
  if (document.languageId !== 'quenra' || document.uri.scheme !== 'file') return;
  const key = document.uri.toString();
  const mine = (generation.get(key) || 0) + 1;
  generation.set(key, mine);
  const { executable, warnOnSave, timeout } = settings();
  const file = document.uri.fsPath;
  const cwd = path.dirname(file);
  const runs = [runQuenra(executable, ['--check', path.basename(file)], cwd, timeout)];
  if (warnOnSave) runs.push(runQuenra(executable, ['--warn', path.basename(file)], cwd, timeout));
  const results = await Promise.all(runs);
  if (generation.get(key) !== mine) return;
  if (results.some((r) => r.missing)) {
    if (!warnedMissing) {
      warnedMissing = true;
      vscode.window.showWarningMessage(`Quenra: "${executable}" was not found; set quenra.executablePath.`);
    }
    return;
  }
  // --warn repeats the front-end warnings of --check: keep each place once.
  const seen = new Set();
  const all = [];
  for (const result of results) {
    for (const diagnostic of toDiagnostics(document, result.stderr)) {
      const id = `${diagnostic.range.start.line}:${diagnostic.range.start.character}:${diagnostic.message}`;
      if (!seen.has(id)) {
        seen.add(id);
        all.push(diagnostic);
      }
    }
  }
  diagnostics.set(document.uri, all);
}

async function runFile() {
  const editor = vscode.window.activeTextEditor;
  if (!editor || editor.document.languageId !== 'quenra') {
    vscode.window.showInformationMessage('Quenra: open a .qn file to run it.');
    return;
  }
  const document = editor.document;
  if (document.isUntitled) {
    vscode.window.showInformationMessage('Quenra: save the file first.');
    return;
  }
  if (document.isDirty) await document.save();
  const { executable } = settings();
  let terminal = vscode.window.terminals.find((t) => t.name === 'Quenra');
  if (!terminal) terminal = vscode.window.createTerminal('Quenra');
  terminal.show(true);
  const quote = (s) => `"${s.replace(/(["\\$`])/g, '\\$1')}"`;
  terminal.sendText(`${quote(executable)} ${quote(document.uri.fsPath)}`);
}

function activate(context) {
  diagnostics = vscode.languages.createDiagnosticCollection('quenra');
  context.subscriptions.push(
    diagnostics,
    vscode.commands.registerCommand('quenra.runFile', runFile),
    vscode.workspace.onDidOpenTextDocument(check),
    vscode.workspace.onDidSaveTextDocument(check),
    vscode.workspace.onDidCloseTextDocument((document) => {
      diagnostics.delete(document.uri);
      generation.delete(document.uri.toString());
    }),
  );
  vscode.workspace.textDocuments.forEach(check);
}

function deactivate() {}

module.exports = { activate, deactivate };
