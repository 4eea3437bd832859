"""binario view's route sheet in a real browser: headless Chromium, driven through chromedriver.

Each test runs the real binario in a temporary folder, loads the page it wrote and looks at the
DOM: what is drawn, and what a real pointer shows. What the page should show is worked out here
on our own, from the scenario's description and compiled files.

    view_browser_test.py --binario PATH --source REPO --artefacts DIR [Suite.Case ...]
"""

import argparse
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "testing"))
import webdriver  # noqa: E402

ARGS = None


def source(*parts):
    return os.path.join(ARGS.source, *parts)


def binario(folder, *arguments):
    run = subprocess.run([ARGS.binario, *arguments], cwd=folder, capture_output=True, timeout=120)
    return run.returncode, run.stdout.decode(errors="replace"), run.stderr.decode(errors="replace")


def varelbo_descriptions():
    return (source("scenario", "testdata", "Varelbo_linea.txt"),
            source("scenario", "testdata", "Varelbo_3874-.txt"))


def description_records(path, keyword):
    """The records of a description file that begin with `keyword`, split at the commas."""
    with open(path, "rb") as f:
        text = f.read().decode("cp1252")
    return [[v.strip() for v in line.split(",")] for line in text.splitlines()
            if line.strip().startswith(keyword + ",")]


