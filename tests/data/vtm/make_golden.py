#!/usr/bin/env python3
"""Builds the golden project files of this folder field by field from the
documented layout, independently of the program's own writer.

Run it from anywhere: python3 make_golden.py. The files are committed; the
script is kept so every byte can be traced back to a field."""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def i32(v):
    return struct.pack('<i', v)


def f32(v):
    return struct.pack('<f', v)


def s(text):
    """A byte string behind the archive's length prefix."""
    b = text if isinstance(text, bytes) else text.encode('ascii')
    n = len(b)
    if n < 0xFF:
        prefix = bytes([n])
    elif n < 0xFFFE:
        prefix = b'\xff' + struct.pack('<H', n)
    else:
        prefix = b'\xff\xff\xff' + struct.pack('<I', n)
    return prefix + b


def utf16(text):
    """A string in the UTF-16 form the reader accepts: 0xFF 0xFFFE, then the
    length prefix counting 16-bit units, then the UTF-16LE text."""
    units = text.encode('utf-16-le')
    n = len(units) // 2
    assert n < 0xFF
    return b'\xff\xfe\xff' + bytes([n]) + units


def vec(x, y, z):
    return f32(x) + f32(y) + f32(z)


def record(pos=(0, 0, 0), axis=(0, 1, 0), scale=(1, 1, 1), angle=0.0, key=0):
    return vec(*pos) + vec(*axis) + vec(*scale) + f32(angle) + i32(key)


CAMERA = record(pos=(0, 0, -1500), axis=(20, 10, 0))


def header(models, cameras, materials, characters, animations, last_id=5, next_material=0,
           fps=30.0, smooth=1):
    out = f32(1.7) + i32(models) + i32(cameras) + i32(materials)
    out += i32(len(characters)) + b''.join(characters)
    out += i32(len(animations)) + b''.join(animations)
    out += i32(last_id) + i32(next_material) + f32(fps) + i32(smooth)
    return out


def vertex(pos, faces):
    return vec(*pos) + i32(len(faces)) + b''.join(i32(f) for f in faces)


def face(normal, material, indices, uvs):
    out = vec(*normal) + i32(material) + i32(len(indices)) + b''.join(i32(i) for i in indices)
    out += i32(len(uvs)) + b''.join(f32(u) + f32(v) for u, v in uvs)
    return out


def model(mid, name, parent, parent_name, tracks, visible, facet, pivot, vertices, faces):
    out = i32(mid) + s(name) + i32(parent) + s(parent_name)
    out += i32(len(vertices)) + i32(len(faces)) + i32(len(tracks))
    for track in tracks:
        out += i32(len(track)) + b''.join(track)
    out += i32(visible) + f32(facet) + vec(*pivot)
    out += b''.join(vertices) + b''.join(faces)
    return out


def material(mid, name, color, dif, amb, emi, spc, power, tex, aplane, bump):
    out = i32(mid) + s(name) + b''.join(f32(c) for c in color)
    out += f32(dif) + f32(amb) + f32(emi) + f32(spc) + f32(power)
    out += s(tex) + s(aplane) + s(bump)
    return out


def track(frames, keys):
    """`frames` records; keys maps frame -> (pos, axis, scale, angle). Record 0
    is always a key; the frames between keys hold what in-betweening gives for
    these simple values (linear in every component)."""
    recs = []
    key_frames = sorted(keys)
    for f in range(frames):
        if f in keys:
            pos, axis, scale, angle = keys[f]
            recs.append(record(pos, axis, scale, angle, 1))
            continue
        before = max(k for k in key_frames if k < f)
        after = [k for k in key_frames if k > f]
        if not after:
            pos, axis, scale, angle = keys[before]
            recs.append(record(pos, axis, scale, angle, 0))
            continue
        # Exact in single precision only for values the tests do not compare;
        # the reader keeps whatever it finds.
        a, b = keys[before], keys[after[0]]
        t = (f - before) / (after[0] - before)
        mix = lambda u, v: tuple(x + (y - x) * t for x, y in zip(u, v))
        recs.append(record(mix(a[0], b[0]), mix(a[1], b[1]), mix(a[2], b[2]),
                           a[3] + (b[3] - a[3]) * t, 0))
    return recs


