'use strict';
// The extension's start of the language server, without the editor: the
// launch that server.js builds from the settings (what extension.js hands to
// the language client) is spawned as the client spawns an Executable and
// spoken to through the client's own protocol library, against the real
// tessel lsp (TESSEL). Then the launch's answers to settings that point
// nowhere, and what the extension shows for one.
const test = require('node:test');
const assert = require('node:assert');
const childProcess = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { createRequire } = require('module');
const { pathToFileURL } = require('url');
const { serverLaunch } = require('../server');

// The protocol library exactly as vscode-languageclient loads it.
const protocol = createRequire(require.resolve('vscode-languageclient/package.json'))(
  'vscode-languageserver-protocol/node',
);

const faultyDialog = `ENUM { MTitle, MOk }
ENUM { eName = 2, eOk }
name "Config"
DOUBLEBOX 0 3 1 40 8 F 0 0 F %L% MTitle
EDIT eName 5 3 30 3 T "Hist" DIF_HISTORY F %T% "x"
BUTTON eOK 0 6 0 6 F 0 (DIF_CENTERGROUP) T %L% MOk
CHEKBOX 1 5 2 0 2 F 0 () F "x"
`;
const faultyLanguage = '.Language=English,English\n"Settings\n"O\\qK"\n';

function scratchDirectory() {
  return fs.mkdtempSync(path.join(os.tmpdir(), 'tessel-vscode-'));
}

// The server started as the language client starts an Executable: the
// launch's command and arguments, its options with the working directory.
function startServer(launch, directory) {
  const options = Object.assign({}, launch.options);
  options.cwd = options.cwd || directory;
  const child = childProcess.spawn(launch.command, launch.args.slice(0), options);
  let stderr = '';
  child.stderr.on('data', (data) => (stderr += data));
  const exited = new Promise((resolve) => child.on('exit', (code) => resolve({ code, stderr })));
  const connection = protocol.createProtocolConnection(
    new protocol.StreamMessageReader(child.stdout),
    new protocol.StreamMessageWriter(child.stdin),
  );
  // Each document's diagnostics as they come, and who waits for which.
  const published = new Map();
  const waiting = [];
  connection.onNotification(protocol.PublishDiagnosticsNotification.type, (params) => {
    published.set(params.uri, params.diagnostics);
    for (const w of waiting.slice()) {
      if (w.uri === params.uri && w.until(params.diagnostics)) {
        waiting.splice(waiting.indexOf(w), 1);
        w.resolve(params.diagnostics);
      }
    }
  });
  connection.listen();
  const diagnostics = (uri, until = () => true) =>
    new Promise((resolve, reject) => {
      if (published.has(uri) && until(published.get(uri))) return resolve(published.get(uri));
      const timer = setTimeout(() => reject(new Error(`no diagnostics for ${uri}: ${stderr}`)), 10000);
      waiting.push({ uri, until, resolve: (d) => (clearTimeout(timer), resolve(d)) });
    });
  return { child, connection, diagnostics, exited };
}

const codesOf = (diagnostics) =>
  diagnostics.map((d) => `${d.range.start.line}:${d.range.start.character} ${d.severity} ${d.code} ${d.source}`);

