#!/usr/bin/env bash
# Remakes every data file of the sky views, in one go: the star, deep-sky, body, asteroid and
# surface files (Python generators), then Chiron's corrections (C++ generator, which reads the
# planet series and asteroid.csv that the steps before and the ephemeris generator made).
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
py=/usr/bin/python3
"$py" "$top/tools/make_yale.py"
"$py" "$top/tools/make_deepobj.py"
"$py" "$top/tools/make_planets_mdb.py"
"$py" "$top/tools/make_asteroids.py"
"$py" "$top/tools/make_surfaces.py"
cmake -S "$top" -B "$top/build" -G Ninja >/dev/null
cmake --build "$top/build" --target make_chiron >/dev/null
"$top/build/tools/make_chiron" "$top/data" "$top/tests/fixtures/chiron_reference.txt"
