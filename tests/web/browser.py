"""The page in Debian's headless Chromium, driven through chromedriver: the web server, the
browser and the console, shared by the browser test and the web benchmark."""

import contextlib
import functools
import http.server
import json
import re
import shutil
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"

# Root on a machine without a sandbox user namespace, no GPU, and nothing that reaches out to
# the network on its own (component updates, sync, QUIC probes). No autoplay flag: the test's
# click on the start button is the gesture that lets the page start its sound.
CHROMIUM_ARGUMENTS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
]


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    """Serves the site and says nothing on standard error."""

    def log_message(self, format, *args):  # noqa: A002 (the base class's name)
        pass


@contextlib.contextmanager
def serve(folder):
    """Serves `folder` on a free port of 127.0.0.1; yields the page's base URL."""
    handler = functools.partial(QuietHandler, directory=str(folder))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    try:
        yield f"http://127.0.0.1:{server.server_address[1]}/"
    finally:
        server.shutdown()
        server.server_close()


@contextlib.contextmanager
def chromium():
    """A fresh headless Chromium with its console kept, in a profile of its own."""
    profile = tempfile.mkdtemp(prefix="velozor-chromium-")
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for argument in CHROMIUM_ARGUMENTS + [f"--user-data-dir={profile}"]:
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
    try:
        yield driver
    finally:
        driver.quit()
        shutil.rmtree(profile, ignore_errors=True)


def copy_site(site, folder, shortened):
    """Copies the page's `site` into `folder` with each sound in `shortened` (a path in the folder
    sonidos, without its extension) replaced by the introduction's one-second first part, so that
    the game reaches play in seconds; returns the copy's folder sonidos."""
    shutil.copytree(site, folder)
    sounds = folder / "sonidos"
    for name in shortened:
        shutil.copyfile(sounds / "intro" / "arch 1.flac", sounds / f"{name}.flac")
    return sounds


# A console entry's text: "<url> <line>:<column> <message>", the message a JSON string when the
# page logged one.
_CONSOLE_TEXT = re.compile(r'^\S+ \d+:\d+ (".*")$', re.DOTALL)


class Console:
    """The browser's console, read as it grows: page log lines and errors apart."""

    def __init__(self, driver):
        self.driver = driver
        self.lines = []  # console.log/warn texts, in order
        self.errors = []  # entries at error level (failed loads included)

    def read(self):
        for entry in self.driver.get_log("browser"):
            if entry["level"] == "SEVERE":
                self.errors.append(entry["message"])
            match = _CONSOLE_TEXT.match(entry["message"])
            if entry.get("source") == "console-api" and match:
                self.lines.append(json.loads(match.group(1)))
        return self.lines


def wait_for(condition, what, timeout=60.0, every=0.02):
    """Polls `condition` until it returns a true value, which it returns; fails naming `what`
    after `timeout` seconds (a hang, not a slow machine: nothing here should take that long)."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"gave up waiting for {what} after {timeout:.0f} s")
        time.sleep(every)
