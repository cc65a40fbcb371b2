// Loads gallery pages made by the real DLL in headless Chromium and checks
// what a user would see: every image the browser can show loads at the size
// the page states and keeps its proportions as shown (phone photos turned by
// their orientation); where the page shows a copy (a thumbnail, a preview or
// a placeholder) the copy loads, keeps the picture's proportions, is no
// larger than it should be, and the link still opens the picture; a page
// with copies has one for every picture the browser cannot show; every
// entry is laid out at the size the page gives it, rows break where the
// page breaks them, and the built-in page's home link opens the user guide.
// Saves a screenshot of each page.
//
//   node check-gallery.mjs OUT_DIR VIEW=PAGE [VIEW=PAGE...]
//   VIEW: thumbnails | full | template-thumbnails | template-full
import { createRequire } from 'node:module';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
// scripts/setup.sh installs the driver into the build folder.
const { chromium } = createRequire(path.resolve(here, '../../build/tools/node/index.js'))('playwright-core');
const sandboxed = path.resolve(here, '../../scripts/chromium-sandboxed.sh');
const [outDir, ...jobs] = process.argv.slice(2);
const box = { width: 120, height: 100 };
// The formats Chromium shows; HEIC, TIFF and PCX keep an empty box of the
// page's size.
const shown = /\.(png|gif|bmp|jpe?g|webp|avif|jxl|ico|svg)$/i;
let failures = 0;

function fail(view, message) {
  failures++;
  console.log(`FAIL ${view}: ${message}`);
}

// The thumbnail size as the plugin fits it.
function fit(w, h) {
  if (!w || !h) return { ...box };
  return h / box.height > w / box.width
    ? { width: Math.trunc((w * box.height) / h), height: box.height }
    : { width: box.width, height: Math.trunc((h * box.width) / w) };
}

