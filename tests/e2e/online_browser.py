"""The player's part in a real browser (chromium, headless): opens the submit address, checks
the points, sends the form with a name and finds the entry marked on the table page.

    /usr/bin/python3 online_browser.py URL NAME POINTS PLACE SCREENSHOT
"""
import sys, tempfile
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

url, name, points, place, screenshot = sys.argv[1:6]
with tempfile.TemporaryDirectory(prefix="wf-chromium-") as profile:
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ["--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-sync",
                 "--disable-background-networking", "--window-size=1000,900",
                 f"--user-data-dir={profile}/c"]:
        options.add_argument(flag)
    browser = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    try:
        text = lambda css: browser.find_element(By.CSS_SELECTOR, css).text
        browser.get(url)
        assert text(".punkte") == points, f"the form shows {text('.punkte')!r} points, not {points}"
        browser.find_element(By.ID, "name").send_keys(name)
        browser.find_element(By.CSS_SELECTOR, "button[type=submit]").click()
        WebDriverWait(browser, 10).until(lambda b: "/hs.php?neu=" in b.current_url)
        marked = text("tr.neu")
        assert name in marked and text("tr:target") == marked, f"the marked row is {marked!r}"
        assert f"Platz {place} in der Tabelle über 30 Sekunden" in text(".hinweis"), text(".hinweis")
        browser.save_screenshot(screenshot)
        # Readable on a phone: at the width of a small one nothing sticks out.
        browser.set_window_size(360, 740)
        wide, screen = browser.execute_script(
            "return [document.documentElement.scrollWidth, window.innerWidth]")
        assert wide <= screen, f"on a phone the page is {wide} pixels wide, the screen {screen}"
    finally:
        browser.quit()
