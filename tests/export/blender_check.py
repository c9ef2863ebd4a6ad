# Imports a glTF file with Blender's bundled importer and compares the world
# matrix of every node named in the expectations, at every frame of every
# animation, with the expected one. Run as:
#   blender -b --factory-startup --python blender_check.py -- FILE.gltf EXPECTED.json
# EXPECTED.json: {"fps": F, "animations": [{"name": A, "frames": N,
#   "nodes": {"pose3": [[16 numbers, row-major, column-vector convention] per frame], ...}}]}
# Prints "RESULT checked=N worst=X failures=N" and exits 0 when nothing failed.
import json
import sys

import numpy

# Debian 12's numpy no longer has the alias the 3.4 importer uses.
if not hasattr(numpy, "bool"):
    numpy.bool = bool

import bpy
from mathutils import Matrix

args = sys.argv[sys.argv.index("--") + 1:]
gltf_path, expected_path = args[0], args[1]
with open(expected_path, encoding="utf-8") as f:
    expected = json.load(f)

scene = bpy.context.scene
for obj in list(bpy.data.objects):
    bpy.data.objects.remove(obj)
scene.render.fps = int(round(expected["fps"]))
scene.render.fps_base = 1.0
bpy.ops.import_scene.gltf(filepath=gltf_path)

# Node names start with pose<i>:, mesh<i>: or char<k>:, which survive
# Blender's 63-byte name limit and its ".001" suffixes.
objects = {}
for obj in bpy.data.objects:
    objects[obj.name.split(":", 1)[0]] = obj

# Blender turns glTF's y-up into z-up on import: (x, y, z) -> (x, -z, y).
to_blender = Matrix(((1, 0, 0, 0), (0, 0, -1, 0), (0, 1, 0, 0), (0, 0, 0, 1)))
from_blender = to_blender.inverted()

checked = 0
failures = 0
worst = 0.0
for animation in expected["animations"]:
    for obj in bpy.data.objects:
        data = obj.animation_data
        if data is None:
            continue
        data.action = None
        for track in data.nla_tracks:
            if track.name == animation["name"] and track.strips:
                data.action = track.strips[0].action
    for frame in range(animation["frames"]):
        scene.frame_set(frame)
        for key, matrices in animation["nodes"].items():
            obj = objects.get(key)
            if obj is None:
                print("missing node", key)
                failures += 1
                continue
            actual = from_blender @ obj.matrix_world @ to_blender
            want = matrices[frame]
            largest = max([1.0] + [abs(v) for v in want])
            difference = max(abs(actual[r][c] - want[r * 4 + c]) for r in range(4) for c in range(4))
            relative = difference / largest
            worst = max(worst, relative)
            checked += 1
            if relative > 1e-4:
                failures += 1
                if failures <= 10:
                    print("mismatch", animation["name"], frame, key, relative)
print("RESULT checked=%d worst=%g failures=%d" % (checked, worst, failures))
sys.stdout.flush()
sys.exit(0 if failures == 0 and checked > 0 else 1)
