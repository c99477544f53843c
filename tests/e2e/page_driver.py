#!/usr/bin/python3
"""Drives a roll's page in headless Chromium and prints what it saw, a fact a
line, tab-separated, for the test that judges it.

Usage: page_driver.py PAGE SCREENSHOT CLICK_X CLICK_Y
CLICK_X, CLICK_Y: a point on the page's picture, in picture pixels."""
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

page, screenshot, clickx, clicky = sys.argv[1], sys.argv[2], float(sys.argv[3]), float(sys.argv[4])


def say(*words):
    print("\t".join(str(w) for w in words), flush=True)


options = webdriver.ChromeOptions()
options.binary_location = "/usr/bin/chromium"
# As root on a closed machine without a sound card: no sandbox, no network
# services, sound muted but allowed to start without a gesture. Without
# --disable-audio-output an ALSA null device (the tests' HOME) takes the sound
# as fast as it comes and the clock races; the fake output keeps real time.
for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--autoplay-policy=no-user-gesture-required", "--mute-audio",
             "--window-size=1300,1400", "--hide-scrollbars", "--disable-audio-output"):
    options.add_argument(flag)
profile = tempfile.TemporaryDirectory()
options.add_argument("--user-data-dir=" + profile.name)
browser = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
try:
    browser.set_script_timeout(20)
    browser.get("file://" + page)
    audio = "document.getElementById('sound')"
    for _ in range(200):
        if browser.execute_script("return %s.readyState >= 1" % audio):
            break
        time.sleep(0.1)
    say("duration", browser.execute_script("return %s.duration" % audio))

    # The picture where the page shows it, and the screen then.
    box = browser.execute_script(
        "var b = document.querySelector('#roll svg').getBoundingClientRect();"
        "return [b.left, b.top, b.width, b.height, window.devicePixelRatio];")
    say("picture", *box)
    browser.save_screenshot(screenshot)

    # Playing: the playhead, in picture pixels, beside the sound's clock, read
    # in one animation frame; and whether the playhead is on the screen.
    browser.find_element("id", "play").click()
    for _ in range(12):
        time.sleep(0.25)
        say("playing", *browser.execute_async_script("""
            var done = arguments[0];
            requestAnimationFrame(function () {
              var a = document.getElementById('sound');
              var svg = document.querySelector('#roll svg').getBoundingClientRect();
              var h = document.getElementById('playhead').getBoundingClientRect();
              var k = svg.width / %f;
              var bar = document.getElementById('bar').getBoundingClientRect().bottom;
              done([a.currentTime, ((h.left + h.right) / 2 - svg.left) / k, (h.top - svg.top) / k,
                    h.top >= bar - 1 && h.bottom <= window.innerHeight + 1 ? 1 : 0]);
            });""" % 1200.0))

    # A click on the picture, then what the page says is in force.
    picture = browser.find_element("css selector", "#roll svg")
    ActionChains(browser).move_to_element_with_offset(
        picture, clickx * box[2] / 1200.0 - box[2] / 2, clicky * box[2] / 1200.0 - box[3] / 2
    ).click().perform()
    at = browser.execute_script("return %s.currentTime" % audio)
    time.sleep(0.3)
    shown = browser.execute_script(
        "return ['swell', 'great', 'shades', 'action'].map("
        "function (id) { return document.getElementById(id).textContent; })")
    say("clicked", at, *shown)

    # Space pauses, space plays again.
    states = []
    for _ in range(2):
        ActionChains(browser).send_keys(Keys.SPACE).perform()
        time.sleep(0.2)
        states.append(browser.execute_script("return %s.paused ? 'paused' : 'playing'" % audio))
    say("space", *states)
finally:
    browser.quit()
