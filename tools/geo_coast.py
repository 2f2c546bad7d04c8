"""Coastlines from Natural Earth's 1:50m land polygons (npm world-atlas, land-50m.json).

Writes "coast.ptr" (16-byte chain records: end offset, first point, flags, next chain) and
"coast.dat" (signed byte pairs). Units are 1/600 degree. Each ring is cut into chains that stay
in the 10-degree cell of their first point (the map skips chains by that cell), each chain
starts where the previous one ended, and the last chain of a ring links back to its first.
Holes (lakes inside land) are rings of their own, flag bit 0 set, so that an even-odd fill
leaves them open.

The source joins land across the 180-degree meridian: a ring there steps from +180 to -180 in
one segment 360 degrees long, which drawn on the map is a line round the world (and swaps land
and sea along it in an even-odd fill). Such a ring is cut at its seam steps into pieces, each on
one side of the meridian and closed along it. A ring that crosses the meridian an odd number of
times goes round a pole (Antarctica, and the hole inside it at the pole): its one seam step runs
along the map's bottom, south of what the map shows, and it is kept whole.
"""

import json
import struct

UNITS = 600
HALF_TURN = 108000  # 180 degrees
CELL = 6000
MAX_STEP = 127
MAX_CHAIN_POINTS = 16000  # 2 bytes a point after the first: within 32767 bytes
MAX_CHAINS = 40950


def decode_arcs(topo):
    sx, sy = topo["transform"]["scale"]
    tx, ty = topo["transform"]["translate"]
    arcs = []
    for arc in topo["arcs"]:
        x = y = 0
        pts = []
        for dx, dy in arc:
            x += dx
            y += dy
            pts.append((x * sx + tx, y * sy + ty))
        arcs.append(pts)
    return arcs


def rings_of(topo):
    """The land rings in degrees: (points closed on themselves, is_hole)."""
    arcs = decode_arcs(topo)
    out = []
    for geom in topo["objects"]["land"]["geometries"]:
        polys = geom["arcs"] if geom["type"] == "MultiPolygon" else [geom["arcs"]]
        for poly in polys:
            for r, ring in enumerate(poly):
                pts = []
                for a in ring:
                    seq = arcs[a] if a >= 0 else list(reversed(arcs[~a]))
                    pts.extend(seq if not pts else seq[1:])
                out.append((pts, r > 0))
    return out


# Rings of the test fixture, by their place in the source's order: the first and the last,
# small islands, rings that reach the 180-degree meridian, the two holes (one of them around
# the south pole inside Antarctica) and a long coast cut into many chains.
FIXTURE_RINGS = [0, 1, 5, 60, 100, 138, 297, 298, 299, 1346, 1347, 1381, 1420]


def fixture(topo_path, indices=FIXTURE_RINGS):
    """A small TopoJSON with the given rings of the source only, each a polygon of its own, its
    arcs as quantised in the source; "rings" gives each one's place among all source rings."""
    with open(topo_path, encoding="utf-8") as f:
        topo = json.load(f)
    rings = []
    for geom in topo["objects"]["land"]["geometries"]:
        polys = geom["arcs"] if geom["type"] == "MultiPolygon" else [geom["arcs"]]
        for poly in polys:
            rings.extend(poly)
    arc_of = {}
    arcs, polys = [], []
    for i in indices:
        ring = []
        for a in rings[i]:
            k = a if a >= 0 else ~a
            if k not in arc_of:
                arc_of[k] = len(arcs)
                arcs.append(topo["arcs"][k])
            ring.append(arc_of[k] if a >= 0 else ~arc_of[k])
        polys.append([ring])
    out = {"type": "Topology", "transform": topo["transform"],
           "note": "Rings of Natural Earth 1:50m land (public domain) from the npm package "
                   "world-atlas, land-50m.json; made by tools/make_geo.py",
           "rings": list(indices), "sourceRings": len(rings),
           "storedRings": len(stored_rings(topo)),
           "objects": {"land": {"type": "GeometryCollection",
                                "geometries": [{"type": "MultiPolygon", "arcs": polys}]}},
           "arcs": arcs}
    return (json.dumps(out, separators=(",", ":")) + "\n").encode("ascii")


def to_units(pts):
    out = []
    for lon, lat in pts:
        p = (int(round(lon * UNITS)), int(round(lat * UNITS)))
        if not out or out[-1] != p:
            out.append(p)
    return out


def seam_steps(ring):
    """Indices k of a closed ring (first point repeated last) where the step to point k + 1
    spans more than 180 degrees of longitude."""
    return [k for k in range(len(ring) - 1) if abs(ring[k + 1][0] - ring[k][0]) > HALF_TURN]


