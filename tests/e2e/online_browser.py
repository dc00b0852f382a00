#!/usr/bin/env python3
"""The player's part in a real browser: Debian's chromium, headless, driven
through chromium-driver (WebDriver over HTTP). Opens the submit address the
game handed to the desktop, checks the points, types the name, sends the form
and finds the entry marked on the table page; saves a screenshot of it.

    online_browser.py URL NAME POINTS PLACE SCREENSHOT
"""
import base64, json, socket, subprocess, sys, tempfile, time, urllib.error, urllib.request

FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--window-size=1000,900"]


def fail(text):
    sys.exit(f"online_browser: {text}")


def run(call, url, name, points, place, screenshot):
    """call(method, path, body): one WebDriver command of the session."""
    def text(css):
        found = call("POST", "/elements", {"using": "css selector", "value": css})
        element = found[0]["element-6066-11e4-a52e-4f735466cecf"] if found else fail(f"no {css}")
        return element, call("GET", f"/element/{element}/text")

    call("POST", "/url", {"url": url})
    if text(".punkte")[1] != points:
        fail(f"the form shows {text('.punkte')[1]!r} points, not {points}")
    call("POST", f"/element/{text('#name')[0]}/value", {"text": name})
    call("POST", f"/element/{text('button[type=submit]')[0]}/click", {})
    for _ in range(100):
        if "/hs.php?neu=" in call("GET", "/url"):
            break
        time.sleep(0.1)
    marked = text("tr.neu")[1]
    if name not in marked or text("tr:target")[1] != marked:
        fail(f"the marked row, the one the address leads to, is {marked!r}, not {name!r}")
    if f"Platz {place} in der Tabelle über 30 Sekunden" not in text(".hinweis")[1]:
        fail(f"the notice does not say place {place}: {text('.hinweis')[1]!r}")
    with open(screenshot, "wb") as out:
        out.write(base64.b64decode(call("GET", "/screenshot")))
    # Readable on a phone: at the width of a small one nothing sticks out.
    call("POST", "/window/rect", {"width": 360, "height": 740})
    wide, screen = call("POST", "/execute/sync", {
        "script": "return [document.documentElement.scrollWidth, window.innerWidth]", "args": []})
    if wide > screen:
        fail(f"on a phone the page is {wide} pixels wide, the screen {screen}")


def main():
    with tempfile.TemporaryDirectory(prefix="wf-chromium-") as profile, socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        base = f"http://127.0.0.1:{s.getsockname()[1]}"
        s.close()
        log = open(f"{profile}/chromedriver.log", "w")
        driver = subprocess.Popen(["chromedriver", f"--port={base.rsplit(':', 1)[1]}"], stdout=log,
                                  stderr=subprocess.STDOUT)
        session = ""

        def call(method, path, body=None):
            request = urllib.request.Request(base + session + path, method=method,
                                             data=None if body is None else json.dumps(body).encode())
            try:
                with urllib.request.urlopen(request, timeout=60) as reply:
                    return json.load(reply)["value"]
            except urllib.error.HTTPError as error:
                fail(f"{method} {path}: {error.read()[:300]}")

        try:
            for _ in range(100):
                try:
                    call("GET", "/status")
                    break
                except OSError:
                    time.sleep(0.1)
            session = "/session/" + call("POST", "/session", {"capabilities": {"alwaysMatch": {
                "browserName": "chrome", "goog:chromeOptions": {
                    "binary": "/usr/bin/chromium", "args": FLAGS + [f"--user-data-dir={profile}/c"]}}}})[
                "sessionId"]
            run(call, *sys.argv[1:6])
        finally:
            if session:
                call("DELETE", "")
            driver.terminate()
            driver.wait(10)


if __name__ == "__main__":
    main()