const browser = await chromium.launch({ executablePath: sandboxed, args: ['--as-is'], headless: true });
try {
  for (const job of jobs) {
    const [view, file] = job.split('=');
    const page = await browser.newPage({ viewport: { width: 1800, height: 900 } });
    await page.goto('file://' + file, { waitUntil: 'load' });
    // Lazily loaded images load when they come near the view, as a user scrolls.
    await page.evaluate(async () => {
      for (const img of document.images) {
        img.scrollIntoView();
        if (!img.complete)
          await new Promise((done) => {
            img.addEventListener('load', done, { once: true });
            img.addEventListener('error', done, { once: true });
            setTimeout(done, 5000);
          });
      }
      window.scrollTo(0, 0);
    });
    const entries = await page.evaluate(() => {
      // Each image with the number of row breaks before it.
      const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_ELEMENT);
      const out = [];
      let breaks = 0;
      for (let n = walker.currentNode; n; n = walker.nextNode()) {
        if (n.tagName === 'BR') breaks++;
        if (n.tagName !== 'IMG') continue;
        const r = n.getBoundingClientRect();
        const a = n.closest('a');
        out.push({
          src: n.getAttribute('src'), decodedSrc: decodeURI(n.src), alt: n.getAttribute('alt') || '',
          caption: n.closest('figure')?.textContent || '', href: a ? a.href : '',
          complete: n.complete, naturalWidth: n.naturalWidth, naturalHeight: n.naturalHeight,
          width: r.width, height: r.height, top: r.top, bottom: r.bottom, left: r.left, row: breaks,
        });
      }
      return out;
    });
    if (entries.length === 0) fail(view, 'no images on the page');
    const template = view.startsWith('template');
    const thumbnailView = view.endsWith('thumbnails');
    // A stand-in: the image is not the file it links to.
    const standsIn = (e) => e.href !== '' && decodeURI(e.href) !== e.decodedSrc;
    const withCopies = entries.some(standsIn);
    let copies = 0;
    // The breaks the built-in page writes start at the home link's; count from the first image.
    const firstRow = entries.length ? entries[0].row : 0;
    for (const e of entries) {
      const copy = standsIn(e);
      const name = (copy ? decodeURI(e.href) : e.decodedSrc).replace(/^.*[\\/]/, '');
      const size = (e.alt + ' ' + e.caption).match(/(\d+)x(\d+)/);
      const w = size ? Number(size[1]) : 0, h = size ? Number(size[2]) : 0;
      if (copy) {
        copies++;
        const most = thumbnailView ? { width: 2 * box.width, height: 2 * box.height } : { width: 2048, height: 2048 };
        if (!e.complete || e.naturalWidth === 0) fail(view, `${name}: its copy did not load (${e.src})`);
        else if (e.naturalWidth > most.width || e.naturalHeight > most.height)
          fail(view, `${name}: its copy is ${e.naturalWidth}x${e.naturalHeight}, larger than ${most.width}x${most.height}`);
        else if (w && h && Math.abs(e.naturalWidth / e.naturalHeight / (w / h) - 1) > 0.03)
          fail(view, `${name}: its copy is ${e.naturalWidth}x${e.naturalHeight}, the picture ${w}x${h}`);
      } else if (withCopies && !shown.test(name)) {
        fail(view, `${name}, which browsers cannot show, has no copy`);
      }
      if (!copy && shown.test(name)) {
        if (!e.complete || e.naturalWidth === 0) fail(view, `${name} did not load (${e.src})`);
        else if (e.naturalWidth !== w || e.naturalHeight !== h)
          fail(view, `${name}: the probe says ${w}x${h}, the browser shows ${e.naturalWidth}x${e.naturalHeight}`);
        if (!e.href || decodeURI(e.href) !== e.decodedSrc) fail(view, `${name}: links to ${e.href}`);
        // The picture as the browser shows it (turned by its Exif
        // orientation) keeps its proportions in the box the page gives it.
        if (e.naturalWidth && e.naturalHeight && e.width && e.height) {
          const shown = e.naturalWidth / e.naturalHeight, drawn = e.width / e.height;
          if (Math.abs(drawn / shown - 1) > 0.02)
            fail(view, `${name} drawn ${e.width}x${e.height}, distorting its ${e.naturalWidth}x${e.naturalHeight}`);
        }
      }
      if (thumbnailView) {
        const want = fit(w, h);
        // The template sets draw height: auto, which follows the picture's
        // own proportions from the truncated width: a pixel either way.
        const slack = template ? 1 : 0;
        if (Math.abs(Math.round(e.width) - want.width) > slack || Math.abs(Math.round(e.height) - want.height) > slack)
          fail(view, `${name} laid out at ${e.width}x${e.height}, fitted size is ${want.width}x${want.height}`);
      } else if (!template && (shown.test(name) || copy) && w && (e.width !== w || e.height !== h)) {
        fail(view, `${name} shown at ${e.width}x${e.height}, its size is ${w}x${h}`);
      } else if (template && shown.test(name) && e.width > 1800) {
        fail(view, `${name} is wider than the window (${e.width})`);
      }
    }
    if (!template) {
      // Rows: every image of a row lies above every image of the next row.
      for (let i = 1; i < entries.length; i++) {
        const a = entries[i - 1], b = entries[i];
        if (b.row !== a.row && !(b.top >= a.bottom - 0.5))
          fail(view, `a row break before entry ${i} did not start a new row`);
        if (b.row === a.row && !(b.left > a.left))
          fail(view, `entry ${i} wrapped although no break stands before it`);
      }
      console.log(`${view}: ${entries.length} images (${copies} copies) in ${entries.at(-1).row - firstRow + 1} rows`);
    } else {
      console.log(`${view}: ${entries.length} images (${copies} copies)`);
    }
    if (!template) {
      // The home link opens the user guide installed beside the DLL.
      const home = await page.evaluate(() => document.querySelector('center > a')?.href || '');
      const guide = await browser.newPage();
      const response = await guide.goto(home).catch((e) => null);
      const title = response ? await guide.title() : '';
      if (title !== 'Galvora: user guide') fail(view, `the home link ${home} opens "${title}", not the user guide`);
      else console.log(`${view}: the home link opens the user guide`);
      await guide.close();
    }
    const shot = path.join(outDir, `browser-${view}.png`);
    await page.screenshot({ path: shot, fullPage: true });
    console.log(`${view}: screenshot ${shot}`);
    await page.close();
  }
} finally {
  await browser.close();
}
if (failures) {
  console.log(`${failures} failure(s)`);
  process.exit(1);
}
console.log('browser check passed');