def track_cells(path):
    """The cells of a track file: 15 bytes each (docs/compiled-files.md)."""
    with open(path, "rb") as f:
        data = f.read()
    names = ("tipo", "dato1", "dato2", "dato3", "dato4", "dato5", "avviso", "montagna",
             "velocita", "pendenza", "aderenza")
    return [dict(zip(names, struct.unpack_from("<BhhhhBBBBBB", data, 15 * k)))
            for k in range(len(data) // 15)]


def expected_at(cells, metre):
    """What the route holds at `metre`: elevation (mm), gradient, speed, adhesion."""
    gradient = [0 if c["pendenza"] == 0 else c["pendenza"] - 100 for c in cells]
    cell = metre // 50
    elevation = sum(50 * g for g in gradient[:cell]) + gradient[cell] * (metre - 50 * cell)
    return {"elevation": elevation, "gradient": gradient[cell],
            "speed": 5 * cells[cell]["velocita"], "adhesion": cells[cell]["aderenza"]}


class RouteSheetBrowser(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory(prefix="binario-view-")
        cls.page = os.path.join(cls.folder.name, "route.html")
        # The descriptions beside the page, named as an author names them on the command line.
        for path in varelbo_descriptions():
            shutil.copy(path, cls.folder.name)
        status, out, err = binario(cls.folder.name, "view", "Varelbo_linea.txt",
                                   "Varelbo_3874-.txt", "--line-name", "Varelbo",
                                   "--train-number", "3874", "-o", "route.html")
        assert status == 0, err
        assert out == "route.html\n", out
        cls.cells = track_cells(source("compiler", "testdata", "Varelbo_3874.dat"))

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def setUp(self):
        self.browser = webdriver.Browser(width=1600, height=1000).__enter__()

    def tearDown(self):
        try:
            errors = [m for level, m in self.browser.console() if level == "SEVERE"]
            self.assertEqual(errors, [], "the page reported errors")
        finally:
            self.browser.__exit__(None, None, None)

    def load(self, page=None):
        self.browser.open(page or self.page)
        self.assertEqual(self.browser.run(
            "return document.getElementById('route-sheet').getAttribute('data-ready')"), "true")

    def keep_screenshot(self, name):
        os.makedirs(ARGS.artefacts, exist_ok=True)
        self.browser.screenshot(os.path.join(ARGS.artefacts, name))

    def settle(self):
        """Waits until the page has drawn what an event asked for: it draws at the next frame."""
        self.browser.run_async("const done = arguments[arguments.length - 1];"
                               "requestAnimationFrame(() => requestAnimationFrame(() => done()));")

    def click(self, selector):
        self.browser.click(selector)
        self.settle()

    def point(self, where, metre):
        """Where `metre` is drawn now, in client pixels."""
        self.settle()
        return self.browser.run("return window.routeSheet.clientPoint(arguments[0], arguments[1])",
                                where, metre)

    def hover(self, where, metre):
        p = self.point(where, metre)
        self.assertIsNotNone(p, "metre %d is not drawn on the %s" % (metre, where))
        self.browser.move_pointer(p["x"], p["y"])
        return self.shown()

    def shown(self):
        """What the info panel shows: each field's text and value, and its blocks."""
        return self.browser.run("""
            const shown = {};
            for (const el of document.querySelectorAll('#info [data-field]')) {
              const key = el.getAttribute('data-field');
              (shown[key] = shown[key] || []).push(
                  {text: el.textContent, value: el.getAttribute('data-value')});
            }
            return shown;""")

    def view(self):
        return self.browser.run("return window.routeSheet.view()")

    def cursor(self):
        """Where the cursor stands: the line on the profile, the dot on the plan (client px)."""
        return self.browser.run("""
            const box = (id) => {
              const el = document.getElementById(id);
              if (el.getAttribute('visibility') === 'hidden') return null;
              const r = el.getBoundingClientRect();
              return {x: r.x + r.width / 2, y: r.y + r.height / 2};
            };
            return {line: box('cursor-line'), plan: box('plan-cursor')};""")

    def check_values(self, shown, metre):
        want = expected_at(self.cells, metre)
        self.assertEqual(int(shown["metre"][0]["value"]), metre)
        self.assertEqual(shown["chainage"][0]["text"], "km %d+%03d" % (metre // 1000, metre % 1000))
        self.assertEqual(int(shown["elevation"][0]["value"]), want["elevation"])
        mm = want["elevation"]
        self.assertTrue(shown["elevation"][0]["text"].startswith(
            "%s%d.%03d m" % ("-" if mm < 0 else "+" if mm > 0 else "", abs(mm) // 1000,
                             abs(mm) % 1000)), shown["elevation"])
        self.assertEqual(int(shown["gradient"][0]["value"]), want["gradient"])
        self.assertEqual(int(shown["speed"][0]["value"]), want["speed"])
        self.assertEqual(shown["speed"][0]["text"], "%d km/h" % want["speed"])
        self.assertEqual(int(shown["adhesion"][0]["value"]), want["adhesion"])

    def testDrawsTheVarelboRoute(self):
        self.load()
        drawn = self.browser.run("""
            const all = (s) => Array.from(document.querySelectorAll(s));
            const profile = document.getElementById('profile');
            return {
              track: document.getElementById('plan-track').getAttribute('d'),
              stations: all('#plan-stations .station').map((el) => ({
                  name: el.getAttribute('data-name'), m: Number(el.getAttribute('data-m')),
                  text: el.querySelector('text').textContent,
                  stops: el.classList.contains('stops')})),
              lane_stations: all('#lane-marks .station').length,
              profile_names: all('#profile-stations .station-name').map((el) => el.textContent),
              plan_signals: all('#plan-objects .signal').map((el) => Number(el.dataset.m)),
              lane_signals: all('#lane-marks .signal').map((el) => Number(el.dataset.m)),
              problems: all('#lane-marks .problem').map((el) => Number(el.dataset.m)),
              listed: all('#problems li').map((el) => el.textContent),
              from: profile.getAttribute('data-from'), to: profile.getAttribute('data-to'),
              line: document.getElementById('profile-line').getAttribute('d'),
              ends: all('#plan-ends .end-mark').map((el) => el.textContent),
            };""")
        self.keep_screenshot("route_sheet_varelbo.png")

        # The plan: a path of many points, but far fewer than the 122 000 metres it draws.
        points = re.findall(r"[ML]([-\d.]+) ([-\d.]+)", drawn["track"])
        self.assertGreater(len(points), 100)
        self.assertLess(len(points), 5000)
        self.assertEqual(drawn["ends"], ["start", "end"])

        # The stations and signals of the train description, each where it stands.
        line, train = varelbo_descriptions()
        stations = description_records(train, "stazione")
        self.assertEqual(len(stations), 15)
        self.assertEqual([s["name"] for s in drawn["stations"]], [s[-1] for s in stations])
        self.assertEqual([s["text"] for s in drawn["stations"]], [s[-1] for s in stations])
        self.assertEqual([s["m"] for s in drawn["stations"]], [int(s[1]) for s in stations])
        self.assertEqual([s["stops"] for s in drawn["stations"]],
                         [int(s[2]) < 25 for s in stations])
        self.assertEqual(drawn["lane_stations"], 15)
        self.assertEqual(drawn["profile_names"], [s[-1] for s in stations])
        signals = sorted(int(s[1]) for s in description_records(train, "segnale"))
        self.assertEqual(len(signals), 16)
        self.assertEqual(sorted(drawn["plan_signals"]), signals)
        self.assertEqual(sorted(drawn["lane_signals"]), signals)

        # The profile spans the line, 0 to 115 000 m.
        self.assertEqual((drawn["from"], drawn["to"]), ("0", "115000"))
        xs = [float(x) for x in re.findall(r"[ML]([-\d.]+) ", drawn["line"])]
        self.assertEqual((xs[0], xs[-1]), (0, 115000))
        self.assertEqual(xs, sorted(xs))

        # binario check's one warning, marked where it applies and listed.
        status, out, _ = binario(self.folder.name, "check", line, train, "--json")
        positions = [d["position_m"] for d in json.loads(out)["diagnostics"]]
        self.assertEqual(positions, [32500])
        self.assertEqual(drawn["problems"], positions)
        self.assertEqual(len(drawn["listed"]), 1)
        self.assertIn("[curve-overlap]", drawn["listed"][0])

    def testHoverLinksThePlanAndTheProfile(self):
        self.load()
        # Zoomed in with the wheel, as an author does, until a pixel is less than a metre.
        p = self.point("profile", 71050)
        for _ in range(30):
            if self.view()["to"] - self.view()["from"] <= 1000:
                break
            self.browser.scroll_wheel(p["x"], p["y"], -500)
            p = self.point("profile", 71050)
        view = self.view()
        self.assertLessEqual(view["to"] - view["from"], 1000)
        self.assertTrue(view["from"] < 71050 < view["to"], view)

        # Over the profile: the metre under the pointer, and its values.
        span = view["to"] - view["from"]
        for target in (round(view["from"] + f * span) for f in (0.15, 0.5, 0.85)):
            shown = self.hover("profile", target)
            metre = int(shown["metre"][0]["value"])
            self.assertLessEqual(abs(metre - target), 1)
            self.check_values(shown, metre)
            cursor = self.cursor()
            self.assertIsNotNone(cursor["plan"], "the plan marks the same metre")
            on_plan = self.point("plan", metre)
            self.assertAlmostEqual(cursor["plan"]["x"], on_plan["x"], delta=1.5)
            self.assertAlmostEqual(cursor["plan"]["y"], on_plan["y"], delta=1.5)

        # Over the signals' lane: the signal at 71 050 m, its cell in words, and its record.
        shown = self.hover(1, 71050)
        self.check_values(shown, 71050)
        self.assertEqual(shown["cell"][0]["value"], "1422")
        self.assertIn("cell 1422, metre 71050: signal", shown["cell"][0]["text"])
        self.assertIn("dato1 50: s1*10 + d1: s1 5, d1 0", shown["cell"][0]["text"])
        self.assertIn("segnale, line 38, 71050 m -> cell 1422 (71050 m)", shown["cell"][0]["text"])

        # Over the plan, at the station of MOLARE: its metre, its values, and on the profile
        # the cursor at the same metre.
        self.click("#zoom-whole")
        shown = self.hover("plan", 62350)
        self.check_values(shown, 62350)
        self.assertEqual(shown["station"][0]["value"], "MOLARE")
        self.assertIn("the train stops, at 9:15:00", shown["station"][0]["text"])
        cursor = self.cursor()
        self.assertAlmostEqual(cursor["line"]["x"], self.point("profile", 62350)["x"], delta=1.5)
        # The README's picture (docs/images/varelbo-route-sheet.png).
        self.keep_screenshot("route_sheet_hover.png")

        # Over the plan, off any marker: the nearest metre of the track, to within a pixel.
        plan_scale = self.browser.run(
            "return document.getElementById('route-sheet').getScreenCTM().a * "
            "Number(document.getElementById('plan').getAttribute('data-scale'))")
        shown = self.hover("plan", 20000)
        metre = int(shown["metre"][0]["value"])
        self.assertLessEqual(abs(metre - 20000), 1 / plan_scale + 1)
        self.check_values(shown, metre)

        # The warning, at its mark.
        shown = self.hover(5, 32500)
        self.assertIn("[curve-overlap]", shown["problem"][0]["text"])

    def testZoomsAndPansAlongTheRoute(self):
        self.load()
        whole = self.view()
        self.assertEqual((whole["from"], whole["to"]), (0, 122000))
        # The wheel zooms around the metre under the pointer: it stays under the pointer.
        p = self.point("profile", 90000)
        self.browser.scroll_wheel(p["x"], p["y"], -400)
        zoomed = self.view()
        self.assertLess(zoomed["to"] - zoomed["from"], 122000)
        self.assertAlmostEqual(self.point("profile", 90000)["x"], p["x"], delta=1)
        ticks = self.browser.run(
            "return Array.from(document.querySelectorAll('#axis text')).map((t) => t.textContent)")
        self.assertTrue(all(zoomed["from"] - 1 <= int(t[3:].replace("+", "")) <= zoomed["to"] + 1
                            for t in ticks), ticks)
        # A drag pans: the route moves with the pointer.
        self.browser._session("POST", "/actions", {"actions": [{
            "type": "pointer", "id": "mouse", "parameters": {"pointerType": "mouse"},
            "actions": [
                {"type": "pointerMove", "duration": 0, "origin": "viewport",
                 "x": int(p["x"]), "y": int(p["y"])},
                {"type": "pointerDown", "button": 0},
                {"type": "pointerMove", "duration": 100, "origin": "viewport",
                 "x": int(p["x"]) + 200, "y": int(p["y"])},
                {"type": "pointerUp", "button": 0}]}]})
        panned = self.view()
        self.assertAlmostEqual(panned["to"] - panned["from"], zoomed["to"] - zoomed["from"], 3)
        self.assertLess(panned["from"], zoomed["from"])
        self.assertAlmostEqual(self.point("profile", 90000)["x"], p["x"] + 200, delta=2)
        # Zoomed into a stretch, the plan fits that stretch and marks it.
        highlighted = self.browser.run(
            "return document.getElementById('plan-view').getAttribute('d').length")
        self.assertGreater(highlighted, 0)
        # The whole route again: the page draws what binario view --svg draws.
        self.click("#zoom-whole")
        self.assertEqual(self.view(), whole)
        status, _, err = binario(self.folder.name, "view", "--route",
                                 source("compiler", "testdata"), "--line-name", "Varelbo",
                                 "--train-number", "3874", "--svg", "-o", "route.svg")
        self.assertEqual(status, 0, err)
        with open(os.path.join(self.folder.name, "route.svg"), encoding="utf-8") as f:
            static = f.read()
        mark = r'<g class="mk ([^"]*)" data-m="(\d+)"[^>]*transform="translate\(([-\d.]+) ([-\d.]+)\)"'
        static_marks = [(c, int(m), float(x), float(y)) for c, m, x, y in re.findall(mark, static)
                        if "station-name" not in c]
        drawn_marks = self.browser.run("""
            return Array.from(document.querySelectorAll('#route-sheet .mk[data-m]'))
                .filter((el) => !el.classList.contains('station-name'))
                .map((el) => {
                  const t = el.getAttribute('transform').match(/translate\\(([-\\d.]+) ([-\\d.]+)/);
                  return [el.getAttribute('class').replace(/^mk /, ''), Number(el.dataset.m), Number(t[1]),
                          Number(t[2])];
                });""")
        # The same plan, thinned the same way.
        static_track = re.search(r'id="plan-track" class="track" d="([^"]*)"', static).group(1)
        drawn_track = self.browser.run(
            "return document.getElementById('plan-track').getAttribute('d')")
        static_points = re.findall(r"[ML]([-\d.]+) ([-\d.]+)", static_track)
        drawn_points = re.findall(r"[ML]([-\d.]+) ([-\d.]+)", drawn_track)
        self.assertEqual(len(static_points), len(drawn_points))
        for (x1, y1), (x2, y2) in zip(static_points, drawn_points):
            self.assertAlmostEqual(float(x1), float(x2), delta=0.15)
            self.assertAlmostEqual(float(y1), float(y2), delta=0.15)
        # The page reads its route from the descriptions, whose check marks one problem more.
        drawn_marks = [m for m in drawn_marks if "problem" not in m[0]]
        self.assertEqual(len(drawn_marks), len(static_marks))
        for (c1, m1, x1, y1), (c2, m2, x2, y2) in zip(static_marks, drawn_marks):
            self.assertEqual((c1, m1), (c2, m2))
            self.assertAlmostEqual(x1, x2, delta=0.15, msg=c1)
            self.assertAlmostEqual(y1, y2, delta=0.15, msg=c1)

    def testTextsStayTexts(self):
        with tempfile.TemporaryDirectory(prefix="binario-view-") as folder:
            with open(os.path.join(folder, "Odd_linea.txt"), "wb") as f:
                f.write(b"[generale]\r\nlunghezza percorso, 10000\r\n[curve]\r\n"
                        b"curvas4, 1000, 500\r\n[indicazioni]\r\n"
                        b"cartello_indicatore, 3000, (<img src=x onerror=alert(1)>)\r\n[fine]\r\n")
            with open(os.path.join(folder, "Odd_1-.txt"), "wb") as f:
                f.write(b"[generale]\r\naderenza, 0, 100\r\nvelocita, 0, 100\r\n[stazioni]\r\n"
                        b"stazione, 2000, 2, 400, 1, 0, 0, 4,1,0, 2,1,1, 1, 9, 0, 0, </script><b>\r\n"
                        b"stazione, 6000, 28, 400, 0, 0, 0, 0,0,0, 0,0,0, 15, 9, 4, 0, "
                        b"CITT\xc0 & <!-- \"X\"\r\n[fine]\r\n")
            for output, extra in (("odd.html", []), ("odd.svg", ["--svg"])):
                status, _, err = binario(folder, "view", "Odd_linea.txt", "Odd_1-.txt",
                                         "--line-name", "<Odd>", "--train-number", "1", "-o",
                                         output, *extra)
                self.assertEqual(status, 0, err)
            self.load(os.path.join(folder, "odd.html"))
            found = self.browser.run("""
                return {
                  names: Array.from(document.querySelectorAll('#plan-stations .station'))
                      .map((el) => el.querySelector('text').textContent),
                  bold: document.querySelectorAll('b:not(#info b)').length,
                  images: document.querySelectorAll('img').length,
                  title: document.title,
                };""")
            self.assertEqual(found["names"], ["</script><b>", "CITT\u00c0 & <!-- \"X\""])
            self.assertEqual(found["bold"], 0)
            self.assertEqual(found["images"], 0)
            self.assertEqual(found["title"], "<Odd>, train 1 \u2014 route sheet")
            shown = self.hover(3, 3000)  # the sign board, in cell 61
            self.assertIn("(<img src=x onerror=alert(1)>)", shown["cell"][0]["text"])
            # The SVG alone is well-formed XML: a browser shows it, not a parser error.
            self.browser.open(os.path.join(folder, "odd.svg"))
            svg = self.browser.run("""
                return {errors: document.getElementsByTagName('parsererror').length,
                        root: document.documentElement.localName,
                        names: Array.from(document.querySelectorAll('#plan-stations text'))
                            .map((t) => t.textContent)};""")
            self.assertEqual(svg, {"errors": 0, "root": "svg",
                                   "names": ["</script><b>", "CITT\u00c0 & <!-- \"X\""]})

    def testFromCompiledFiles(self):
        with tempfile.TemporaryDirectory(prefix="binario-view-") as folder:
            status, out, err = binario(folder, "view", "--route", source("compiler", "testdata"),
                                       "--line-name", "Varelbo", "--train-number", "3874",
                                       "--output", "folder.html")
            self.assertEqual((status, out), (0, "folder.html\n"), err)
            self.load(os.path.join(folder, "folder.html"))
            shown = self.hover("profile", 100000)
            self.check_values(shown, int(shown["metre"][0]["value"]))
            text = self.browser.run("return document.getElementById('problems').textContent")
            self.assertIn("Not checked", text)

            # A track file no compile step writes, alone: every kind of cell, extreme data.
            odd = os.path.join(folder, "odd")
            os.mkdir(odd)
            with open(os.path.join(odd, "Odd_1.dat"), "wb") as f:
                for k in range(400):
                    f.write(struct.pack("<BhhhhBBBBBB", k % 256, -32768 if k % 2 else 32767,
                                        -1, k, -k, 255, (7 * k) % 256, k % 256, 255,
                                        1 if k % 2 else 255, 255))
            status, _, err = binario(folder, "view", "--route", odd, "--line-name", "Odd",
                                     "--train-number", "1", "-o", "odd.html")
            self.assertEqual(status, 0, err)
            self.load(os.path.join(folder, "odd.html"))
            for where in ("profile", 0, 1, 2, 3, 4, 5):
                for metre in (100, 4975, 13000, 19900):
                    shown = self.hover(where, metre)
                    self.assertIn("metre", shown)
            self.click("#zoom-in")
            view = self.view()
            self.assertAlmostEqual(view["to"] - view["from"], 19950 / 2, delta=1)
            shown = self.hover("profile", 10000)
            metre = int(shown["metre"][0]["value"])
            self.assertLessEqual(abs(metre - 10000), (view["to"] - view["from"]) / 500)
            self.assertEqual(shown["chainage"][0]["text"], "km %d+%03d" % divmod(metre, 1000))


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--binario", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--artefacts", required=True)
    ARGS, rest = parser.parse_known_args()
    # CTest names the tests Suite.Case; the methods are Suite.testCase.
    names = [re.sub(r"\.(\w+)$", r".test\1", name) for name in rest]
    unittest.main(argv=[sys.argv[0], "-v", *names])


if __name__ == "__main__":
    main()
