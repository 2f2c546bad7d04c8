"""The packages the data generators read, fetched into a cache folder of the build.

npm packages come by name and version through npm itself (`npm pack`), Debian packages by name
through apt-get (`apt-get download`); each is unpacked into a folder of its own under the cache
(build/data-cache unless QOR_DATA_CACHE names another), and nothing is installed on the machine.
A package already in the cache is used as it is.

MADE_WITH names the version of each package that made the shipped files (a remake with it
gives the same bytes). A Debian archive keeps
only its newest versions, so when that version can no longer be fetched the newest one is taken
and the difference is written down (see `notes()`), for the data command to say why a remade
file may differ.

The public data sets that come with the project's shared folder are found in ../shared/data
beside the repository (`shared_data()`).
"""

import os
import shutil
import subprocess
import sys
import tempfile

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

NPM_VERSIONS = {"astronomia": "4.2.0", "world-atlas": "2.0.2"}

# Debian packages of tools the generators run (installed by `./qor data`), at the versions that
# made the shipped files.
TOOLS_MADE_WITH = {
    "python3-ephem": "4.1.4-2+b1",
    "python3-fontforge": "1:20230101~dfsg-1.1~deb12u1",
    "sox": "14.4.2+git20190427-3.5",
    "libglib2.0-bin": "2.74.6-2+deb12u9",
}

MADE_WITH = {
    "tzdata": "2026f-0+deb12u1",
    "iso-codes": "4.15.0-1",
    "libgeonames0": "0.3.0-1",
    "libgeonames-common": "0.3.0-1",
    "kstars-data": "5:3.6.2-2",
    "unifont": "1:15.0.01-2",
    "fonts-symbola": "2.60-1.1",
    "fonts-noto-core": "20201225-1",
    "fonts-dejavu-core": "2.37-6",
    "xplanet-images": "1.3.1-3",
}


def cache_dir():
    return os.environ.get("QOR_DATA_CACHE") or os.path.join(TOP, "build", "data-cache")


def shared_data(name):
    """A data set of the shared folder beside the repository (for a worktree of git, beside its
    main checkout too)."""
    tops = [TOP]
    code, out = _run(["git", "rev-parse", "--path-format=absolute", "--git-common-dir"], TOP)
    if code == 0 and out.strip():
        tops.append(os.path.dirname(out.strip()))
    for top in tops:
        path = os.path.join(os.path.dirname(top), "shared", "data", name)
        if os.path.exists(path):
            return path
    sys.exit(f"no shared/data/{name}: the public data sets are read from ../shared/data beside "
             "the repository")


def _run(cmd, cwd):
    result = subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    return result.returncode, result.stdout + result.stderr


def npm(name):
    """The folder of the unpacked npm package `name` at its fixed version."""
    version = NPM_VERSIONS[name]
    folder = os.path.join(cache_dir(), "npm", f"{name}-{version}")
    if os.path.isdir(folder):
        return folder
    os.makedirs(os.path.dirname(folder), exist_ok=True)
    with tempfile.TemporaryDirectory(dir=os.path.dirname(folder)) as tmp:
        code, out = _run(["npm", "pack", "--silent", f"{name}@{version}"], tmp)
        tarballs = [f for f in os.listdir(tmp) if f.endswith(".tgz")]
        if code != 0 or len(tarballs) != 1:
            sys.exit(f"npm could not fetch {name}@{version}:\n{out}")
        unpacked = os.path.join(tmp, "unpacked")
        os.mkdir(unpacked)
        code, out = _run(["tar", "-xzf", os.path.join(tmp, tarballs[0]), "-C", unpacked], tmp)
        if code != 0:
            sys.exit(f"tar could not unpack {tarballs[0]}:\n{out}")
        os.rename(os.path.join(unpacked, "package"), folder)
    return folder


def _deb_download(name, spec, tmp):
    code, out = _run(["apt-get", "download", "-q", spec], tmp)
    if code != 0 and "Unable to locate" in out:
        # A machine whose package lists were never read: read them once and try again.
        _run(["apt-get", "update", "-qq"], tmp)
        code, out = _run(["apt-get", "download", "-q", spec], tmp)
    debs = [f for f in os.listdir(tmp) if f.endswith(".deb")]
    return debs[0] if code == 0 and len(debs) == 1 else None, out


def deb(name):
    """The root folder of the unpacked Debian package `name` (its files under usr/...)."""
    folder = os.path.join(cache_dir(), "deb", name)
    if os.path.isdir(folder):
        return folder
    os.makedirs(os.path.dirname(folder), exist_ok=True)
    with tempfile.TemporaryDirectory(dir=os.path.dirname(folder)) as tmp:
        wanted = MADE_WITH.get(name)
        got, out = _deb_download(name, f"{name}={wanted}", tmp) if wanted else (None, "")
        if got is None:
            got, out = _deb_download(name, name, tmp)
        if got is None:
            sys.exit(f"apt-get could not fetch the Debian package {name}:\n{out}")
        code, out = _run(["dpkg-deb", "--field", got, "Version"], tmp)
        version = out.strip()
        unpacked = os.path.join(tmp, "root")
        code, out = _run(["dpkg-deb", "-x", got, unpacked], tmp)
        if code != 0:
            sys.exit(f"dpkg-deb could not unpack {got}:\n{out}")
        with open(os.path.join(unpacked, ".version"), "w") as f:
            f.write(version + "\n")
        os.rename(unpacked, folder)
    return folder


def deb_version(name):
    with open(os.path.join(deb(name), ".version")) as f:
        return f.read().strip()


def deb_file(name, *parts):
    """A file of the unpacked Debian package `name`, e.g. deb_file("unifont", "usr/share/...")."""
    path = os.path.join(deb(name), *parts)
    if not os.path.exists(path):
        sys.exit(f"the Debian package {name} {deb_version(name)} has no {os.path.join(*parts)}")
    return path


def installed_version(name):
    code, out = _run(["dpkg-query", "-W", "-f=${Version}", name], TOP)
    return out.strip() if code == 0 else None


def notes():
    """Lines naming each fetched or installed Debian package whose version is not the one that
    made the shipped files."""
    out = []
    for name, wanted in TOOLS_MADE_WITH.items():
        version = installed_version(name)
        if version != wanted:
            out.append(f"{name} {version or '(not installed)'} is installed; the shipped files "
                       f"were made with {wanted}")
    root = os.path.join(cache_dir(), "deb")
    for name in sorted(os.listdir(root)) if os.path.isdir(root) else []:
        version = deb_version(name)
        if name in MADE_WITH and version != MADE_WITH[name]:
            out.append(f"{name} {version} was fetched; the shipped files were made from {MADE_WITH[name]}")
    return out


def clear():
    shutil.rmtree(cache_dir(), ignore_errors=True)
