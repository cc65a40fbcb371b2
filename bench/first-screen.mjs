// How soon a gallery page is there to be looked at: loads each page in
// headless Chromium (a fresh profile each time, a 1400 x 900 window) and
// measures, from the start of the navigation, when every image of the
// first screen has been painted (Element Timing: the browser reports an
// image once it is drawn; an image's own decode at full size is not asked
// for), and when the page's load event came (every image fetched).
// Prints one line per page: "first-screen MS images N load MS".
//
//   node first-screen.mjs PAGE...   (paths on this machine)
import { createRequire } from 'node:module';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const { chromium } = createRequire(path.resolve(here, '../build/tools/node/index.js'))('playwright-core');
const sandboxed = path.resolve(here, '../scripts/chromium-sandboxed.sh');

const browser = await chromium.launch({ executablePath: sandboxed, args: ['--as-is'], headless: true });
try {
  for (const file of process.argv.slice(2)) {
    const context = await browser.newContext({ viewport: { width: 1400, height: 900 } });
    const page = await context.newPage();
    await page.addInitScript(() => {
      window.galvoraPainted = new Map();
      new PerformanceObserver((list) => {
        for (const e of list.getEntries()) window.galvoraPainted.set(e.identifier, performance.now());
      }).observe({ type: 'element', buffered: true });
      // Every image is named for Element Timing as the parser adds it.
      let next = 0;
      new MutationObserver((records) => {
        for (const r of records)
          for (const n of r.addedNodes) if (n.tagName === 'IMG') n.setAttribute('elementtiming', 'i' + next++);
      }).observe(document, { childList: true, subtree: true });
    });
    await page.goto('file://' + file, { waitUntil: 'commit' });
    const first = await page.waitForFunction(() => {
      if (document.readyState === 'loading') return false;
      const shown = [...document.images].filter((i) => {
        const r = i.getBoundingClientRect();
        return r.bottom > 0 && r.top < innerHeight && r.right > 0 && r.left < innerWidth && r.width > 0;
      });
      let last = 0;
      for (const i of shown) {
        const t = window.galvoraPainted.get(i.getAttribute('elementtiming'));
        if (t === undefined) return false;
        last = Math.max(last, t);
      }
      return shown.length ? { ms: last, images: shown.length } : false;
    }, null, { polling: 'raf', timeout: 600000 });
    const { ms, images } = await first.jsonValue();
    await page.waitForLoadState('load', { timeout: 600000 });
    const load = await page.evaluate(() => performance.getEntriesByType('navigation')[0].loadEventStart);
    console.log(`first-screen ${Math.round(ms)} images ${images} load ${Math.round(load)}`);
    await context.close();
  }
} finally {
  await browser.close();
}
