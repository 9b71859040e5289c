'use strict';
// How the extension starts the language server: the command line of
// `tessel lsp` from the settings, and the program itself found before the
// language client is asked to run it, so that a setting that points nowhere
// is one message naming that setting instead of a failed start. Nothing here
// needs the editor: the tests start the server through the same functions.
const fs = require('fs');
const os = require('os');
const path = require('path');

// The program's name where tessel.path is empty.
function defaultProgram(platform) {
  return platform === 'win32' ? 'tessel.exe' : 'tessel';
}

// A file that can be run: on Windows any file (the extension decides), on
// other systems one with an execute bit for us.
function isProgram(file, platform) {
  try {
    if (!fs.statSync(file).isFile()) return false;
    if (platform !== 'win32') fs.accessSync(file, fs.constants.X_OK);
    return true;
  } catch {
    return false;
  }
}

// The names to try for a program: on Windows a name without an extension is
// also tried with .com and .exe, as the process spawner there does.
function candidates(file, platform) {
  if (platform !== 'win32' || path.win32.extname(file)) return [file];
  return [file, file + '.com', file + '.exe'];
}

function hasDirectory(program, platform) {
  return program.includes('/') || (platform === 'win32' && program.includes('\\'));
}

// The full path of the program tessel.path names, or an error (one line that
// names the setting). A name with a directory part is taken as a path (a
// leading ~ is the home directory, a relative one starts at base); a bare
// name is looked up on PATH. Paths are joined as this machine joins them;
// platform only chooses the program's name and how PATH is read.
function findProgram(program, { env, platform, base }) {
  if (hasDirectory(program, platform)) {
    let file = program.replace(/^~(?=[/\\])/, os.homedir());
    file = path.resolve(base || process.cwd(), file);
    const found = candidates(file, platform).find((f) => isProgram(f, platform));
    if (found) return { file: found };
    if (!fs.existsSync(file)) return { error: `tessel.path is "${program}", which does not exist` };
    if (fs.statSync(file).isDirectory())
      return { error: `tessel.path is "${program}", a directory, not the tessel program` };
    return { error: `tessel.path is "${program}", which is not an executable file` };
  }
  const searchPath = (platform === 'win32' ? env.Path || env.PATH : env.PATH) || '';
  for (const dir of searchPath.split(platform === 'win32' ? ';' : ':')) {
    if (!dir) continue;
    const found = candidates(path.join(dir, program), platform).find((f) => isProgram(f, platform));
    if (found) return { file: found };
  }
  return { error: `no program "${program}" on PATH: set tessel.path to the full path of ${defaultProgram(platform)}` };
}

// A code page as the server takes it: a number (437) or an iconv name.
const codePagePattern = /^[A-Za-z0-9][A-Za-z0-9_.:-]*$/;

// The launch of the server for the settings {path, codepage, languages}:
// {command, args, options} as the language client's Executable takes it, or
// {error} with a message that names the setting to fix. context: {env,
// platform, base} (the process's own by default; base is the first
// workspace folder, where a relative tessel.path starts and the server runs).
function serverLaunch(settings, context = {}) {
  const env = context.env || process.env;
  const platform = context.platform || process.platform;
  const base = context.base;
  const program = (settings.path || '').trim() || defaultProgram(platform);
  const codepage = String(settings.codepage ?? 437).trim();
  if (!codePagePattern.test(codepage))
    return { error: `Tessel: tessel.codepage is "${codepage}": give the host's code page, such as 437` };
  const found = findProgram(program, { env, platform, base });
  if (found.error) return { error: `Tessel: ${found.error}` };
  const args = ['lsp', '--codepage', codepage];
  const languages = (settings.languages || '').trim();
  if (languages) args.push('--language', languages);
  return { command: found.file, args, options: base ? { cwd: base } : {} };
}

// The message for a launch whose process did not start or stopped before it
// answered; error is what the language client rejected with.
function startFailure(launch, error) {
  const reason = error && error.message ? error.message : String(error);
  return `Tessel: "${launch.command} ${launch.args.join(' ')}" did not start (${reason}); ` +
    'check tessel.path, tessel.codepage and tessel.languages (the output "Tessel" shows what the server said)';
}

module.exports = { serverLaunch, startFailure, defaultProgram };
