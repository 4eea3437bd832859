"""A small WebDriver client for headless Chromium, with nothing but the standard library.

It starts chromedriver on a free port of the loopback, opens one browser session with a new,
empty profile, and speaks the W3C WebDriver protocol over HTTP (urllib): navigation, scripts,
pointer actions, screenshots and the browser's console log. Everything it starts, it stops.
"""

import base64
import json
import os
import shutil
import socket
import subprocess
import tempfile
import time
import urllib.error
import urllib.request

# Chromium as root needs no sandbox; the networking flags keep it off the network, which a
# closed machine would otherwise see flooded with its background requests.
CHROMIUM_FLAGS = [
    "--headless",
    "--no-sandbox",
    "--disable-gpu",
    "--disable-quic",
    "--no-first-run",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    "--disable-default-apps",
    "--disable-extensions",
    "--no-default-browser-check",
    "--hide-scrollbars",
    "--mute-audio",
]


class WebDriverError(Exception):
    pass


def find_program(*names):
    for name in names:
        path = shutil.which(name)
        if path:
            return path
    raise WebDriverError(
        "none of %s is installed (./dev test installs chromium and chromium-driver)"
        % ", ".join(names))


def free_port():
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Browser:
    """One headless Chromium, driven through chromedriver. Use it in a `with` block."""

    def __init__(self, width=1600, height=1000, timeout=60):
        self.width = width
        self.height = height
        self.timeout = timeout
        self.driver = None
        self.session = None
        self.profile = None
        self.driver_log = None

    def __enter__(self):
        chromium = find_program("chromium", "chromium-browser", "google-chrome")
        chromedriver = find_program("chromedriver")
        self.profile = tempfile.mkdtemp(prefix="binario-chromium-")
        port = free_port()
        self.base = "http://127.0.0.1:%d" % port
        self.driver_log = open(os.path.join(self.profile, "chromedriver.log"), "w+")
        self.driver = subprocess.Popen(
            [chromedriver, "--port=%d" % port, "--allowed-ips=127.0.0.1"],
            stdout=self.driver_log, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        try:
            self._wait_for_driver()
            flags = CHROMIUM_FLAGS + [
                "--user-data-dir=" + os.path.join(self.profile, "profile"),
                "--window-size=%d,%d" % (self.width, self.height),
            ]
            answer = self._request("POST", "/session", {"capabilities": {"alwaysMatch": {
                "browserName": "chrome",
                "goog:chromeOptions": {"binary": chromium, "args": flags},
                "goog:loggingPrefs": {"browser": "ALL"},
            }}})
            self.session = answer["sessionId"]
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, *exc):
        if self.session:
            try:
                self._request("DELETE", "/session/" + self.session, timeout=20)
            except (WebDriverError, OSError):
                pass
            self.session = None
        if self.driver:
            self.driver.terminate()
            try:
                self.driver.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.driver.kill()
                self.driver.wait()
            self.driver = None
        if self.driver_log:
            self.driver_log.close()
            self.driver_log = None
        if self.profile:
            shutil.rmtree(self.profile, ignore_errors=True)
            self.profile = None
        return False

    def _wait_for_driver(self):
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            if self.driver.poll() is not None:
                raise WebDriverError("chromedriver ended at once: " + self._driver_output())
            try:
                self._request("GET", "/status", timeout=2)
                return
            except (WebDriverError, OSError):
                time.sleep(0.1)
        raise WebDriverError("chromedriver did not answer: " + self._driver_output())

    def _driver_output(self):
        self.driver_log.flush()
        self.driver_log.seek(0)
        return self.driver_log.read()[-2000:]

    def _request(self, method, path, body=None, timeout=None):
        data = None if body is None else json.dumps(body).encode()
        request = urllib.request.Request(self.base + path, data=data, method=method,
                                         headers={"Content-Type": "application/json"})
        try:
            with urllib.request.urlopen(request, timeout=timeout or self.timeout) as response:
                answer = json.loads(response.read().decode() or "{}")
        except urllib.error.HTTPError as error:
            text = error.read().decode(errors="replace")
            try:
                value = json.loads(text).get("value", {})
                text = "%s: %s" % (value.get("error"), value.get("message", "")[:2000])
            except ValueError:
                pass
            raise WebDriverError("%s %s: %s" % (method, path, text)) from None
        return answer.get("value", answer)

    def _session(self, method, path, body=None):
        return self._request(method, "/session/%s%s" % (self.session, path), body)

    # ---- what a test does

    def open(self, path):
        """Loads a local file and waits for it to load."""
        self._session("POST", "/url", {"url": "file://" + os.path.abspath(path)})

    def run(self, script, *args):
        """Runs `script` (a function body) in the page and gives what it returns."""
        return self._session("POST", "/execute/sync", {"script": script, "args": list(args)})

    def run_async(self, script, *args):
        """Runs `script`, which ends by calling its last argument with the result."""
        return self._session("POST", "/execute/async", {"script": script, "args": list(args)})

    def move_pointer(self, x, y):
        """Moves the mouse to (x, y), CSS pixels of the viewport, as a user would."""
        self._session("POST", "/actions", {"actions": [{
            "type": "pointer", "id": "mouse", "parameters": {"pointerType": "mouse"},
            "actions": [{"type": "pointerMove", "duration": 0, "origin": "viewport",
                         "x": int(round(x)), "y": int(round(y))}]}]})

    def scroll_wheel(self, x, y, delta_y):
        """Turns the mouse wheel at (x, y)."""
        self._session("POST", "/actions", {"actions": [{
            "type": "wheel", "id": "wheel",
            "actions": [{"type": "scroll", "duration": 0, "origin": "viewport",
                         "x": int(round(x)), "y": int(round(y)),
                         "deltaX": 0, "deltaY": int(delta_y)}]}]})

    def click(self, selector):
        element = self._session("POST", "/element", {"using": "css selector", "value": selector})
        key = next(iter(element.values()))
        self._session("POST", "/element/%s/click" % key, {})

    def release_actions(self):
        self._session("DELETE", "/actions")

    def screenshot(self, path):
        png = base64.b64decode(self._session("GET", "/screenshot"))
        with open(path, "wb") as out:
            out.write(png)

    def console(self):
        """The browser's console messages since the last call: (level, message) pairs."""
        entries = self._session("POST", "/se/log", {"type": "browser"})
        return [(entry.get("level"), entry.get("message")) for entry in entries]
