// Plays Tekkora! in headless Chromium as a player would, by key events, and
// checks what the player keeps: the files in the site's storage, the options
// after a reload, the score page's figures, the drill offline, keys of other
// layouts, and a long run's milestone box.
//
//   node tests/web/e2e.mjs <site folder> [node_modules folder]
//
// The drill's page is a canvas; opened as index.html?trace it prints each
// window shown or hidden with its captions, and after each key the captions
// it changed, to the console, which is read here.
import {createRequire} from 'node:module';
import {mkdtempSync, readFileSync, rmSync, writeFileSync, existsSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join, resolve} from 'node:path';
import {openSite, Trace, readStored, digitRun} from './site.mjs';

const [siteDir, modules = join(process.cwd(), 'node_modules')] = process.argv.slice(2);
const puppeteer = createRequire(join(resolve(modules), 'x.js'))('puppeteer-core');

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
let failed = 0, passed = 0;
function check(ok, what, detail = '') {
  console.log(`${ok ? 'ok' : 'not ok'} - ${what}${ok || !detail ? '' : ': ' + detail}`);
  ok ? passed++ : failed++;
}

const site = await openSite(puppeteer, siteDir);
try {
  const {browser, url} = site;
  const page = await browser.newPage();
  const trace = globalThis.lastTrace = new Trace(page);
  await page.goto(url('index.html?trace'));
  await trace.ready();
  await sleep(500);
  const place = trace.lines.filter((l) => l.startsWith('trace place Form1 ')).at(-1) ?? '';
  const [x, y, w, h, pageW, pageH] = (/ (-?\d+),(-?\d+) (\d+)x(\d+) of (\d+)x(\d+)$/.exec(place) ?? []).slice(1).map(Number);
  check(Math.abs(2 * x + w - pageW) <= 2 && Math.abs(2 * y + h - pageH) <= 2, 'the drill opens centred in the page', place);

  // Digits, ten questions, by the shortcuts; Space starts the run.
  const options = {};
  for (const [key, label] of [['Control+KeyN', 'lblMode'], ['F5', 'lblNum']]) {
    await trace.keys(key);
    options[label] = trace.captions[label];
  }
  check(trace.lines.filter((line) => line.startsWith('trace show Form1 ')).length === 1,
        'F5 picks the count and does not reload the page');
  const run = await digitRun(trace, {questions: 10, wrongKeys: 2});
  check(run.questions === 10 && run.wrong === 2, 'a run of ten digits with two wrong keys', JSON.stringify(run));
  await trace.press('Enter');
  await trace.next(/^trace hide Form2 /);
  // The drill takes the next key at once (it used to be lost for up to a
  // second): a Space a tenth of a second later starts the next run.
  await sleep(100);
  await trace.keys('Space');
  check(/^[0-9]$/.test(trace.captions.Label1 ?? ''), 'a Space right after the results window starts a run', trace.captions.Label1);

  // Both files in IndexedDB, as the desktop writes them.
  const score = await readStored(page, 'Score.txt');
  const text = new TextDecoder('shift_jis', {fatal: true}).decode(score);
  const header = '//\u3000「 Tekkora！ 」\u3000スコアファイル\u3000//\r\n\r\n'
               + '-日付-' + '\u3000'.repeat(6) + ' -モード-     -ミス-      \u3000 -正解率-      -速度-\r\n';
  check(text.startsWith(header), 'Score.txt starts with the header, Shift_JIS and CR LF', JSON.stringify(text.slice(0, 120)));
  const record = text.slice(header.length);
  check(/^\d{4}\/\d\d\/\d\d \d\d:\d\d\u3000\u3000数字 +2\/10 回 +[\d. ]+ % +[\d.]+ 秒\/キー\r\n$/.test(record),
        'Score.txt holds the run\'s record', JSON.stringify(record));
  const keys = new TextDecoder().decode(await readStored(page, 'Keys.jsonl')).trimEnd().split('\n').map((l) => JSON.parse(l));
  const wrong = keys.at(-1).questions.flatMap((q) => q.wrong || []);
  check(keys.length === 1 && keys[0].set === '数字' && keys[0].questions.length === 10 && wrong.length === 2,
        'Keys.jsonl holds the run with its two wrong keys', JSON.stringify(keys));

  // A reload keeps the options chosen.
  trace.captions = {};
  await page.reload();
  await trace.ready();
  await trace.keys('Shift');
  check(Object.entries(options).every(([label, value]) => trace.captions[label] === value),
        'a reload keeps the options', JSON.stringify({options, shown: trace.captions}));

  // The score page reports the run, and follows the drill.
  const scorePage = await browser.newPage();
  const report = new Trace(scorePage);
  await scorePage.goto(url('score.html?report'));
  const first = await report.next(/^runs=/, 60000);
  check(/^runs=1 questions=10 .* key_runs=1 /.test(first + ' '), 'score.html?report reports the run', first);

  // Keys of other layouts and Shift answer by the key's place, in a run of
  // every character long enough for the milestone box.
  await page.bringToFront();
  await trace.keys('Control+KeyA');
  await trace.keys('F8');
  const special = [
    {question: '1', what: 'AZERTY', code: 'Digit1', key: '&', vk: 49},
    {question: '1', what: 'Shift+1', code: 'Digit1', key: '!', vk: 49, modifiers: 8},
    {question: 'F', what: 'Russian', code: 'KeyF', key: '\u0430', vk: 70},
    {question: 'A', what: 'Russian', code: 'KeyA', key: '\u0444', vk: 65},
  ];
  const longRun = await digitRun(trace, {questions: 205, escape: true, special});
  check(longRun.special.length === 0, 'the AZERTY, Shift and Russian keys came up', JSON.stringify(longRun.special));
  const seen = Date.now();
  const followed = await report.next(/^runs=2 /, 10000).catch((e) => e.message);
  console.log(`# the score page showed the run ${Date.now() - seen} ms after the results window`);
  check(/^runs=2 /.test(followed), 'the score page follows the drill', followed);
  await trace.press('Enter');
  const milestone = await trace.next(/^trace show /);
  check(!/ Form[12] /.test(milestone), 'the milestone box follows the results window', milestone);
  // The box takes the keys as soon as it is shown.
  await trace.next(/^trace active  You are 205 Count!!/);
  await trace.press('Enter');
  await trace.next(/^trace hide Form2 /);
  await sleep(100);
  await trace.keys('Space');
  check(/^[0-9A-Z]$/.test(trace.captions.Label1), 'back to the idle window after the milestone box', trace.captions.Label1);
  await trace.press('Escape');
  const lastRun = (await readStored(page, 'Keys.jsonl').then((b) => new TextDecoder().decode(b)))
    .trimEnd().split('\n').map((l) => JSON.parse(l)).find((r) => r.questions.length > 200);
  const wrongInLong = lastRun ? lastRun.questions.flatMap((q) => q.wrong || []) : ['no long run'];
  check(wrongInLong.length === 0, 'AZERTY Digit1, Shift+1 and Russian KeyF, KeyA answered 1, 1, F and A', JSON.stringify(wrongInLong));

  // The score page saves Score.txt as it is, and opens one from disk.
  const downloads = mkdtempSync(join(tmpdir(), 'tekkora-downloads-'));
  const cdp = await scorePage.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: downloads});
  await scorePage.bringToFront();
  await report.press('Alt+KeyD');
  await report.press('ArrowDown');
  await report.press('Enter');
  const saved = join(downloads, 'Score.txt');
  for (let i = 0; i < 50 && !existsSync(saved); i++) await new Promise((r) => setTimeout(r, 100));
  const stored = await readStored(page, 'Score.txt');
  check(existsSync(saved) && Buffer.compare(readFileSync(saved), Buffer.from(stored)) === 0,
        'the score page saves Score.txt byte for byte');
  const oneRun = join(downloads, 'one-run.txt');
  // The header's three lines and the first record.
  let end = 0;
  for (let line = 0; line < 4; line++) end = Buffer.from(stored).indexOf('\r\n', end) + 2;
  writeFileSync(oneRun, Buffer.from(stored).subarray(0, end));
  const [chooser] = await Promise.all([scorePage.waitForFileChooser(), report.press('Alt+KeyO')]);
  await chooser.accept([oneRun]);
  const opened = await report.next(/^runs=1 /, 10000).catch((e) => e.message);
  check(/^runs=1 /.test(opened), 'the score page opens a Score.txt from disk', opened);
  rmSync(downloads, {recursive: true, force: true});

  // Offline, once visited, the drill still starts.
  await page.bringToFront();
  await page.evaluate(() => navigator.serviceWorker.ready);
  await page.setOfflineMode(true);
  await page.reload();
  await trace.ready();
  // The about box, by the help menu's access keys: it waits and closes, and
  // the drill has the keys again (the Space below).
  await trace.press('Alt+KeyH');
  await sleep(200);
  await trace.press('KeyV');
  const about = await trace.next(/^trace show /);
  await trace.press('Enter');
  await trace.next(/^trace hide /);
  check(/ﾊﾞｰｼﾞｮﾝ情報/.test(about), 'the about box opens from the help menu and closes', about);
  await sleep(100);
  await trace.keys('Space');
  check(/^[0-9A-Z]$/.test(trace.captions.Label1), 'offline, a reload still starts the drill', trace.captions.Label1);
  await page.setOfflineMode(false);
} catch (error) {
  check(false, 'the session ran to its end', error.stack.split('\n')[0] + '\n# ' + (globalThis.lastTrace?.lines.filter((l) => !l.includes('WebGL')).slice(-12).join('\n# ') ?? ''));
} finally {
  await site.close();
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
