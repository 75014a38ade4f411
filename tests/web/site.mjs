// What the browser session and the benchmark share: the site served on
// 127.0.0.1, a fresh headless Chromium, the drill's trace in the console,
// the site's stored files, and a run played by key events.
import {mkdtempSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {spawn} from 'node:child_process';
import net from 'node:net';

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

async function freePort() {
  const server = net.createServer();
  await new Promise((r) => server.listen(0, '127.0.0.1', r));
  const {port} = server.address();
  await new Promise((r) => server.close(r));
  return port;
}

// The site served as a static host would (python's http.server), and a
// browser with an empty profile: nothing cached, nothing stored.
export async function openSite(puppeteer, siteDir, extraArgs = []) {
  const port = await freePort();
  const server = spawn('python3', ['-m', 'http.server', String(port), '--bind', '127.0.0.1', '--directory', siteDir],
                       {stdio: 'ignore'});
  const base = `http://127.0.0.1:${port}/`;
  for (let i = 0; ; i++) {
    try { if ((await fetch(base)).ok) break; } catch { /* not yet */ }
    if (i > 100) throw new Error('the site was not served');
    await sleep(100);
  }
  const profile = mkdtempSync(join(tmpdir(), 'tekkora-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    protocolTimeout: 60000,
    defaultViewport: {width: 1280, height: 900},
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--enable-unsafe-swiftshader',
           '--disable-background-networking', '--disable-component-update', '--disable-sync', '--no-first-run',
           '--disable-background-timer-throttling', '--disable-renderer-backgrounding', ...extraArgs],
  });
  return {
    browser,
    url: (path) => base + path,
    async close() {
      await browser.close().catch(() => {});
      server.kill();
      rmSync(profile, {recursive: true, force: true});
    },
  };
}

// The lines a page prints to the console, read in order.
export class Trace {
  constructor(page) {
    this.page = page;
    this.lines = [];
    this.read = 0;
    this.waiters = [];
    this.captions = {}; // each caption as the lines read so far left it
    page.on('console', (message) => {
      for (const line of message.text().split('\n')) this.lines.push(line);
      this.waiters.forEach((wake) => wake());
    });
  }

  // The next line that matches, past those read before.
  async next(pattern, timeoutMs = 15000) {
    const deadline = Date.now() + timeoutMs;
    for (;;) {
      while (this.read < this.lines.length) {
        const line = this.lines[this.read++];
        const caption = /^trace text (\S+) ?(.*)$/s.exec(line);
        if (caption) this.captions[caption[1]] = caption[2];
        if (pattern.test(line)) return line;
      }
      const left = deadline - Date.now();
      if (left <= 0) throw new Error(`no line like ${pattern} within ${timeoutMs} ms; last: ${this.lines.slice(-5).join(' | ')}`);
      await new Promise((wake) => {
        const done = () => {
          clearTimeout(timer);
          this.waiters = this.waiters.filter((w) => w !== done);
          wake();
        };
        const timer = setTimeout(done, left);
        this.waiters.push(done);
      });
    }
  }

  // The drill's window shown and the page's canvas given the keys, as the
  // page does once the program runs.
  async ready(timeoutMs = 60000) {
    await this.next(/^trace show Form1 /, timeoutMs);
    await this.page.waitForFunction(() => document.activeElement?.tagName === 'CANVAS', {timeout: timeoutMs});
  }

  // A key or a combination ("Control+KeyN", "Alt+KeyS") by real key events.
  async press(combination) {
    const keys = combination.split('+');
    const key = keys.pop();
    for (const modifier of keys) await this.page.keyboard.down(modifier);
    await this.page.keyboard.press(key);
    for (const modifier of keys.reverse()) await this.page.keyboard.up(modifier);
  }

  // The same, and the trace's lines after it: keys that come together may be
  // told in one line, so whatever follows within a moment is read too.
  async keys(combination) {
    await this.press(combination);
    await this.next(/^trace key/);
    await sleep(150);
    while (this.read < this.lines.length) await this.next(/./);
  }

  // A key event as another layout makes it: the key's place, what it types.
  async dispatch({code, key, vk, modifiers = 0}) {
    this.cdp ??= await this.page.createCDPSession();
    await this.cdp.send('Input.dispatchKeyEvent', {type: 'keyDown', code, key, text: key, unmodifiedText: key,
                                                   windowsVirtualKeyCode: vk, modifiers});
    await this.cdp.send('Input.dispatchKeyEvent', {type: 'keyUp', code, key, windowsVirtualKeyCode: vk, modifiers});
  }
}

// A file of the site's storage (emscripten's IDBFS keeps /tekkora in the
// IndexedDB database of that name), as bytes; waits for it to be written.
export async function readStored(page, name, timeoutMs = 10000) {
  const deadline = Date.now() + timeoutMs;
  for (;;) {
    const bytes = await page.evaluate(async (path) => {
      const request = (r) => new Promise((ok, fail) => { r.onsuccess = () => ok(r.result); r.onerror = () => fail(r.error); });
      const db = await request(indexedDB.open('/tekkora'));
      try {
        if (!db.objectStoreNames.contains('FILE_DATA')) return null;
        const entry = await request(db.transaction(['FILE_DATA']).objectStore('FILE_DATA').get(path));
        return entry && entry.contents ? Array.from(entry.contents) : null;
      } finally {
        db.close();
      }
    }, '/tekkora/' + name);
    if (bytes) return Uint8Array.from(bytes);
    if (Date.now() > deadline) throw new Error(`${name} is not in the site's storage`);
    await sleep(200);
  }
}

// The key that answers a question on a US layout.
export function keyFor(question) {
  if (/^[0-9]$/.test(question)) return 'Digit' + question;
  if (/^[A-Za-z]$/.test(question)) return 'Key' + question.toUpperCase();
  return question;
}

// Starts a run with Space and answers `questions` questions, then waits
// for the results window: a run of that count ends there by itself, any
// other is ended with Esc (`escape`). A wrong digit before each of the first
// `wrongKeys` questions (a miss each); a `special` key event (another
// layout's) answers the first question it is meant for. With `end` false the
// run is left going after its answers.
export async function digitRun(trace, {questions, escape = false, wrongKeys = 0, special = [], end = true}) {
  const pending = [...special];
  let answered = 0, wrong = 0;
  await trace.keys('Space');
  while (answered < questions) {
    // The run's first question may be told a line after the key that started it.
    while (!/^[0-9A-Za-z]$/.test(trace.captions.Label1 ?? '')) await trace.next(/^trace key/);
    const question = trace.captions.Label1;
    if (wrong < wrongKeys && wrong === answered) {
      await trace.keys(keyFor(String((Number(question) + 1) % 10)));
      wrong++;
    }
    const index = pending.findIndex((s) => s.question === question);
    if (index >= 0) await trace.dispatch(pending.splice(index, 1)[0]);
    else await trace.press(keyFor(question));
    if (++answered < questions || escape || !end) await trace.next(/^trace key/);
  }
  if (!end) return {questions: answered, wrong, special: pending};
  if (escape) await trace.press('Escape');
  await trace.next(/^trace show Form2 /);
  return {questions: answered, wrong, special: pending};
}
