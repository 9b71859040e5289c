'use strict';
// The two grammars as the editor runs them (vscode-textmate on the oniguruma
// regex engine). Each row names a line, a piece of it (whole tokens) and a
// scope that every token of the piece has, or, after '!', must not have. The
// keyword lists are held against the library's own tables in dialog/item.cpp.
const test = require('node:test');
const assert = require('node:assert');
const fs = require('fs');
const path = require('path');
const vsctm = require('vscode-textmate');
const oniguruma = require('vscode-oniguruma');

const extension = path.join(__dirname, '..');
const root = path.join(extension, '..', '..');
const grammarFiles = { 'source.dlg': 'syntaxes/dlg.tmLanguage.json', 'source.lng': 'syntaxes/lng.tmLanguage.json' };

const wasm = fs.readFileSync(require.resolve('vscode-oniguruma/release/onig.wasm')).buffer;
const registry = new vsctm.Registry({
  onigLib: oniguruma.loadWASM(wasm).then(() => ({
    createOnigScanner: (patterns) => new oniguruma.OnigScanner(patterns),
    createOnigString: (text) => new oniguruma.OnigString(text),
  })),
  loadGrammar: async (scope) => {
    const file = path.join(extension, grammarFiles[scope]);
    return vsctm.parseRawGrammar(fs.readFileSync(file, 'utf8'), file);
  },
});

// The lines of text, each with its tokens ({text, scopes}).
async function tokenize(scope, text) {
  const grammar = await registry.loadGrammar(scope);
  let stack = vsctm.INITIAL;
  return text.split(/\r?\n/).map((line) => {
    const result = grammar.tokenizeLine(line, stack);
    stack = result.ruleStack;
    // The last token may end one past the line, on the line end the tokenizer adds.
    const tokens = result.tokens.map((t) => ({
      start: t.startIndex,
      end: Math.min(t.endIndex, line.length),
      scopes: t.scopes,
    }));
    return { line, tokens };
  });
}

// Checks one row [line (from 1), piece ('*': the whole line), scope, which
// occurrence (from 1)]. A piece that must have the scope counts only where it
// is whole tokens, so that a keyword inside a longer word does not count; one
// that must not have it counts wherever it stands.
function checkRow(lines, [number, piece, scope, nth = 1]) {
  const { line, tokens } = lines[number - 1];
  const text = piece === '*' ? line : piece;
  const absent = scope.startsWith('!');
  const wanted = scope.replace(/^!/, '');
  const starts = new Set(tokens.map((t) => t.start));
  const ends = new Set(tokens.map((t) => t.end));
  let at = -1;
  for (let n = 0; n < nth; ) {
    at = line.indexOf(text, at + 1);
    if (at < 0 || absent || (starts.has(at) && ends.has(at + text.length))) n++;
    if (at < 0) break;
  }
  const where = `line ${number} ${JSON.stringify(line)}: ${JSON.stringify(text)}`;
  assert.ok(at >= 0, `${where} is not there as whole tokens`);
  for (const t of tokens.filter((t) => t.end > at && t.start < at + text.length)) {
    const has = t.scopes.includes(wanted);
    assert.strictEqual(has, !absent, `${where}: ${line.slice(t.start, t.end)} has ${t.scopes.join(' ')}`);
  }
}

async function checkFile(scope, text, rows) {
  const lines = await tokenize(scope, text);
  for (const row of rows) checkRow(lines, row);
}

const TYPE = 'entity.name.type.dlg';
const NAME = 'variable.other.enummember.dlg';
const NUMBER = 'constant.numeric.dlg';
const BOOLEAN = 'constant.language.boolean.dlg';
const FLAG = 'constant.language.flag.dlg';
const COLOUR = 'constant.language.colour.dlg';
const SOURCE = 'support.variable.text-source.dlg';
const STRING = 'string.quoted.double.dlg';
const WORD = 'string.unquoted.dlg';
const COMMENT = 'comment.line.semicolon.dlg';
const KEYWORD = 'keyword.control.dlg';

const readExample = (name) => fs.readFileSync(path.join(root, 'examples', name), 'latin1');

test('demo.dlg: the fields of item lines, by position, and every text source', () =>
  checkFile('source.dlg', readExample('demo.dlg'), [
    [1, '*', COMMENT],
    [14, 'ENUM', KEYWORD],
    [18, 'eName', NAME],
    [18, '10', NUMBER],
    [18, '; then 11, 12, ... in order', COMMENT],
    [32, 'name', KEYWORD],
    [32, 'Demo', 'entity.name.section.dlg'],
    [33, 'help', KEYWORD],
    [33, 'DemoTopic', 'string.unquoted.help-topic.dlg'],
    [34, 'DOUBLEBOX', TYPE],
    [34, '%L%', SOURCE],
    [34, 'MTitle', NAME],
    // The edit field: identifier, coordinates, focus, history name, a bare
    // flag, the registry source with its root, key and fallback word.
    [38, 'eName', NAME],
    [38, '44', NUMBER],
    [38, 'T', BOOLEAN],
    [38, '"DemoNames"', STRING],
    [38, 'DIF_HISTORY', FLAG],
    [38, '%R%', SOURCE],
    [38, '%HKCU%', 'support.constant.registry-root.dlg'],
    [38, '"Demo\\UserName"', STRING],
    [38, 'nobody', WORD],
    [40, '%T%', SOURCE],
    [40, 'secret', WORD],
    [45, 'YELLOW', COLOUR],
    [45, '+', 'keyword.operator.flag-separator.dlg'],
    [45, 'BK_BLUE', COLOUR],
    [47, '&D', 'constant.other.hotkey.dlg'],
    [49, 'T', BOOLEAN],
    [55, 'DOWN', WORD],
    [58, '%V%', SOURCE],
  ]));