test('the launch starts tessel lsp, which publishes the findings of a dialog file and its language file', async (t) => {
  assert.ok(process.env.TESSEL, 'TESSEL names the tessel program under test');
  const directory = scratchDirectory();
  t.after(() => fs.rmSync(directory, { recursive: true, force: true }));
  const dialogFile = path.join(directory, 'faulty.dlg');
  const languageFile = path.join(directory, 'FaultyEng.lng');
  fs.writeFileSync(dialogFile, faultyDialog);
  fs.writeFileSync(languageFile, faultyLanguage);
  const dialog = pathToFileURL(dialogFile).href;
  const language = pathToFileURL(languageFile).href;

  const launch = serverLaunch({ path: process.env.TESSEL, codepage: 437, languages: '' }, { base: directory });
  assert.ok(!launch.error, launch.error);
  const server = startServer(launch, directory);
  const { connection } = server;

  const answer = await connection.sendRequest(protocol.InitializeRequest.type, {
    processId: process.pid,
    rootUri: pathToFileURL(directory).href,
    workspaceFolders: [{ uri: pathToFileURL(directory).href, name: 'scratch' }],
    capabilities: { general: { positionEncodings: ['utf-16'] }, textDocument: { publishDiagnostics: {} } },
  });
  assert.ok(answer.capabilities.textDocumentSync, JSON.stringify(answer));
  await connection.sendNotification(protocol.InitializedNotification.type, {});

  const open = (uri, languageId, text) =>
    connection.sendNotification(protocol.DidOpenTextDocumentNotification.type, {
      textDocument: { uri, languageId, version: 1, text },
    });
  await open(dialog, 'dlg', faultyDialog);
  await open(language, 'lng', faultyLanguage);
  const expected = [
    [dialog, '5:7 2 unknown-identifier tessel'],
    [dialog, '6:0 1 unknown-type tessel'],
    [language, '1:0 2 lng-unclosed-quote tessel'],
    [language, '2:2 2 lng-unknown-escape tessel'],
  ];
  for (const [uri, code] of expected) {
    const has = (d) => codesOf(d).includes(code);
    assert.ok(has(await server.diagnostics(uri, has)), `${uri}: ${code}`);
  }

  // A change written in three pieces, with pauses, cut inside the header and
  // inside a character of two bytes: the server waits for the whole message.
  // It mends the unknown type, and the text in ß is read as the code page's.
  const fixed = faultyDialog.replace('CHEKBOX 1 5 2 0 2 F 0 () F "x"', 'CHECKBOX 1 5 2 0 2 F 0 () F "Groß"');
  const body = Buffer.from(
    JSON.stringify({
      jsonrpc: '2.0',
      method: 'textDocument/didChange',
      params: { textDocument: { uri: dialog, version: 2 }, contentChanges: [{ text: fixed }] },
    }),
  );
  const message = Buffer.concat([Buffer.from(`Content-Length: ${body.length}\r\n\r\n`), body]);
  const sharpS = message.indexOf(Buffer.from('ß'));
  assert.ok(sharpS > 8);
  const insideSharpS = sharpS + 1;
  for (const [from, to] of [[0, 8], [8, insideSharpS], [insideSharpS, message.length]]) {
    server.child.stdin.write(message.subarray(from, to));
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  const mended = await server.diagnostics(dialog, (d) => !codesOf(d).some((c) => c.includes('unknown-type')));
  assert.deepStrictEqual(codesOf(mended), ['5:7 2 unknown-identifier tessel']);

  await connection.sendRequest(protocol.ShutdownRequest.type);
  await connection.sendNotification(protocol.ExitNotification.type);
  const { code, stderr } = await server.exited;
  connection.dispose();
  assert.strictEqual(code, 0, stderr);
});

test('settings that point nowhere are one message naming the setting', (t) => {
  const directory = scratchDirectory();
  t.after(() => fs.rmSync(directory, { recursive: true, force: true }));
  const file = (name, mode) => {
    const full = path.join(directory, name);
    fs.mkdirSync(path.dirname(full), { recursive: true });
    fs.writeFileSync(full, '#!/bin/sh\n', { mode });
    return full;
  };
  const onPath = file('bin/tessel', 0o755);
  const onWindowsPath = file('winbin/tessel.exe', 0o644);
  const program = file('tools/tessel', 0o755);
  const notExecutable = file('plain', 0o644);
  const posix = { platform: 'linux', env: { PATH: path.join(directory, 'bin') }, base: directory };
  const windows = { platform: 'win32', env: { Path: path.join(directory, 'winbin') }, base: directory };
  const rows = [
    // settings, context, the command or the message
    [{ path: '' }, posix, onPath],
    [{ path: 'tessel' }, { ...posix, env: { PATH: '' } }, /^Tessel: no program "tessel" on PATH: set tessel\.path/],
    [{ path: '' }, windows, onWindowsPath],
    [{ path: 'tessel' }, windows, onWindowsPath],
    [{ path: 'tools/tessel' }, posix, program],
    [{ path: '~/nowhere/tessel' }, posix, /^Tessel: tessel\.path is "~\/nowhere\/tessel", which does not exist$/],
    [{ path: path.join(directory, 'tools') }, posix, /^Tessel: tessel\.path is ".*tools", a directory/],
    [{ path: notExecutable }, posix, /^Tessel: tessel\.path is ".*plain", which is not an executable file$/],
    [{ path: '', codepage: '4 37' }, posix, /^Tessel: tessel\.codepage is "4 37"/],
  ];
  for (const [settings, context, want] of rows) {
    const launch = serverLaunch(settings, context);
    const where = JSON.stringify(settings) + ' on ' + context.platform;
    if (want instanceof RegExp) assert.match(launch.error || '', want, where);
    else assert.deepStrictEqual([launch.error, launch.command], [undefined, want], where);
  }
  const withLanguages = serverLaunch({ path: '', codepage: 1251, languages: ' German,French ' }, posix);
  assert.deepStrictEqual(withLanguages.args, ['lsp', '--codepage', '1251', '--language', 'German,French']);
});

// A stand-in for the editor's module: any name is a function or class that
// does nothing, but for the few that extension.js calls on its way out.
function editorStandIn(name = 'vscode') {
  const target = function () {};
  return new Proxy(target, {
    get: (t, key) => {
      if (key === 'prototype') return t.prototype;
      if (!(key in t)) t[key] = editorStandIn(`${name}.${String(key)}`);
      return t[key];
    },
    construct: () => ({}),
    apply: () => undefined,
  });
}

test('the extension says which setting points nowhere, and its button opens the settings', async () => {
  const vscode = editorStandIn();
  const shown = [];
  const commands = [];
  vscode.workspace.getConfiguration = () => ({ get: (key) => ({ path: '/nowhere/tessel', codepage: 437 })[key] });
  vscode.workspace.workspaceFolders = undefined;
  vscode.window.createOutputChannel = () => ({ dispose() {} });
  vscode.window.showErrorMessage = async (message, ...buttons) => (shown.push(message), buttons[0]);
  vscode.commands.executeCommand = async (...command) => commands.push(command);
  const Module = require('module');
  const load = Module._load;
  Module._load = function (request, ...rest) {
    return request === 'vscode' ? vscode : load.call(this, request, ...rest);
  };
  try {
    await require('../extension').activate({ subscriptions: [] });
  } finally {
    Module._load = load;
  }
  await new Promise((resolve) => setImmediate(resolve));
  assert.deepStrictEqual(shown, ['Tessel: tessel.path is "/nowhere/tessel", which does not exist']);
  assert.deepStrictEqual(commands, [['workbench.action.openSettings', 'tessel.']]);
});
