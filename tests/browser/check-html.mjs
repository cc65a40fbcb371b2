// Runs the Nu HTML Checker on pages made from the modern template sets and
// fails on any error but those that no ANSI page with Windows paths can
// avoid: the checker accepts no character set but utf-8, and a Windows path
// (backslashes) in a file:// address is not a valid URL. The placeholders
// offer no other form of a path (%URL% and %THUMBURL% escape # and % in
// it), so a template must write it so: the selected pictures' paths, and
// their copies' in the thumbnail cache.
//
//   node check-html.mjs PATHS_FILE PAGE...   (PATHS_FILE: the selected Windows paths, one a line)
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const vnu = path.resolve(here, '../../build/tools/node/node_modules/vnu-jar/build/dist/vnu.jar');
const [pathsFile, ...pages] = process.argv.slice(2);
const selected = new Set(fs.readFileSync(pathsFile, 'utf8').split(/\r?\n/).filter(Boolean));

const charsetOnly = 'The only allowed value for the \u201ccharset\u201d attribute for the \u201cmeta\u201d element is \u201cutf-8\u201d.';
const declaration = /^Internal encoding declaration \u201cwindows-125[12]\u201d disagrees with the actual encoding of the document \(\u201cutf-8\u201d\)\.$/;
const cachedCopy = /\\Galvora\\Thumbnails\\[0-9a-f]{16}\.(jpg|png|svg)$/;
const windowsPath = /^Bad value \u201cfile:\/\/localhost\/(.+)\u201d for attribute \u201c(src|href)\u201d on element \u201c(img|a)\u201d: Backslash \("\\"\) used as path segment delimiter\.$/;

let output;
try {
  output = execFileSync('java', ['-jar', vnu, '--errors-only', '--format', 'json', ...pages], { encoding: 'utf8', stdio: ['ignore', 'pipe', 'pipe'] });
} catch (e) {
  output = e.stderr || e.stdout; // the checker exits 1 when it reports errors
}
const messages = JSON.parse(output).messages;
let failures = 0;
const tolerated = { charset: 0, paths: 0 };
for (const m of messages) {
  if (m.type !== 'error' && m.subType !== 'fatal') continue;
  const p = windowsPath.exec(m.message);
  if (m.message === charsetOnly || declaration.test(m.message)) tolerated.charset++;
  else if (p && (selected.has(p[1].replace(/%23/g, '#').replace(/%25/g, '%')) || cachedCopy.test(p[1]))) tolerated.paths++;
  else {
    failures++;
    console.log(`FAIL ${path.basename(decodeURI(m.url || ''))}:${m.lastLine}: ${m.message}`);
  }
}
console.log(`html check: ${pages.length} pages, ${failures} errors; set aside: ${tolerated.charset} character-set ` +
            `messages, ${tolerated.paths} Windows paths in file:// addresses`);
if (tolerated.charset !== 2 * pages.length) {
  console.log('FAIL: each page should draw exactly the two character-set messages');
  failures++;
}
process.exit(failures ? 1 : 0);