test('tools.dlg: an ENUM block over several lines, quoted dialog names', () =>
  checkFile('source.dlg', readExample('tools.dlg'), [
    [5, '*', COMMENT],
    [6, 'idOk', NAME],
    [6, '1', NUMBER],
    [9, 'idAll', NAME],
    [9, '20', NUMBER],
    [12, 'Copy', 'entity.name.section.dlg'],
    [16, '"C:\\work\\*.dlg"', STRING],
    [28, 'Confirm delete', 'entity.name.section.dlg'],
  ]));

test('dialog lines the library reads otherwise, or not at all', () =>
  checkFile('source.dlg', [
    'TEXT 0 5 2 0 2 F 0 () F "a ; b"',
    'text 0 5 2 0 2 f 0 (dif_group+yellow) f x',
    'CHEKBOX 1 5 2 0 2 F 0 () F "x"',
    '  TEXT 0 5 2 0 2 F 0 () F x',
    'EDIT eName x5 3 30 3 T "H" DIF_HISTORY F %T% "x"',
    'EDIT eName 5 3 30',
    'BUTTON 1 0 4 0 4 T 0 (DIF_CENTERGROUP) T "OK" ; the default',
    'ENUM { a = -5 ; a note',
    'b }',
    'BUTTON 1 0 4 0 4 T 0 (8) T %L% MOk',
  ].join('\n'), [
    [1, 'a ; b', STRING],
    [1, 'a ; b', `!${COMMENT}`],
    [2, 'text', TYPE],
    [2, 'f', BOOLEAN],
    [2, 'dif_group', FLAG],
    [2, 'yellow', COLOUR],
    [3, 'CHEKBOX', `!${TYPE}`],
    [4, 'TEXT', `!${TYPE}`],
    [5, 'eName', NAME],
    [5, 'DIF_HISTORY', FLAG],
    [5, '%T%', SOURCE],
    [6, '30', NUMBER],
    [7, '; the default', COMMENT],
    [8, '-5', NUMBER],
    [8, '; a note', COMMENT],
    [9, 'b', NAME],
    [9, '}', 'punctuation.section.braces.end.dlg'],
    [10, '8', NUMBER],
    [10, 'MOk', NAME],
  ]));

// The names of a constant table of dialog/item.cpp, in table order.
function libraryTable(source, name) {
  const body = source.match(new RegExp(`${name}\\[[A-Z_]+\\]\\s*=\\s*\\{([^}]*)\\}`));
  assert.ok(body, `no table ${name} in dialog/item.cpp`);
  return [...body[1].matchAll(/"([^"]*)"/g)].map((m) => m[1]);
}

test("every keyword of the library's tables has its scope", async () => {
  const source = fs.readFileSync(path.join(root, 'dialog', 'item.cpp'), 'utf8');
  const types = libraryTable(source, 'itemTypeNames');
  const flags = libraryTable(source, 'itemFlagNames');
  const colours = libraryTable(source, 'colorNames');
  const backgrounds = libraryTable(source, 'bkColorNames');
  assert.deepStrictEqual([types.length, flags.length, colours.length, backgrounds.length], [10, 12, 16, 16]);
  const rows = [];
  const lines = colours.map((colour, i) => {
    const [type, flag, background] = [types[i % types.length], flags[i % flags.length], backgrounds[i]];
    rows.push([i + 1, type, TYPE], [i + 1, flag, FLAG], [i + 1, colour, COLOUR], [i + 1, background, COLOUR]);
    return `${type} 0 1 1 0 1 F 0 (${flag}+${colour}+${background}) F x`;
  });
  await checkFile('source.dlg', lines.join('\n'), rows);
});

test('ExamplesEng.lng: header, comments, messages and escapes', () =>
  checkFile('source.lng', readExample('ExamplesEng.lng'), [
    [1, '.Language', 'keyword.control.language.lng'],
    [1, 'English', 'entity.name.section.language.lng'],
    [3, '*', 'comment.line.lng'],
    [5, '"A \\"tessel\\" tour"', 'string.quoted.double.lng'],
    [5, '\\"', 'constant.character.escape.lng'],
    [6, '&N', 'constant.other.hotkey.lng'],
  ]));

test('language file lines the host reads otherwise', () =>
  checkFile('source.lng', [
    '"before the header"',
    '.language=German,Deutsch',
    '.Language=English,English',
    '"O\\qK\\"',
    '"A "quoted" word"  ',
    '"no closing quote \\\\ \\t',
    'not a message "x"',
  ].join('\n'), [
    [1, '"before the header"', 'string.quoted.double.lng'],
    [2, '.language', 'keyword.control.language.lng'],
    [3, '*', 'comment.line.lng'],
    [4, '\\', 'invalid.illegal.unknown-escape.lng'],
    [4, '\\', 'invalid.illegal.unknown-escape.lng', 2],
    [4, '"', 'punctuation.definition.string.end.lng', 2],
    [5, 'A "quoted" word', 'string.quoted.double.lng'],
    [6, '\\\\', 'constant.character.escape.lng'],
    [6, '\\t', 'constant.character.escape.lng'],
    [7, '*', 'comment.line.lng'],
  ]));
