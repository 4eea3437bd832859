#!/usr/bin/env python3
"""How long headless Chromium takes to draw the route sheet of a long line.

Writes the descriptions of a generated line (route_sheet_benchmark --write-descriptions), makes
its sheet with binario view, loads it REPEAT times in a fresh headless Chromium each, and prints
the times the page itself measures:

  paint     navigation start to the first paint, which shows the drawings as binario view
            drew them, before the script has run (first-contentful-paint)
  load      navigation start to the load event: the file read, the page and its SVG parsed,
            the script run (performance.getEntriesByType('navigation'))
  script    the page's script alone: data decoded, the drawing redone for the view, ready
  drawn     navigation start to the first frame after the script ended
  redraw    a new view drawn (setView), for views of the whole route down to 1 km

    route_sheet_browser.py --bin BUILD/bin [--km 1000] [--repeat 5]
"""

import argparse
import os
import statistics
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "testing"))
import webdriver  # noqa: E402

MEASURE = """
const done = arguments[arguments.length - 1];
const navigation = performance.getEntriesByType('navigation')[0];
requestAnimationFrame(() => requestAnimationFrame(() => {
  const end = window.routeSheet.view().to;
  const redraw = {};
  for (const span of [end, 100000, 10000, 1000]) {
    const times = [];
    for (let i = 0; i < 5; i++) {
      const a = Math.max(0, end / 2 - span / 2 + i * span / 50);
      const t = performance.now();
      window.routeSheet.setView(a, a + span);
      times.push(performance.now() - t);
    }
    times.sort((p, q) => p - q);
    redraw[span] = times[2];
  }
  const paint = performance.getEntriesByName('first-contentful-paint')[0];
  done({paint: paint ? paint.startTime : null, load: navigation.loadEventEnd,
        script: window.routeSheet.scriptMs,
        drawn: window.routeSheet.drawnMs, redraw: redraw});
}));
"""


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True, help="the folder of binario and the benchmarks")
    parser.add_argument("--km", type=int, default=1000)
    parser.add_argument("--repeat", type=int, default=5)
    args = parser.parse_args()
    args.bin = os.path.abspath(args.bin)

    with tempfile.TemporaryDirectory(prefix="binario-sheet-bench-") as folder:
        subprocess.run([os.path.join(args.bin, "route_sheet_benchmark"), "--write-descriptions",
                        folder, str(args.km)], check=True)
        subprocess.run([os.path.join(args.bin, "binario"), "view", "Lunga_linea.txt",
                        "Lunga_1-.txt", "--line-name", "Lunga", "--train-number", "1", "-o",
                        "sheet.html"], cwd=folder, check=True, stdout=subprocess.DEVNULL)
        page = os.path.join(folder, "sheet.html")
        size = os.path.getsize(page)
        runs = []
        for _ in range(args.repeat):
            with webdriver.Browser(width=1600, height=1000, timeout=120) as browser:
                browser.open(page)
                runs.append(browser.run_async(MEASURE))
                errors = [m for level, m in browser.console() if level == "SEVERE"]
                if errors:
                    sys.exit("the page reported errors: %s" % errors)

    median = lambda key: statistics.median(r[key] for r in runs)  # noqa: E731
    print("route sheet of a generated %d km line: %.1f MB, %d loads in headless Chromium"
          % (args.km, size / 1e6, len(runs)))
    print("  %-8s %9s %9s %9s" % ("", "median", "min", "max"))
    for key in ("paint", "load", "script", "drawn"):
        values = [r[key] for r in runs]
        print("  %-8s %7.0f ms %6.0f ms %6.0f ms" % (key, median(key), min(values), max(values)))
    for span in runs[0]["redraw"]:
        values = [r["redraw"][span] for r in runs]
        print("  redraw of a view of %7d m: %5.1f ms (median)"
              % (int(float(span)), statistics.median(values)))


if __name__ == "__main__":
    main()