REST = ((0, 0, 0), (0, 1, 0), (1, 1, 1), 0.0)


def write(name, data):
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(data)


def main():
    # The new scene saved at once.
    new_scene = header(0, 1, 0, [s('Character_0')], [s('Animation_0')]) + CAMERA
    assert len(new_scene) == 108
    write('new_scene.vtm', new_scene)

    # A character name of 300 bytes: prefix 0xFF 0x2C 0x01.
    long_name = bytes((0x41 + i % 26) for i in range(300))
    write('long_name.vtm', header(0, 1, 0, [s(long_name)], [s('Animation_0')]) + CAMERA)

    # The same scene with its names in the UTF-16 form; reads as CP932.
    write('utf16_names.vtm',
          header(0, 1, 0, [utf16('\u4e09\u89d2\u5f62')], [utf16('Walk')]) + CAMERA)

    # Two characters, two animations, three models with meshes and tracks.
    hero = '\u52c7\u8005'.encode('cp932')      # CP932 name with a trail byte 0x8E
    body = 'body'
    arm = '\u8155'.encode('cp932')             # a double-byte model name
    tri_vertices = [vertex((0, 0, 0), [0]), vertex((10, 0, 0), [0, 1]),
                    vertex((0, 10, 0), [0, 1]), vertex((10, 10, 5), [1])]
    tri_faces = [face((0, 0, 1), 3, [0, 1, 2], [(0, 0), (1, 0), (0, 1)]),
                 face((0, 0, -1), 4, [1, 3, 2], [])]
    quad_vertices = [vertex((0, 0, 0), [0]), vertex((1, 0, 0), [0]),
                     vertex((1, 1, 0), [0]), vertex((0, 1, 0), [0])]
    quad_faces = [face((0, 0, 1), 4, [0, 1, 2, 3], [(0, 0), (1, 0), (1, 1), (0, 1)])]

    body_tracks = [
        track(61, {0: REST, 10: ((0, 20, 0), (0, 1, 0), (1, 1, 1), 90.0)}),
        track(31, {0: ((5, 0, 0), (1, 0, 0), (2, 2, 2), 45.0)}),
    ]
    arm_tracks = [track(61, {0: REST}), track(31, {0: REST, 30: REST})]
    villain_tracks = [track(61, {0: ((0, 0, 7), (0, 0, 1), (1, 1, 1), 30.0)}), track(31, {0: REST})]
    models = [
        model(6, body, -1, hero, body_tracks, 1, 59.5, (0, 0, 0), tri_vertices, tri_faces),
        model(7, arm, 0, body, arm_tracks, 0, 30.0, (10, 0, 0), quad_vertices, quad_faces),
        model(8, 'villain', -2, 'Villain', villain_tracks, 1, 0.0, (1, 2, 3), quad_vertices, quad_faces),
    ]
    materials = [
        material(3, 'mat1', (1, 0, 0, 1), 0.8, 0.6, 0.0, 0.5, 5.0, 'tex\\wood.bmp', '', ''),
        material(4, '\u6728'.encode('cp932'), (0.2, 0.4, 0.6, 0.5), 1.0, 1.0, 0.25, 0.0, 0.2, '', 'a.bmp', 'b.bmp'),
    ]
    two_characters = header(3, 1, 2, [s(hero), s('Villain')], [s('Animation_0'), s('Walk')],
                            last_id=8, next_material=5, fps=24.0, smooth=0)
    two_characters += b''.join(models) + CAMERA + b''.join(materials)
    write('two_characters.vtm', two_characters)

    # The same file ending in the middle of the first model's first track.
    write('truncated.vtm', two_characters[:400])

    # Model 0 with 121 frames in its first track.
    long_track = header(1, 1, 0, [s('Character_0')], [s('Animation_0')], last_id=6, fps=12.5)
    long_track += model(6, 'cube', -1, 'Character_0', [track(121, {0: REST, 120: REST})], 1, 0.0,
                        (0, 0, 0), [], [])
    long_track += CAMERA
    write('long_track.vtm', long_track)

    # A zero-length project file.
    write('empty.vtm', b'')


if __name__ == '__main__':
    main()
