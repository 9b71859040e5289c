'use strict';
// The extension: dialog files (.dlg) and their language files (.lng) get
// tessel lsp as their language server, started from the settings tessel.path,
// tessel.codepage and tessel.languages and started again when one changes.
// server.js builds the command line and finds the program; a launch that
// cannot start is one error message that names the setting to fix.
const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');
const { serverLaunch, startFailure } = require('./server');

const documentSelector = [
  { scheme: 'file', language: 'dlg' },
  { scheme: 'file', language: 'lng' },
];

let client = null;
let output = null;

function settings() {
  const config = vscode.workspace.getConfiguration('tessel');
  return { path: config.get('path'), codepage: config.get('codepage'), languages: config.get('languages') };
}

// The first workspace folder: where a relative tessel.path starts.
function workspaceBase() {
  const folders = vscode.workspace.workspaceFolders;
  return folders && folders.length ? folders[0].uri.fsPath : undefined;
}

async function report(message) {
  const choice = await vscode.window.showErrorMessage(message, 'Open Settings');
  if (choice) await vscode.commands.executeCommand('workbench.action.openSettings', 'tessel.');
}

async function start() {
  const launch = serverLaunch(settings(), { base: workspaceBase() });
  if (launch.error) {
    report(launch.error);
    return;
  }
  // No transport named: the client would add --stdio, which tessel lsp does
  // not take; an Executable without one speaks over its standard streams.
  const executable = { command: launch.command, args: launch.args, options: launch.options };
  const started = new LanguageClient('tessel', 'Tessel', { run: executable, debug: executable }, {
    documentSelector,
    outputChannel: output,
  });
  client = started;
  try {
    await started.start();
  } catch (error) {
    if (client === started) client = null;
    report(startFailure(launch, error));
    await started.dispose().catch(() => {});
  }
}

async function stop() {
  const running = client;
  client = null;
  if (running) await running.stop().catch(() => {});
}

async function restart() {
  await stop();
  await start();
}

function activate(context) {
  output = vscode.window.createOutputChannel('Tessel');
  context.subscriptions.push(
    output,
    vscode.commands.registerCommand('tessel.restart', restart),
    vscode.workspace.onDidChangeConfiguration((event) => {
      if (event.affectsConfiguration('tessel')) restart();
    }),
  );
  return start();
}

function deactivate() {
  return stop();
}

module.exports = { activate, deactivate };
