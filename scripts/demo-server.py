#!/usr/bin/env python3
"""The demo's update server: serves a directory on 127.0.0.1 at a limited rate, so that the
launcher's progress can be watched. Usage: demo-server.py DIRECTORY PORT [BYTES_PER_SECOND]"""
import functools
import http.server
import sys
import time

CHUNK = 64 * 1024


class SlowHandler(http.server.SimpleHTTPRequestHandler):
    rate = 4 * 1024 * 1024

    def copyfile(self, source, outputfile):
        while True:
            chunk = source.read(CHUNK)
            if not chunk:
                return
            outputfile.write(chunk)
            time.sleep(len(chunk) / self.rate)

    def log_message(self, format, *args):
        pass


def main():
    directory, port = sys.argv[1], int(sys.argv[2])
    if len(sys.argv) > 3:
        SlowHandler.rate = int(sys.argv[3])
    handler = functools.partial(SlowHandler, directory=directory)
    http.server.ThreadingHTTPServer(("127.0.0.1", port), handler).serve_forever()


main()
