#!/usr/bin/python3
"""A small order shop on this machine: HTTP for the catalogue and the message, FTP for
uploaded order packages. It listens on the loopback address unless told otherwise.

    /usr/bin/python3 tools/vendor/shop_server.py --root DIR [options]

DIR/www is the web root (owiz-bc.bin, owiz-bc.rtf) and DIR/ftp the FTP root, where
anonymous users may change directory and store files (packages land in DIR/ftp/<dir>).
With --catalogue, the readable catalogue description is signed at start-up by
ostravel-vendor, with "upload_host" set to this server's FTP address when it is empty or
"auto". When the servers listen, one line per server ("http HOST PORT", "ftp HOST PORT")
and then "ready" are printed on stdout. Port 0 picks a free port; -1 turns a server off.

Needs Debian's python3-pyftpdlib (hence /usr/bin/python3) for the FTP server.
"""

import argparse
import functools
import http.server
import json
import os
import signal
import subprocess
import sys
import tempfile
import threading
import time
import warnings

HERE = os.path.dirname(os.path.abspath(__file__))


def start_http(host, port, www):
    handler = functools.partial(QuietHandler, directory=www)
    server = http.server.ThreadingHTTPServer((host, port), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, server.server_address[1]


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    delay = 0.0  # seconds before each answer (--http-delay, for tests of a slow server)

    def do_GET(self):
        if self.delay > 0:
            time.sleep(self.delay)
        super().do_GET()

    def log_message(self, fmt, *args):
        sys.stderr.write("http: " + (fmt % args) + "\n")


def start_ftp(host, port, root, throttle):
    warnings.simplefilter("ignore")  # pyftpdlib warns about anonymous write access
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
    from pyftpdlib.servers import FTPServer
    import logging
    logging.basicConfig(stream=sys.stderr, level=logging.WARNING)

    authorizer = DummyAuthorizer()
    authorizer.add_anonymous(root, perm="elrw")

    class Handler(FTPHandler):
        pass

    Handler.authorizer = authorizer
    Handler.banner = "Ostravel demo shop ready."
    if throttle > 0:
        class Slow(ThrottledDTPHandler):
            read_limit = throttle
        Handler.dtp_handler = Slow
    server = FTPServer((host, port), Handler)
    threading.Thread(target=server.serve_forever, kwargs={"handle_exit": False}, daemon=True).start()
    return server, server.address[1]


def sign_catalogue(args, host, ftp_port, www, ftp):
    with open(args.catalogue, encoding="utf-8") as f:
        description = json.load(f)
    # The folder that orders are uploaded into.
    upload_dir = description.get("upload_dir", "").strip("/")
    if upload_dir:
        os.makedirs(os.path.join(ftp, upload_dir), exist_ok=True)
    if description.get("upload_host", "auto") in ("", "auto"):
        if ftp_port is None:
            sys.exit("shop_server: --catalogue needs the FTP server for its upload host")
        description["upload_host"] = "%s:%d" % (host, ftp_port)
    with tempfile.NamedTemporaryFile("w", suffix=".json", delete=False, encoding="utf-8") as tmp:
        json.dump(description, tmp)
    try:
        subprocess.run([args.vendor, "sign", tmp.name, os.path.join(www, "owiz-bc.bin"), "--key", args.key],
                       check=True)
    finally:
        os.unlink(tmp.name)


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--root", required=True, help="folder holding www/ and ftp/ (created when missing)")
    p.add_argument("--host", default="127.0.0.1")
    p.add_argument("--http-port", type=int, default=8780)
    p.add_argument("--ftp-port", type=int, default=8721)
    p.add_argument("--throttle", type=int, default=0, help="FTP upload limit in bytes per second (0: none)")
    p.add_argument("--http-delay", type=float, default=0.0, help="seconds the web server waits before answering")
    p.add_argument("--catalogue", help="readable catalogue description (JSON) to sign at start-up")
    p.add_argument("--message", help="rich-text message to serve as owiz-bc.rtf")
    p.add_argument("--vendor", default=os.environ.get("OSTRAVEL_VENDOR", "ostravel-vendor"),
                   help="the ostravel-vendor program (for --catalogue)")
    p.add_argument("--key", default=os.path.join(HERE, "demo-signing.key"), help="signing key (for --catalogue)")
    args = p.parse_args()

    QuietHandler.delay = args.http_delay
    www = os.path.join(args.root, "www")
    ftp = os.path.join(args.root, "ftp")
    os.makedirs(www, exist_ok=True)
    os.makedirs(ftp, exist_ok=True)

    servers = []
    ftp_port = None
    if args.ftp_port >= 0:
        server, ftp_port = start_ftp(args.host, args.ftp_port, ftp, args.throttle)
        servers.append(("ftp", server, ftp_port))
    http_port = None
    if args.http_port >= 0:
        server, http_port = start_http(args.host, args.http_port, www)
        servers.append(("http", server, http_port))
    if args.catalogue:
        sign_catalogue(args, args.host, ftp_port, www, ftp)
    if args.message:
        with open(args.message, "rb") as src, open(os.path.join(www, "owiz-bc.rtf"), "wb") as dst:
            dst.write(src.read())

    for kind, _, port in servers:
        print("%s %s %d" % (kind, args.host, port))
    print("ready", flush=True)

    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())
    stop.wait()
    for kind, server, _ in servers:
        if kind == "http":
            server.shutdown()
        else:
            server.close_all()


if __name__ == "__main__":
    main()
