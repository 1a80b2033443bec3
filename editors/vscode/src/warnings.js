'use strict';
// Turns the warnings that `quenra --warn` and `quenra --check` write to standard
// error into editor ranges. A warning is a header line
//     FILE:LINE:COL: warning: MESSAGE
// followed by the source line and a caret line, and the report ends with a line
// "N warnings". LINE and COL count from 1, and COL counts characters (code
// points), while editors count columns in UTF-16 units: a character outside the
// Basic Multilingual Plane (an emoji, say) is one column for quenra and two for
// the editor, so the conversion needs the text of the line.

const HEADER = /^(.*?):(\d+):(\d+): warning: (.*)$/;
const UNPLACED = /^warning: (.*)$/;
const WORD_CHAR = /[A-Za-z0-9_\p{L}\p{M}\p{N}]/u;

// The UTF-16 offset of the character at code point index `index` of `text`
// (the end of the text when the line is shorter).
function utf16Offset(text, index) {
  let offset = 0;
  let count = 0;
  for (const ch of text) {
    if (count === index) return offset;
    offset += ch.length;
    count += 1;
  }
  return offset;
}

// The range covered by a warning at code point column `column` (from 1) of a
// line: the whole name or number when it starts there, otherwise the one
// character; at or past the end of the line, the line's last character.
function rangeOnLine(text, column) {
  const chars = Array.from(text);
  let index = Math.max(0, column - 1);
  if (index >= chars.length) index = Math.max(0, chars.length - 1);
  let end = index + (chars.length > 0 ? 1 : 0);
  if (index < chars.length && WORD_CHAR.test(chars[index])) {
    while (end < chars.length && WORD_CHAR.test(chars[end])) end += 1;
  }
  return { start: utf16Offset(text, index), end: utf16Offset(text, end) };
}

// Parses the report. `lineText(n)` gives the current text of line n (from 0) of
// the document when the caller has it; otherwise the source line quenra printed
// under the header is used, unless quenra cut it short (it then starts or ends
// with "..."), in which case columns are taken as they are.
function parseWarnings(output, lineText) {
  const lines = output.split(/\r?\n/);
  const warnings = [];
  for (let i = 0; i < lines.length; i += 1) {
    const header = HEADER.exec(lines[i]);
    if (!header) {
      const unplaced = UNPLACED.exec(lines[i]);
      if (unplaced) {
        warnings.push({ file: '', line: 0, column: 0, message: unplaced[1], range: { line: 0, start: 0, end: 0 } });
      }
      continue;
    }
    const line = Number(header[2]);
    const column = Number(header[3]);
    let text = lineText ? lineText(line - 1) : undefined;
    if (text === undefined) {
      const echoed = lines[i + 1];
      const cut = echoed === undefined || echoed.startsWith('...') || echoed.endsWith('...');
      text = cut ? null : echoed;
    }
    let range;
    if (text === null) {
      range = { line: line - 1, start: column - 1, end: column };
    } else {
      const { start, end } = rangeOnLine(text, column);
      range = { line: line - 1, start, end };
    }
    warnings.push({ file: header[1], line, column, message: header[4], range });
  }
  return warnings;
}

module.exports = { parseWarnings, rangeOnLine, utf16Offset };
