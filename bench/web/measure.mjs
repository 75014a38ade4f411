// The site's figures in headless Chromium, printed, never asserted:
//   - what the drill's page transfers, gzip-compressed as a static host sends it;
//   - navigation to the drill's first frame, warm cache;
//   - navigation to the score page's first frame with a 10 000-run log;
//   - a key event's dispatch to the frame that shows the next question.
//
//   node bench/web/measure.mjs <site folder> <node_modules folder> [keys]
import {createRequire} from 'node:module';
import {readFileSync, existsSync} from 'node:fs';
import {gzipSync} from 'node:zlib';
import {join, resolve} from 'node:path';
import {openSite, Trace, readStored, digitRun} from '../../tests/web/site.mjs';

const [siteDir, modules, keyCount = '200'] = process.argv.slice(2);
const puppeteer = createRequire(join(resolve(modules), 'x.js'))('puppeteer-core');
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const row = (figure, value, target) => console.log(`${figure.padEnd(58)} ${String(value).padStart(10)} ${target.padStart(10)}`);

// In the page before its own scripts: when the drill's trace tells that a
// window was shown or a question is on show, the time of the animation frame
// that follows, which draws it; and each key event's time.
function frameClock() {
  window.tekkoraFrames = [];
  window.tekkoraKeys = [];
  addEventListener('keydown', (e) => window.tekkoraKeys.push(e.timeStamp), true);
  const log = console.log;
  console.log = function (...args) {
    const line = String(args[0]);
    if (/^(trace show Form1 |trace say |runs=)/.test(line))
      requestAnimationFrame(() => window.tekkoraFrames.push({line, at: performance.now()}));
    return log.apply(this, args);
  };
}
const frameOf = (page, pattern) => page.waitForFunction(
  (source) => window.tekkoraFrames.find((f) => new RegExp(source).test(f.line))?.at, {timeout: 120000, polling: 50},
  pattern.source).then((handle) => handle.jsonValue());

const site = await openSite(puppeteer, siteDir);
try {
  const page = await site.browser.newPage();
  await page.evaluateOnNewDocument(frameClock);
  const trace = new Trace(page);
  const loaded = new Set();
  page.on('response', (response) => loaded.add(new URL(response.url()).pathname));
  await page.goto(site.url('index.html?trace'));
  await trace.next(/^trace show Form1 /, 120000);
  await page.evaluate(() => navigator.serviceWorker?.ready);

  console.log('The site in headless Chromium (figures, not tests)');
  row('figure', 'Tekkora!', 'target');
  let raw = 0, gzipped = 0;
  for (const path of loaded) {
    const file = join(siteDir, path === '/' ? 'index.html' : decodeURIComponent(path));
    if (!existsSync(file) || path.endsWith('sw.js') || path.endsWith('.webmanifest') || path.includes('/icons/')) continue;
    const bytes = readFileSync(file);
    raw += bytes.length;
    gzipped += gzipSync(bytes, {level: 9}).length;
  }
  row('drill page transferred, gzip -9, MB (' + (raw / 1e6).toFixed(1) + ' MB unpacked)', (gzipped / 1e6).toFixed(2), '<=5');

  const warm = [];
  for (let i = 0; i < 5; i++) {
    await page.goto(site.url('index.html?trace'));
    warm.push(await frameOf(page, /^trace show Form1 /));
  }
  row('navigation to the drill\'s first frame, warm cache, ms', median(warm).toFixed(0), '<=1500');

  // Key to frame: each key's event time to the frame after the question it
  // brought was told.
  await trace.next(/^trace show Form1 /, 120000);
  trace.rest();
  await trace.press('Control+KeyN');
  await trace.press('F8');
  await page.evaluate(() => { window.tekkoraFrames = []; window.tekkoraKeys = []; });
  await digitRun(trace, {questions: Number(keyCount)});
  const {keys, frames} = await page.evaluate(() => ({keys: window.tekkoraKeys, frames: window.tekkoraFrames}));
  const said = frames.filter((f) => f.line.startsWith('trace say '));
  // The first frame is the run's start (Space); then one per digit.
  const delays = said.slice(1).map((f, i) => f.at - keys[i + 1]).filter((d) => d >= 0);
  row(`key event to the next frame, ms (median of ${delays.length})`, median(delays).toFixed(1), '<=16.7');
  row('  95th percentile', [...delays].sort((a, b) => a - b)[Math.floor(delays.length * 0.95)].toFixed(1), '');
  await trace.press('Enter');
  await trace.next(/^trace show Form1 /);

  // The score page on 10 000 runs: the record the drill wrote, again and
  // again, put where the drill keeps it.
  const score = await readStored(page, 'Score.txt');
  let headerEnd = 0;
  for (let line = 0; line < 3; line++) headerEnd = Buffer.from(score).indexOf('\r\n', headerEnd) + 2;
  const record = Buffer.from(score).subarray(headerEnd, Buffer.from(score).indexOf('\r\n', headerEnd) + 2);
  const big = Buffer.concat([Buffer.from(score).subarray(0, headerEnd), Buffer.alloc(record.length * 10000)]);
  for (let i = 0; i < 10000; i++) record.copy(big, headerEnd + i * record.length);
  await page.evaluate(async (bytes) => {
    const request = (r) => new Promise((ok, fail) => { r.onsuccess = () => ok(r.result); r.onerror = () => fail(r.error); });
    const db = await request(indexedDB.open('/tekkora'));
    const store = db.transaction(['FILE_DATA'], 'readwrite').objectStore('FILE_DATA');
    await request(store.put({timestamp: new Date(), mode: 0o100644, contents: Uint8Array.from(bytes)}, '/tekkora/Score.txt'));
    db.close();
  }, Array.from(big));
  const scorePage = await site.browser.newPage();
  await scorePage.evaluateOnNewDocument(frameClock);
  const times = [];
  for (let i = 0; i < 3; i++) {
    await scorePage.goto(site.url('score.html?report'));
    times.push(await frameOf(scorePage, /^runs=10000 /));
  }
  row('navigation to the score page\'s first frame, 10 000 runs, ms', median(times).toFixed(0), '<=3000');
} finally {
  await site.close();
}
