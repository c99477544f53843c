// A screenshot of a roll's page in headless Chromium, opened at a moment
// (#t=...) with its playhead, lit holes and tabs, for the README.
// Usage: node screenshot.mjs PAGE MOMENT OUT.png [WIDTH HEIGHT]
import puppeteer from "puppeteer-core";

const [page, moment, out, width = "1300", height = "760"] = process.argv.slice(2);
const browser = await puppeteer.launch({
  headless: true, browser: "chrome", executablePath: "/usr/bin/chromium",
  args: ["--no-sandbox", "--hide-scrollbars", "--mute-audio", "--disable-audio-output"],
});
try {
  const tab = await browser.newPage();
  await tab.setViewport({ width: Number(width), height: Number(height) });
  await tab.goto("file://" + page + "#t=" + moment);
  await tab.waitForFunction(() => document.getElementById("sound").readyState >= 1);
  await new Promise((done) => setTimeout(done, 500));
  await tab.screenshot({ path: out });
} finally {
  await browser.close();
}
