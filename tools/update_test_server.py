#!/usr/bin/env python3
"""Serve a Tesselo update from this machine, to try the update checker.

    tools/update_test_server.py [--port 8765] [--version 9.9.9] [--size 5000000]
    build/src/tesselo --update-info=http://127.0.0.1:8765/UpdateInfo.xml

The program checks about 65 seconds after it starts. It then shows
"Update available!"; "Install update" downloads the package served here
(slowly, so the progress can be watched) and the download dialog ends at
"Ready to install...". The package is random bytes: do not install it.

Only loopback addresses are accepted by the program's --update-info option,
and this server listens on 127.0.0.1 alone. Python standard library only.
"""

import argparse
import datetime
import hashlib
import http.server
import os
import socketserver
import time


def information(base, version, package_name, sha256):
    released = datetime.date.today() - datetime.timedelta(days=40)
    older = released - datetime.timedelta(days=90)
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<UpdateInfo>
  <VersionInfo>
    <current>{version}</current>
    <build>1508</build>
    <date>{released.day}/{released.month}/{released.year}</date>
    <changes>- Collages open faster
- CRITICAL: a crash when printing is fixed
- New stickers</changes>
    <url>
      <linux sha256="{sha256}">{base}/{package_name}</linux>
      <win min="6.1">{base}/tesselo-{version}-setup.exe</win>
    </url>
  </VersionInfo>
  <VersionInfo>
    <current>0.9.6</current>
    <date>{older.day}/{older.month}/{older.year}</date>
    <changes>- The version you have</changes>
    <url><linux>{base}/{package_name}</linux></url>
  </VersionInfo>
</UpdateInfo>
""".encode("utf-8")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=8765)
    parser.add_argument("--version", default="9.9.9")
    parser.add_argument("--size", type=int, default=5_000_000, help="package size in bytes")
    parser.add_argument("--seconds", type=float, default=4.0,
                        help="how long the download takes")
    options = parser.parse_args()

    base = f"http://127.0.0.1:{options.port}"
    package_name = f"tesselo_{options.version}_amd64.deb"
    package = os.urandom(options.size)
    xml = information(base, options.version, package_name,
                      hashlib.sha256(package).hexdigest())
    pieces = 50
    piece = max(1, len(package) // pieces)

    class Handler(http.server.BaseHTTPRequestHandler):
        def answer(self, with_body):
            if self.path == "/UpdateInfo.xml":
                body, kind = xml, "application/xml"
            elif self.path == "/" + package_name:
                body, kind = package, "application/vnd.debian.binary-package"
            else:
                self.send_error(404)
                return
            self.send_response(200)
            self.send_header("Content-Type", kind)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            if not with_body:
                return
            if body is xml:
                self.wfile.write(body)
                return
            for start in range(0, len(body), piece):
                self.wfile.write(body[start:start + piece])
                self.wfile.flush()
                time.sleep(options.seconds / pieces)

        def do_GET(self):
            self.answer(True)

        def do_HEAD(self):
            self.answer(False)

    class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
        daemon_threads = True

    with Server(("127.0.0.1", options.port), Handler) as server:
        print(f"Serving Tesselo {options.version} at {base}/UpdateInfo.xml")
        print(f"Start: build/src/tesselo --update-info={base}/UpdateInfo.xml", flush=True)
        server.serve_forever()


if __name__ == "__main__":
    main()
