#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""A network share for tests whose server can stop answering.

    hanging-share.py MOUNT_POINT SERVER:/EXPORT

Mounts a small file system kept in memory with FUSE, under the type of an
sshfs mount and the device SERVER:/EXPORT, so the namespace takes it for a
share of SERVER. It holds the folder "sub" with the calendar "sub/a.dw2",
and takes new folders. Nothing is cached by the kernel, so once the process
is stopped (SIGSTOP) every call on the share waits, as it does for a server
that stopped answering; SIGCONT lets them through. Runs until unmounted or
killed.
"""
import errno
import stat
import sys
import time

try:
    from fusepy import FUSE, FuseOSError, Operations  # Debian's python3-fusepy
except ImportError:
    from fuse import FUSE, FuseOSError, Operations


class Share(Operations):
    def __init__(self):
        self.folders = {"/", "/sub"}
        self.files = {"/sub/a.dw2": b"<datewright>\n"}
        self.started = time.time()

    def _attributes(self, mode, size):
        return dict(st_mode=mode, st_nlink=1, st_size=size, st_uid=0, st_gid=0,
                    st_atime=self.started, st_mtime=self.started, st_ctime=self.started)

    def getattr(self, path, fh=None):
        if path in self.folders:
            return self._attributes(stat.S_IFDIR | 0o755, 0)
        if path in self.files:
            return self._attributes(stat.S_IFREG | 0o644, len(self.files[path]))
        raise FuseOSError(errno.ENOENT)

    def readdir(self, path, fh):
        prefix = path.rstrip("/") + "/"
        names = [p[len(prefix):] for p in list(self.folders) + list(self.files)
                 if p != path and p.startswith(prefix) and "/" not in p[len(prefix):]]
        return [".", ".."] + names

    def access(self, path, amode):
        self.getattr(path)
        return 0

    def read(self, path, size, offset, fh):
        if path not in self.files:
            raise FuseOSError(errno.ENOENT)
        return self.files[path][offset:offset + size]

    def mkdir(self, path, mode):
        if path in self.folders or path in self.files:
            raise FuseOSError(errno.EEXIST)
        self.folders.add(path)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: hanging-share.py MOUNT_POINT SERVER:/EXPORT")
    FUSE(Share(), sys.argv[1], foreground=True, nothreads=True, fsname=sys.argv[2], subtype="sshfs",
         attr_timeout=0, entry_timeout=0, negative_timeout=0)
