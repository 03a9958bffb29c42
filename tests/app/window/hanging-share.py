#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# A tiny read-only network share for the window's tests: mounted at the
# folder given, as an "sshfs" share of "fileserver", it holds the folder
# "sub" with two calendars. Stopping this process with SIGSTOP makes every
# look into the share wait, as a server that stopped answering does;
# SIGCONT lets it answer again.
import errno
import stat
import sys

try:
    from fusepy import FUSE, FuseOSError, Operations
except ImportError:  # the upstream name of the same module
    from fuse import FUSE, FuseOSError, Operations

CALENDAR = b"<datewright>\r\n<script>\r\n<daycal>\r\n<events>\r\n<eventcolor>1\r\n"
FOLDERS = {"/": ["sub"], "/sub": ["a.dw2", "b.dw2"]}
FILES = {"/sub/a.dw2": CALENDAR, "/sub/b.dw2": CALENDAR}


class Share(Operations):
    use_ns = True

    def getattr(self, path, fh=None):
        if path in FOLDERS:
            return {"st_mode": stat.S_IFDIR | 0o755, "st_nlink": 2}
        if path in FILES:
            return {"st_mode": stat.S_IFREG | 0o644, "st_nlink": 1, "st_size": len(FILES[path])}
        raise FuseOSError(errno.ENOENT)

    def readdir(self, path, fh):
        return [".", ".."] + FOLDERS[path]

    def open(self, path, flags):
        if path not in FILES:
            raise FuseOSError(errno.ENOENT)
        if flags & 3:
            raise FuseOSError(errno.EROFS)
        return 0

    def read(self, path, size, offset, fh):
        return FILES[path][offset:offset + size]


if __name__ == "__main__":
    FUSE(Share(), sys.argv[1], foreground=True, nothreads=True, ro=True,
         subtype="sshfs", fsname="fileserver:/share")
