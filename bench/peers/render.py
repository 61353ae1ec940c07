#!/usr/bin/python3
"""The three benchmark pages rendered by Jinja2, the peer the page host is compared with.

  render.py --write DIR     writes calendar.html, tabs.html and tree.html into DIR
  render.py --time RENDERS  renders each page RENDERS times in batches and prints, per
                            page, "name microseconds" for the median batch (thread CPU time)

The data is what the page scripts in bench/pages pass to the components; the
templates are compiled once, as a server keeps them, and only render() is timed.
"""
import os
import sys
import time

import jinja2

HERE = os.path.dirname(os.path.abspath(__file__))
TAB_NAMES = ["Overview", "Details", "History", "Orders", "Notes"]
TAB_COLOURS = ["e0e0e0", "EFEFEF", "FEFEFE", "FFFFFF", "FFFFFF"]

CONTEXTS = {
    "calendar": {"name": "cal1", "month": 2, "year": 2003},
    "tabs": {
        "tab_width": 90, "panel_width": 500, "panel_height": 300,
        "tabs": [{"name": n, "url": n.lower() + ".html", "colour": c}
                 for n, c in zip(TAB_NAMES, TAB_COLOURS)],
    },
    "tree": {
        "menus": [{"name": "Group %d" % m,
                   "nodes": [{"name": "Report %d.%d" % (m, n), "url": "reports/%d/%d.asp" % (m, n),
                              "target": "main"} for n in range(1, 11)]}
                  for m in range(1, 6)],
    },
}


def templates():
    env = jinja2.Environment(loader=jinja2.FileSystemLoader(HERE), newline_sequence="\r\n",
                             keep_trailing_newline=True, autoescape=False)
    return {name: env.get_template(name + ".html.j2") for name in CONTEXTS}


def main(argv):
    if len(argv) != 3 or argv[1] not in ("--write", "--time"):
        sys.stderr.write(__doc__)
        return 2
    pages = templates()
    if argv[1] == "--write":
        for name, template in pages.items():
            with open(os.path.join(argv[2], name + ".html"), "wb") as out:
                out.write(template.render(CONTEXTS[name]).encode())
        return 0
    renders = max(int(argv[2]), 10)
    batch = max(renders // 10, 1)
    for name, template in pages.items():
        context = CONTEXTS[name]
        times = []
        for _ in range(renders // batch):
            start = time.thread_time_ns()
            for _ in range(batch):
                template.render(context)
            times.append((time.thread_time_ns() - start) / batch)
        times.sort()
        print("%s %.3f" % (name, times[len(times) // 2] / 1000))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
