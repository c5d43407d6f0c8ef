#!/usr/bin/env python3
"""Holds index.html's Content-Security-Policy to the page's inline scripts.

The page runs only its own files, the blob its module starts from and the inline scripts
whose SHA-256 the policy lists. An inline script changed without its hash would be
refused by every browser, quietly: the build stops instead, naming the hash the policy
needs. Usage: check_page_policy.py index.html STAMP (STAMP is touched when all is well).
"""
import base64
import hashlib
import pathlib
import re
import sys


def main(page_path, stamp_path):
    page = pathlib.Path(page_path).read_text(encoding="utf-8")
    policy = re.search(r'<meta http-equiv="Content-Security-Policy" content="([^"]*)"', page)
    if not policy:
        sys.exit(f"{page_path}: no Content-Security-Policy meta tag")
    missing = []
    for script in re.finditer(r"<script>(.*?)</script>", page, re.S):
        digest = base64.b64encode(hashlib.sha256(script.group(1).encode("utf-8")).digest()).decode()
        source = f"'sha256-{digest}'"
        if source not in policy.group(1):
            line = page.count("\n", 0, script.start()) + 1
            missing.append(f"{page_path}:{line}: the inline script hashes to {source}, which the policy does not list")
    if missing:
        sys.exit("\n".join(missing))
    pathlib.Path(stamp_path).touch()


if __name__ == "__main__":
    main(*sys.argv[1:])
