#!/usr/bin/python3
"""Remakes every generated data file of the project and says which differ from the shipped ones.

Each generator writes into a fresh copy of the repository's layout under build/data-remade
(data/, src/core/, tests/fixtures/); then every remade file is compared byte for byte with the
file of the same path in the repository. The generators read the public data sets of
../shared/data and the npm and Debian packages that tools/sources.py fetches into the build's
cache (build/data-cache); the C++ generators must be built first (build/tools).

    tools/make_data.py [--write] [--fresh] [--bin DIR]

--write   copies the remade files that differ into the repository, to be committed;
--fresh   empties the package cache first, so every package is fetched again;
--bin     the folder of the built C++ generators (default build/tools).

Exit status: 0 when every remade file equals the shipped one, 1 when some differ (they are
listed with the reasons known), 2 when a generator failed.
"""

import argparse
import concurrent.futures
import filecmp
import os
import shutil
import subprocess
import sys

import sources

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(HERE)
PY = "/usr/bin/python3"  # the Debian interpreter: it sees python3-ephem and python3-fontforge


def generators(out, bin_dir):
    """(name, command, names of the generators it reads the output of), in a workable order."""
    data = os.path.join(out, "data")
    fixtures = os.path.join(out, "tests", "fixtures")

    def py(script, *args):
        return [PY, os.path.join(HERE, script), *args]

    return [
        ("make_planet_series", py("make_planet_series.py", "--root", out), []),
        ("make_deltat_table", py("make_deltat_table.py", "--root", out), []),
        ("make_geo", py("make_geo.py", "--out", data, "--fixtures", fixtures), []),
        ("make_yale", py("make_yale.py", sources.shared_data("bsc5"), data), []),
        ("make_deepobj", py("make_deepobj.py", sources.shared_data("openngc"), data), []),
        ("make_planets_mdb", py("make_planets_mdb.py", data), []),
        ("make_asteroids", py("make_asteroids.py", "", data), []),
        ("make_surfaces", py("make_surfaces.py", data), []),
        ("make_font16", py("make_font16.py", "", os.path.join(data, "font16.fnt")), []),
        ("make_qor_ttf", py("make_qor_ttf.py", os.path.join(data, "qor.ttf")), []),
        ("make_sounds", py("make_sounds.py", data), []),
        ("make_titles", py("make_titles.py", data), []),
        ("make_moon_bmp", py("make_moon_bmp.py", data), []),
        ("make_pictures", py("make_pictures.py", data), ["make_yale", "make_font16"]),
        ("make_ephem_reference", py("make_ephem_reference.py", fixtures), []),
        ("make_lunation_fixture", py("make_lunation_fixture.py", fixtures), []),
        ("make_moon_rise_fixture", py("make_moon_rise_fixture.py", fixtures), []),
        ("make_chiron", [os.path.join(bin_dir, "make_chiron"), data,
                         os.path.join(fixtures, "chiron_reference.txt")],
         ["make_planet_series", "make_asteroids"]),
        ("make_pluto", [os.path.join(bin_dir, "make_pluto"), data,
                        os.path.join(fixtures, "pluto_reference.txt")],
         ["make_planet_series", "make_asteroids"]),
    ]


def run_all(jobs, out):
    """Runs the generators, four at a time, each once the ones it reads have finished."""
    logs = os.path.join(out, "logs")
    os.makedirs(logs)
    done, failed, running = set(), [], {}

    def start(pool, name, cmd):
        def work():
            with open(os.path.join(logs, name + ".log"), "w") as log:
                return subprocess.run(cmd, cwd=HERE, stdout=log, stderr=subprocess.STDOUT).returncode
        running[pool.submit(work)] = name

    waiting = list(jobs)
    with concurrent.futures.ThreadPoolExecutor(max_workers=4) as pool:
        while waiting or running:
            for job in list(waiting):
                name, cmd, needs = job
                if any(n in failed for n in needs):
                    waiting.remove(job)
                    failed.append(name)
                    print(f"  {name}: not run (it reads what {', '.join(needs)} makes)")
                elif all(n in done for n in needs):
                    waiting.remove(job)
                    start(pool, name, cmd)
            finished, _ = concurrent.futures.wait(running, return_when="FIRST_COMPLETED")
            for f in finished:
                name = running.pop(f)
                code = f.result()
                (done.add(name) if code == 0 else failed.append(name))
                print(f"  {name}: " + ("done" if code == 0 else
                                       f"FAILED (status {code}, see {os.path.relpath(logs, TOP)}/{name}.log)"))
    return failed


def remade_files(out):
    for folder, _dirs, files in os.walk(out):
        rel = os.path.relpath(folder, out)
        if rel == "logs" or rel.startswith("logs" + os.sep):
            continue
        for f in files:
            yield os.path.normpath(os.path.join(rel, f))


def compare(out):
    same, differ, new = [], [], []
    for rel in sorted(remade_files(out)):
        shipped = os.path.join(TOP, rel)
        if not os.path.exists(shipped):
            new.append(rel)
        elif filecmp.cmp(os.path.join(out, rel), shipped, shallow=False):
            same.append(rel)
        else:
            differ.append(rel)
    return same, differ, new


def hand_written(remade):
    """The files of data/ that no generator makes."""
    out = []
    for folder, _dirs, files in os.walk(os.path.join(TOP, "data")):
        for f in files:
            rel = os.path.relpath(os.path.join(folder, f), TOP)
            if rel not in remade:
                out.append(rel)
    return sorted(out)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--write", action="store_true")
    ap.add_argument("--fresh", action="store_true")
    ap.add_argument("--bin", default=os.path.join(TOP, "build", "tools"))
    args = ap.parse_args()

    if args.fresh:
        sources.clear()
    out = os.path.join(TOP, "build", "data-remade")
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)

    print(f"qor data: remaking into {os.path.relpath(out, TOP)} (package cache {sources.cache_dir()})")
    # Fetch the packages before the generators start, one at a time, so that parallel
    # generators never fetch the same package at once.
    for name in sources.NPM_VERSIONS:
        sources.npm(name)
    for name in sources.MADE_WITH:
        sources.deb(name)
    failed = run_all(generators(out, args.bin), out)

    same, differ, new = compare(out)
    print(f"qor data: {len(same)} remade files equal the shipped ones")
    for rel in new:
        print(f"  new (not in the repository): {rel}")
    for rel in differ:
        print(f"  differs: {rel}")
    if differ:
        notes = sources.notes()
        print("qor data: what may explain the differences:" if notes else
              "qor data: no package version differs from the ones that made the shipped files:"
              " a generator, the program routines it runs or its inputs in ../shared/data changed")
        for n in notes:
            print(f"  {n}")
    hand = hand_written(set(same + differ + new))
    print(f"qor data: {len(hand)} files of data/ are written by hand, not generated")

    if args.write:
        for rel in differ + new:
            target = os.path.join(TOP, rel)
            os.makedirs(os.path.dirname(target), exist_ok=True)
            shutil.copyfile(os.path.join(out, rel), target)
        count = len(differ) + len(new)
        print(f"qor data: {count} file{'s' if count != 1 else ''} written into the repository")
    if failed:
        print(f"qor data: failed: {', '.join(failed)}")
        return 2
    return 1 if differ or new else 0


if __name__ == "__main__":
    sys.exit(main())
