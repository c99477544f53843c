// Drives a roll's page in Debian's headless Chromium (DevTools protocol) or
// Firefox ESR (WebDriver BiDi), through puppeteer-core, and prints what it
// saw, a fact a line, tab-separated, for the test that judges it.
//
// Usage: node driver.mjs BROWSER PAGE SHOT PHONESHOT CLICK_X CLICK_Y MOMENT LINK
//   BROWSER: the path of chromium or firefox-esr; CLICK_X, CLICK_Y: a point on the page's picture, in picture pixels;
//   MOMENT: seconds for a #t= link; LINK: a second moment, written m:ss.s.
import { mkdirSync, writeFileSync } from "node:fs";
import { join } from "node:path";
import puppeteer from "puppeteer-core";

const [binary, page, shot, phoneshot, clickx, clicky, moment, link] = process.argv.slice(2);
const say = (...words) => console.log(words.join("\t"));
const pause = (ms) => new Promise((done) => setTimeout(done, ms));

// As root on a closed machine without a sound card: muted, no sandbox, sound
// allowed to start without a gesture. Chromium's fake output and Firefox
// without any ALSA device (its own HOME) both keep the sound in real time; an
// ALSA null device would take it as fast as it comes and the clock would race.
const home = join(process.cwd(), "browser");
mkdirSync(home, { recursive: true });
writeFileSync(join(home, ".asoundrc"), "pcm.!default { type hw card 99 }\n");
const launch = /firefox[^/]*$/.test(binary) ? {
  browser: "firefox", executablePath: binary,
  env: { ...process.env, HOME: home },
  extraPrefsFirefox: { "media.autoplay.default": 0, "media.autoplay.blocking_policy": 0 },
} : {
  browser: "chrome", executablePath: binary, userDataDir: join(home, "chromium"),
  args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-sync",
         "--disable-background-networking", "--disable-component-update", "--hide-scrollbars",
         "--autoplay-policy=no-user-gesture-required", "--mute-audio", "--disable-audio-output"],
};
const browser = await puppeteer.launch({ headless: true, ...launch });
try {
  const tab = await browser.newPage();
  tab.on("pageerror", (e) => say("pageerror", e.message));
  const run = (f, ...args) => tab.evaluate(f, ...args);
  await tab.setViewport({ width: 1300, height: 1400 });
  await tab.goto("file://" + page);
  await tab.waitForFunction(() => document.getElementById("sound").readyState >= 1,
                            { timeout: 20000 });
  say("duration", await run(() => document.getElementById("sound").duration));

  // The picture where the page shows it, and the screen then.
  const box = await run(() => {
    const b = document.querySelector("#roll svg").getBoundingClientRect();
    return [b.left, b.top, b.width, b.height];
  });
  say("picture", ...box);
  await tab.screenshot({ path: shot });

  // The sound as the page carries it: the peak of each channel while the roll
  // plays, and of both from half a second after its last hole on.
  say("sound", ...await run(async () => {
    const facts = JSON.parse(document.getElementById("facts").textContent);
    const bytes = await (await fetch(document.getElementById("sound").src)).arrayBuffer();
    const sound = await new OfflineAudioContext(2, 48000, 48000).decodeAudioData(bytes);
    const peak = (channel, from, to) => {
      const data = sound.getChannelData(channel);
      let top = 0;
      for (let i = Math.floor(from * sound.sampleRate); i < Math.min(data.length, to * sound.sampleRate); i++) {
        top = Math.max(top, Math.abs(data[i]));
      }
      return top;
    };
    const after = [facts.played + 0.5, facts.played + 1];
    return [sound.numberOfChannels, peak(0, 0, facts.played),
            sound.numberOfChannels > 1 ? peak(1, 0, facts.played) : 0,
            Math.max(peak(0, ...after), sound.numberOfChannels > 1 ? peak(1, ...after) : 0)];
  }));

  // Labels of the picture that overlap another or run past its edges.
  say("labels", ...await run(() => {
    const boxes = [...document.querySelectorAll("#roll svg text")].map((t) => {
      const b = t.getBBox();
      const m = t.getCTM();
      return { x0: b.x + m.e, x1: b.x + b.width + m.e, y0: b.y + m.f, y1: b.y + b.height + m.f };
    });
    let overlaps = 0, outside = 0;
    boxes.forEach((a, i) => {
      outside += a.x0 < 0 || a.x1 > 1200;
      for (const b of boxes.slice(i + 1)) {
        overlaps += Math.min(a.x1, b.x1) - Math.max(a.x0, b.x0) > 1 &&
                    Math.min(a.y1, b.y1) - Math.max(a.y0, b.y0) > 1;
      }
    });
    return [boxes.length, overlaps, outside];
  }));

  // What the console, the lit holes and the live region show, the sound
  // paused for two frames first so that they show one moment.
  const shown = () => run(async () => {
    const a = document.getElementById("sound");
    const state = a.paused ? "paused" : "playing";
    a.pause();
    for (let i = 0; i < 2; i++) {
      await new Promise((done) => requestAnimationFrame(done));
    }
    const lit = (id) => [...document.querySelectorAll("#" + id + " .tab.on")]
      .map((t) => t.textContent).sort().join("|");
    const holes = [...document.querySelectorAll("#lit rect")]
      .map((r) => Number(r.getAttribute("data-hole"))).sort((p, q) => p - q).join(",");
    return [a.currentTime, state, lit("swelltabs"), lit("greattabs"),
            document.getElementById("shades").value, document.getElementById("action").textContent,
            holes, document.getElementById("announce").textContent];
  });
  // Links to two moments, the second written m:ss.s; the copied link to it.
  for (const at of [moment, link]) {
    await run((h) => { window.location.hash = "#t=" + h; }, at);
    await pause(400);
    say("linked", at, ...await shown());
  }
  await tab.click("#copylink");
  await pause(300);
  say("link", await run(() => document.getElementById("linkstatus").textContent));

  // At 150 %: the media element's rate and pitch, then the playhead beside
  // the sound's clock, read in one animation frame.
  for (let i = 0; i < 5; i++) {
    await tab.keyboard.press("+");
  }
  say("tempo", ...await run(() => {
    const a = document.getElementById("sound");
    return [a.playbackRate, a.preservesPitch !== false && a.mozPreservesPitch !== false,
            document.getElementById("tempovalue").textContent];
  }));
  await tab.click("#play");
  for (let i = 0; i < 8; i++) {
    await pause(250);
    say("playing", ...await run(() => new Promise((done) => requestAnimationFrame(() => {
      const a = document.getElementById("sound");
      const svg = document.querySelector("#roll svg").getBoundingClientRect();
      const h = document.getElementById("playhead").getBoundingClientRect();
      const k = svg.width / 1200;
      const bar = document.getElementById("bar").getBoundingClientRect().bottom;
      done([a.currentTime, ((h.left + h.right) / 2 - svg.left) / k, (h.top - svg.top) / k,
            h.top >= bar - 1 && h.bottom <= window.innerHeight + 1 ? 1 : 0]);
    }))));
  }

  // The keys, on the page itself: space, the arrows, End, Home, minus.
  await run(() => document.activeElement.blur());
  const now = () => run(() => {
    const a = document.getElementById("sound");
    return a.currentTime.toFixed(3) + (a.paused ? " paused" : " playing");
  });
  const keys = [];
  for (const key of [" ", "ArrowRight", "ArrowLeft", "End", "Home", "-", "-", " "]) {
    await tab.keyboard.press(key);
    await pause(150);
    keys.push(key.trim() || "Space", await now(),
              await run(() => document.getElementById("sound").playbackRate));
  }
  say("keys", ...keys);

  // A click on the picture, then what the page says is in force.
  await run(() => document.getElementById("sound").pause());
  const k = box[2] / 1200, y = box[1] + Number(clicky) * k;
  await run((top) => window.scrollTo(0, top - 700), y);
  await tab.mouse.click(box[0] + Number(clickx) * k, y - await run(() => window.scrollY));
  await pause(300);
  say("clicked", ...await shown());

  // From the first control, Tab goes through every other control of the
  // bar, each with a name a screen reader reads and a visible focus.
  await run(() => document.getElementById("sound").pause());
  // (Focused by the keyboard, as a screen reader's user would: focus set by
  // a script shows no ring.)
  await tab.focus("#play");
  await tab.keyboard.press("Tab");
  await tab.keyboard.down("Shift");
  await tab.keyboard.press("Tab");
  await tab.keyboard.up("Shift");
  for (let i = 0; i < 10; i++) {
    if (i > 0) {
      await tab.keyboard.press("Tab");
    }
    const focus = await run(() => {
      const e = document.activeElement;
      if (!e || !document.getElementById("bar").contains(e)) {
        return null;
      }
      const style = getComputedStyle(e);
      return [e.id, e.getAttribute("aria-label") || e.textContent.trim(),
              style.outlineStyle + " " + style.outlineWidth];
    });
    if (focus === null) {
      break;
    }
    say("focus", ...focus);
  }

  // A phone: the roll's whole width on the screen, and every control big
  // enough for a finger and not covered.
  await tab.setViewport({ width: 390, height: 844 });
  await pause(500);
  say("phone", ...await run(() => {
    const svg = document.querySelector("#roll svg").getBoundingClientRect();
    return [window.innerWidth, document.documentElement.scrollWidth, svg.left, svg.right];
  }));
  for (const tap of await run(() => [...document.querySelectorAll("#bar button, #bar input")]
    .map((e) => {
      const b = e.getBoundingClientRect();
      const hit = document.elementFromPoint((b.left + b.right) / 2, (b.top + b.bottom) / 2);
      return [e.id, b.width, b.height, hit === e || e.contains(hit) ? 1 : 0];
    }))) {
    say("tap", ...tap);
  }
  await tab.screenshot({ path: phoneshot });
} finally {
  await browser.close();
}
