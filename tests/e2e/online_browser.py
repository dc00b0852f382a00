#!/usr/bin/env python3
"""Plays the player's part in a real browser: Debian's chromium, headless,
driven through chromium-driver (WebDriver over HTTP). Opens the submit URL
that the game handed to the desktop, checks the result it shows, types the
name, sends the form and finds the new entry, marked, on the table page.

    online_browser.py URL NAME POINTS PLACE SCREENSHOT

Exits 0 when everything was as expected; says what was not on stderr.
"""
import base64
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import urllib.request

ELEMENT = "element-6066-11e4-a52e-4f735466cecf"
CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--window-size=1000,900",
]


def fail(text):
    print(f"online_browser: {text}", file=sys.stderr)
    sys.exit(1)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Browser:
    def __init__(self, profile):
        port = free_port()
        self.base = f"http://127.0.0.1:{port}"
        self.log = open(os.path.join(profile, "chromedriver.log"), "w")
        self.driver = subprocess.Popen(
            [shutil.which("chromedriver") or "/usr/bin/chromedriver", f"--port={port}"],
            stdout=self.log, stderr=subprocess.STDOUT)
        for _ in range(100):
            try:
                if self.call("GET", "/status")["ready"]:
                    break
            except OSError:
                time.sleep(0.1)
        else:
            fail("chromedriver did not start")
        options = {"binary": shutil.which("chromium") or "/usr/bin/chromium",
                   "args": CHROMIUM_FLAGS + [f"--user-data-dir={profile}/chromium"]}
        session = self.call("POST", "/session", {"capabilities": {"alwaysMatch": {
            "browserName": "chrome", "goog:chromeOptions": options}}})
        self.session = f"/session/{session['sessionId']}"

    def call(self, method, path, body=None):
        data = None if body is None else json.dumps(body).encode()
        request = urllib.request.Request(self.base + path, data=data, method=method,
                                         headers={"Content-Type": "application/json"})
        try:
            with urllib.request.urlopen(request, timeout=60) as reply:
                return json.load(reply)["value"]
        except urllib.error.HTTPError as error:
            fail(f"{method} {path}: {error.read().decode(errors='replace')[:300]}")

    def do(self, method, path="", body=None):
        return self.call(method, self.session + path, body)

    def find(self, css):
        found = self.do("POST", "/elements", {"using": "css selector", "value": css})
        return [element[ELEMENT] for element in found]

    def text(self, css):
        found = self.find(css)
        return self.do("GET", f"/element/{found[0]}/text") if found else None

    def close(self):
        try:
            self.do("DELETE")
        finally:
            self.driver.terminate()
            self.driver.wait(10)
            self.log.close()


def main():
    url, name, points, place, screenshot = sys.argv[1:6]
    with tempfile.TemporaryDirectory(prefix="wf-chromium-") as profile:
        browser = Browser(profile)
        try:
            run(browser, url, name, points, place, screenshot)
        finally:
            browser.close()


def run(browser, url, name, points, place, screenshot):
    browser.do("POST", "/url", {"url": url})
    if browser.text(".punkte") != points:
        fail(f"the form shows {browser.text('.punkte')!r} points, not {points}")
    field = browser.find("#name")
    if not field:
        fail("no name field on the form")
    browser.do("POST", f"/element/{field[0]}/value", {"text": name})
    browser.do("POST", f"/element/{browser.find('button[type=submit]')[0]}/click", {})

    for _ in range(100):
        if "/hs.php?neu=" in browser.do("GET", "/url"):
            break
        time.sleep(0.1)
    else:
        fail(f"the form did not lead to the table page but to {browser.do('GET', '/url')}")
    marked = browser.text("tr.neu")
    if marked is None or name not in marked:
        fail(f"the marked row is {marked!r}, not the entry of {name!r}")
    if browser.text("tr:target") != marked:
        fail("the address does not lead to the new entry")
    notice = browser.text(".hinweis") or ""
    if f"Platz {place} in der Tabelle über 30 Sekunden" not in notice:
        fail(f"the notice says {notice!r}, not place {place}")
    with open(screenshot, "wb") as out:
        out.write(base64.b64decode(browser.do("GET", "/screenshot")))

    # Readable on a phone: at the width of a small one nothing sticks out.
    browser.do("POST", "/window/rect", {"width": 360, "height": 740})
    widths = browser.do("POST", "/execute/sync", {
        "script": "return [document.documentElement.scrollWidth, window.innerWidth]",
        "args": []})
    if widths[0] > widths[1]:
        fail(f"on a phone the page is {widths[0]} pixels wide, the screen {widths[1]}")


if __name__ == "__main__":
    main()
