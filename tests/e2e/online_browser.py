#!/usr/bin/env python3
"""The player's part in a real browser: Debian's chromium, headless, driven
through chromium-driver (WebDriver over HTTP). Opens the submit address the
game handed to the desktop, checks the points, types the name, sends the form
and finds the entry marked on the table page; saves a screenshot of it.

    online_browser.py URL NAME POINTS PLACE SCREENSHOT
"""
import base64, json, os, socket, subprocess, sys, tempfile, time, urllib.error, urllib.request

FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--window-size=1000,900"]


def fail(text):
    sys.exit(f"online_browser: {text}")


class Browser:
    def __init__(self, profile):
        with socket.socket() as s:
            s.bind(("127.0.0.1", 0))
            port = s.getsockname()[1]
        self.base = f"http://127.0.0.1:{port}"
        self.log = open(os.path.join(profile, "chromedriver.log"), "w")
        self.driver = subprocess.Popen(["chromedriver", f"--port={port}"], stdout=self.log,
                                       stderr=subprocess.STDOUT)
        self.profile, self.session = profile, None

    def start(self):
        for _ in range(100):
            try:
                self.call("GET", "/status")
                break
            except OSError:
                time.sleep(0.1)
        args = FLAGS + [f"--user-data-dir={self.profile}/c"]
        self.session = "/session/" + self.call("POST", "/session", {"capabilities": {"alwaysMatch": {
            "browserName": "chrome",
            "goog:chromeOptions": {"binary": "/usr/bin/chromium", "args": args}}}})["sessionId"]

    def close(self):
        if self.session:
            self.call("DELETE", self.session)
        self.driver.terminate()
        self.driver.wait(10)

    def call(self, method, path, body=None):
        request = urllib.request.Request(self.base + path, method=method,
                                         data=None if body is None else json.dumps(body).encode())
        try:
            with urllib.request.urlopen(request, timeout=60) as reply:
                return json.load(reply)["value"]
        except urllib.error.HTTPError as error:
            fail(f"{method} {path}: {error.read()[:300]}")

    def do(self, method, path, body=None):
        return self.call(method, self.session + path, body)

    def element(self, css):
        found = self.do("POST", "/elements", {"using": "css selector", "value": css})
        return found[0]["element-6066-11e4-a52e-4f735466cecf"] if found else fail(f"no {css}")

    def text(self, css):
        return self.do("GET", f"/element/{self.element(css)}/text")


def run(browser, url, name, points, place, screenshot):
    browser.do("POST", "/url", {"url": url})
    if browser.text(".punkte") != points:
        fail(f"the form shows {browser.text('.punkte')!r} points, not {points}")
    browser.do("POST", f"/element/{browser.element('#name')}/value", {"text": name})
    browser.do("POST", f"/element/{browser.element('button[type=submit]')}/click", {})
    for _ in range(100):
        if "/hs.php?neu=" in browser.do("GET", "/url"):
            break
        time.sleep(0.1)
    marked = browser.text("tr.neu")
    if name not in marked or browser.text("tr:target") != marked:
        fail(f"the marked row, the one the address leads to, is {marked!r}, not {name!r}")
    if f"Platz {place} in der Tabelle über 30 Sekunden" not in browser.text(".hinweis"):
        fail(f"the notice does not say place {place}: {browser.text('.hinweis')!r}")
    with open(screenshot, "wb") as out:
        out.write(base64.b64decode(browser.do("GET", "/screenshot")))
    # Readable on a phone: at the width of a small one nothing sticks out.
    browser.do("POST", "/window/rect", {"width": 360, "height": 740})
    wide, screen = browser.do("POST", "/execute/sync", {
        "script": "return [document.documentElement.scrollWidth, window.innerWidth]", "args": []})
    if wide > screen:
        fail(f"on a phone the page is {wide} pixels wide, the screen {screen}")


def main():
    with tempfile.TemporaryDirectory(prefix="wf-chromium-") as profile:
        browser = Browser(profile)
        try:
            browser.start()
            run(browser, *sys.argv[1:6])
        finally:
            browser.close()


if __name__ == "__main__":
    main()