def split_at_seam(ring):
    """A closed ring in units cut at its seam steps into closed rings that each stay on one side
    of the 180-degree meridian, each closed along the meridian; the ring itself (in a list) when
    it has no seam step or an odd number of them. The pieces follow the ring's order from the
    point after its first seam step."""
    steps = seam_steps(ring)
    if not steps or len(steps) % 2:
        return [ring]
    pts = ring[:-1]
    n = len(pts)
    start = (steps[0] + 1) % n
    order = pts[start:] + pts[:start]
    cut = {(k - start) % n for k in steps}  # a piece ends at these points of `order`
    pieces, cur = [], []
    for i, p in enumerate(order):
        cur.append(p)
        if i in cut:
            pieces.append(cur)
            cur = []
    out = []
    for piece in pieces:
        first, last = piece[0], piece[-1]
        if (first[0] > 0) != (last[0] > 0):
            raise RuntimeError(f"a piece at {first} does not end on its own side of the meridian")
        seam = HALF_TURN if first[0] > 0 else -HALF_TURN
        closed = list(piece)
        for p in ((seam, last[1]), (seam, first[1]), first):
            if closed[-1] != p:
                closed.append(p)
        # A piece that is only a point or a line along the meridian encloses no land.
        if len(set(closed)) >= 3:
            out.append(closed)
    return out


def cell(p):
    x, y = p
    cx = (x // CELL if x >= 0 else -((-(x - CELL)) // CELL)) * CELL
    cy = ((y + CELL) // CELL if y >= 0 else -((-y) // CELL)) * CELL
    return cx, cy


def densify(pts):
    """Inserts points so that no step exceeds a signed byte."""
    out = [pts[0]]
    for p in pts[1:]:
        x0, y0 = out[-1]
        dx, dy = p[0] - x0, p[1] - y0
        m = max(1, -(-max(abs(dx), abs(dy)) // MAX_STEP))
        for k in range(1, m + 1):
            out.append((x0 + int(round(k * dx / m)), y0 + int(round(k * dy / m))))
    return out


def chains_of(ring):
    """Cuts a closed ring (first point repeated last) into chains of points."""
    chains = []
    cur = [ring[0]]
    home = cell(ring[0])
    for p in ring[1:]:
        cur.append(p)
        if cell(p) != home or len(cur) >= MAX_CHAIN_POINTS:
            chains.append(cur)
            cur = [p]
            home = cell(p)
    if len(cur) > 1:
        chains.append(cur)
    return chains


def closed_units(pts):
    ring = to_units(pts)
    if ring and ring[0] != ring[-1]:
        ring.append(ring[0])
    return ring


def stored_rings(topo):
    """The rings as the files store them, in units, each closed: the source's rings of three
    points or more, those at the 180-degree meridian cut into their pieces; with each its
    hole flag."""
    out = []
    for pts, hole in rings_of(topo):
        if len(to_units(pts)) < 3:
            continue
        out.extend((piece, hole) for piece in split_at_seam(closed_units(pts)))
    return out


def build(topo_path):
    with open(topo_path, encoding="utf-8") as f:
        topo = json.load(f)
    ptr = bytearray()
    dat = bytearray()
    rings = 0
    chain_no = 0
    checks = []
    for piece, hole in stored_rings(topo):
        dense = densify(piece)
        chains = chains_of(dense)
        first = chain_no + 1
        for k, ch in enumerate(chains):
            chain_no += 1
            for (x0, y0), (x1, y1) in zip(ch, ch[1:]):
                dat += struct.pack("<bb", x1 - x0, y1 - y0)
            nxt = first if k == len(chains) - 1 else chain_no + 1
            ptr += struct.pack("<iiiHH", len(dat), ch[0][0], ch[0][1], 1 if hole else 0, nxt)
        rings += 1
        checks.append((first, [(x / UNITS, y / UNITS) for x, y in piece]))
    source_rings = rings_of(topo)
    source_points = sum(len(pts) for pts, _ in source_rings)
    seams = sum(1 for pts, _ in source_rings
                if seam_steps(closed_units(pts)) and len(seam_steps(closed_units(pts))) % 2 == 0)
    if chain_no > MAX_CHAINS:
        raise RuntimeError(f"{chain_no} chains: the index holds at most {MAX_CHAINS}")
    verify(bytes(ptr), bytes(dat), checks)
    return bytes(ptr), bytes(dat), {"rings": rings, "rings cut at the 180-degree meridian": seams,
                                    "chains": chain_no, "source points": source_points,
                                    "stored points": len(dat) // 2 + chain_no}


def verify(ptr, dat, checks):
    """Decodes every ring back from the two files and checks that each source point is met, in
    order, within one unit."""
    recs = [struct.unpack_from("<iiiHH", ptr, i) for i in range(0, len(ptr), 16)]
    for first, pts in checks:
        decoded = []
        c = first
        seen = set()
        while c not in seen:
            seen.add(c)
            end, x, y, _, nxt = recs[c - 1]
            start = recs[c - 2][0] if c > 1 else 0
            decoded.append((x, y))
            for j in range(start, end, 2):
                x += struct.unpack_from("b", dat, j)[0]
                y += struct.unpack_from("b", dat, j + 1)[0]
                decoded.append((x, y))
            c = nxt
        i = 0
        for lon, lat in pts:
            sx, sy = lon * UNITS, lat * UNITS
            while i < len(decoded) and not (abs(decoded[i][0] - sx) <= 1 and abs(decoded[i][1] - sy) <= 1):
                i += 1
            if i == len(decoded):
                raise RuntimeError(f"ring at chain {first} does not decode back to its source")
