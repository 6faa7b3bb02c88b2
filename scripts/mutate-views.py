#!/usr/bin/env python3
"""Deliberate faults in the views and unit walking, each made alone in the
checkout, built, and run against the tests that should catch it; prints the
tests that failed for each (SURVIVED when none did). The checkout is restored
after every fault. Not part of CI: run it after changing these tests.

Usage: scripts/mutate-views.py [BUILD_DIR] [ID,ID,...]   (default: build)
"""
import os
import re
import subprocess
import sys

# (id, file, text, replacement, the fault)
OW='src/views/overworld.cpp'; MM='src/views/minimap.cpp'; TL='src/views/tiles.cpp'
BV='src/views/blockview.cpp'; BH='src/views/blockview.h'; SS='src/views/screensaver.cpp'
WK='src/units/walk.cpp'; TR='src/views/trig.cpp'
M = [
 ('ow1', OW, 'px + 14, bar_y, 255', 'px + 13, bar_y, 255', 'red bar base 14 px instead of 15'),
 ('ow2', OW, '(14.0f * u.bar_value)', '(13.0f * u.bar_value)', 'green bar scale 13'),
 ('ow3', OW, ' && u.kind != 9) continue;', ') continue;', 'kind filter misses 9'),
 ('ow4', OW, 'for (int32_t i = n; i >= 0; --i)', 'for (int32_t i = n; i > 0; --i)', 'route goal cell not marked (off by one)'),
 ('ow5', OW, '  draw_sprite(fb, bm, cell_pixels(u.x, run.SX), cell_pixels(u.y, run.SY), kRouteMarkerSlot);', '', 'route: own cell not marked'),
 ('ow6', OW, 'dx >= cols', 'dx > cols', 'unit at column W drawn'),
 ('ow7', OW, '    if (u.level != run.SZ) continue;\n', '', 'units of other levels drawn'),
 ('ow8', OW, 'u.in_use != 1 || u.inactive != 0', 'u.in_use != 1', 'inactive units drawn'),
 ('ow9', OW, 'bar_y + 1, 255', 'bar_y + 2, 255', 'label one row high'),
 ('ow10', OW, '"%d ms%d "', '"%d ms%d"', 'label lacks trailing space (a blank: draws the same, survives)'),
 ('ow11', OW, 'int64_t(w.side) - run.SX', 'int64_t(w.side) + 1 - run.SX', 'off-grid column drawn'),
 ('ow12', OW, 'tile_picture_slot(code, z)', 'tile_picture_slot(code, 1)', 'terrain picture ignores level'),
 ('ow13', OW, 'draw_tile(fb, bm, int32_t(c) * kCellPixels', 'draw_sprite(fb, bm, int32_t(c) * kCellPixels', 'terrain drawn keyed'),
 ('ow14', OW, '  draw_route(fb, run, bm, units, ps);\n  draw_units(fb, run, bm, units, text, cols, rows);', '  draw_units(fb, run, bm, units, text, cols, rows);\n  draw_route(fb, run, bm, units, ps);', 'route drawn over units'),
 ('ow15', OW, 'draw_sprite(fb, bm, px, py, u.sprite);', 'draw_tile(fb, bm, px, py, u.sprite);', 'unit sprite not keyed'),
 ('ow16', OW, 'u.bar_state == 0 && ', '', 'bar state ignored'),
 ('ow17', OW, 'i, u.order_flag);', 'i, u.kind);', 'label shows kind for order flag'),
 ('ow18', OW, '  if (u.in_use != 1) return;\n  if (ps.path_cursor)', '  if (ps.path_cursor)', 'route of unused selected unit drawn'),
 ('mm1', MM, '255, 0, 0);', '255, 0, 1);', 'minimap unit dot colour'),
 ('mm2', MM, 'int64_t(run.SZ) + kCoarseLevelBase', 'int64_t(run.SZ) + kCoarseLevelBase - 1', 'wrong coarse level'),
 ('mm3', MM, 'u.x >= w.side - 1 ||', 'u.x > w.side - 1 ||', 'unit dot on the last column'),
 ('mm9', MM, 'w.side < kMinimapSide ? w.side : kMinimapSide', 'kMinimapSide', 'coarse corner read past a small grid'),
 ('mm4', MM, 'y0 + run.SY / kBlockCells, 255', 'y0 + run.SX / kBlockCells, 255', 'view dot row from SX'),
 ('mm5', MM, 'ox >= kMinimapSide', 'ox > kMinimapSide', 'jump accepts column 64'),
 ('mm6', MM, 'x0 < x &&', 'x0 <= x &&', 'strictly-inside takes the edge'),
 ('mm7', MM, 'cell_index(w, i, j, int32_t(coarse))', 'cell_index(w, j, i, int32_t(coarse))', 'coarse map transposed'),
 ('mm8', MM, 'put_pixel(fb, x0 + i, y0 + j, 0, 128, 0)', 'put_pixel(fb, x0 + i, y0 + j, 0, 127, 0)', 'open block colour'),
 ('tl1', TL, 'p[2] == 246', 'p[2] == 245', 'colour key blue 245'),
 ('tl2', TL, ' || (p[0] == 0 && p[1] == 0 && p[2] == 0)', '', 'black not keyed'),
 ('tl3', TL, 'const int64_t rows = std::min(b.width, b.height);', 'const int64_t rows = b.height;', 'rows from height, not width'),
 ('tl4', TL, 'int64_t(fb.width) - x)', 'int64_t(fb.width) + 1 - x)', 'right clip one past'),
 ('tl5', TL, 'uint32_t(255) << 24', 'uint32_t(254) << 24', 'alpha 254'),
 ('bv1', BV, '{{0, 0, 1}, {{0, 1}, {1, 1}, {1, 0}, {0, 0}}', '{{0, 0, 1}, {{1, 1}, {0, 1}, {1, 0}, {0, 0}}', 'level+ face texture corners swapped'),
 ('bv2', BH, '(c[level] != kTileWall ? kFaceLevelUp : 0)', '(c[level] == 0 ? kFaceLevelUp : 0)', 'face hidden by non-wall'),
 ('bv3', BH, 'std::max(cx - kBlockRadius, 1)', 'std::max(cx - kBlockRadius, 0)', 'cube on column 0 drawn'),
 ('bv4', BH, 'std::min(cy + kBlockRadius - 1, w.side - 2)', 'std::min(cy + kBlockRadius - 1, w.side - 1)', 'cube on last row drawn'),
 ('bv5', BH, 'std::min(cx + kBlockRadius - 1, w.side - 2)', 'std::min(cx + kBlockRadius, w.side - 2)', 'field one column wider'),
 ('bv6', BV, 'kRadius = 0.8660254037844386 + 0.02', 'kRadius = 0.5', 'culling sphere too small'),
 ('bv7', BV, 'depth[i + k] != kBackgroundDepth ? read[k] : held[k]', 'read[k]', 'read-back copies background'),
 ('bv8', BV, 'if (fb.width != kBlockViewWidth || fb.height != kBlockViewHeight) return;', 'if (fb.width < kBlockViewWidth || fb.height < kBlockViewHeight) return;', 'read-back into a non-320x240 framebuffer'),
 ('bv9', BV, '    glDepthFunc(GL_LESS);\n', '', 'reversed order without strict depth test'),
 ('bv10', BV, 'glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, env_mode);', '', 'texture env not restored'),
 ('bv11', BV, 'glTranslatef(cam.fx - 0.5f, cam.fy - 0.5f, cam.fz - 0.5f);', 'glTranslatef(cam.fx - 0.5f, cam.fy - 0.5f, 0.0f);', 'camera ignores fz'),
 ('bv12', BV, 'draw_block_field(w, unit(units, run.selected_unit), bv)', 'draw_block_field(w, unit(units, kWalker), bv)', 'camera on unit 1, not the selected'),
 ('bv13', BV, 'key_down(p, kVkLButton) || key_down(p, kVkMButton) ||', 'key_down(p, kVkLButton) ||', 'middle button does not look'),
 ('bv14', BV, "key_down(p, vk_letter('Z'))", "key_down(p, vk_letter('X'))", 'back key not Z'),
 ('bv15', BV, 'walk_unit1(w, run, units, {bv.yaw, bv.pitch}', 'walk_unit1(w, run, units, pointer_look(run.pointer_x, run.pointer_y)', 'step takes this frame\'s pointer look'),
 ('bv16', BV, ' || key_down(p, kVkRButton)) {', ') {', 'right button does not look'),
 ('bv17', BV, 'if (key_down(p, kVkLButton) || key_down(p, kVkMButton) || key_down(p, kVkRButton)) {', '{', 'looks without a button'),
 ('bv18', BV, 'if (drawn) read_back_picture(fb, bv);', 'if (drawn) read_back_picture(fb, bv);\n  else clear_pixels(fb);', 'clears the picture without GL'),
 ('ss1', SS, 'values[i] % 255', 'values[i] % 256', 'noise modulo 256'),
 ('ss2', SS, 'kCircles = 4', 'kCircles = 3', 'three circles'),
 ('ss3', SS, 'kRenewalFrames = 50', 'kRenewalFrames = 25', 'renewal every 25'),
 ('ss4', SS, 'fb.width / 5, red, green, blue', 'fb.width / 5, blue, green, red', 'circle colour order'),
 ('ss5', SS, 'a <= 180.0', 'a < 180.0', 'half turn stops short'),
 ('ss6', SS, 'put_secondary_pixel(fb, X - DX, Y + DY', 'put_secondary_pixel(fb, X - DX, Y - DY', 'mirror about the wrong axis'),
 ('ss7', SS, '(1.0 / radius) * 50.0', '(1.0 / radius) * 51.0', 'angle step'),
 ('ss8', SS, 'const int32_t cy = next_mod(rng, fb.height);', 'const int32_t cy = next_mod(rng, fb.width);', 'centre row modulo width'),
 ('wk1', WK, 'return {q * s * 0.1f, q * c * 0.1f};', 'return {q * s * 0.1f, -q * c * 0.1f};', 'step sign on rows'),
 ('wk2', WK, 'std::trunc(double(tick_divisor) / 10.0);', 'std::trunc(double(tick_divisor) / 10.0) + 1;', 'forward frame period'),
 ('wk3', WK, 'run.SZ + 1) == kTileWall', 'run.SZ) == kTileWall', 'ground check on the view level'),
 ('wk4', WK, 'if (solid(-0.3f, 0.0f) && !centre)', 'if (solid(-0.3f, 0.0f))', 'push ignores centre'),
 ('wk5', WK, '  } else if (solid(0.2f, 0.2f)) {', '  }\n  if (solid(0.2f, 0.2f)) {', 'two corner pushes'),
 ('wk6', WK, 'if (int32_t(u.y) < last) {', 'if (int32_t(u.y) <= last) {', 'cell change off the last row'),
 ('wk7', WK, 'const float f = std::floor(v);', 'const float f = std::trunc(v);', 'offset truncated, not floored'),
 ('wk8', WK, 'int32_t(u.level) + floor_cells(c)', 'int32_t(u.level) - floor_cells(c)', 'level offset sign'),
 ('wk9', WK, '0.024f + 0.54f', '0.024f + 0.55f', 'bob centre'),
 ('wk10', WK, 'u.walk_phase -= 1.0f;', 'u.walk_phase -= 2.0f;', 'back step phase'),
 ('wk11', WK, 'const float q = float(std::sin(double(pitch) * kDegreeFactor));', 'const float q = float(std::cos(double(pitch) * kDegreeFactor));', 'step uses cos of pitch'),
 ('wk12', WK, '  u.fz = 0.5f;\n}', '}', 'ground check keeps fz'),
 ('wk13', WK, 'u.fx -= 1.0f;', 'u.fx -= 0.99f;', 'fraction off after a cell change'),
 ('wk14', WK, 'if (u.x > 0) {', 'if (u.x > 0 || u.fx > 0.0f) {', 'cell change off column 0'),
 ('wk15', WK, '      u.fx = 0.0f;', '      u.fx = 0.1f;', 'fraction past the last column not stopped at the edge'),
 ('tr1', TR, 'kFirmMarginExponent = -36', 'kFirmMarginExponent = -60', 'trig keeps rotated values that round otherwise'),
 ('tr2', TR, '  if (t.sine || t.cosine) return;\n', '', 'trig tables rebuilt'),
]


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, 'build'))
    only = sys.argv[2].split(',') if len(sys.argv) > 2 else None
    tests = [('test_views', ''), ('test_world', ''), ('test_units', 'Walk*')]
    make = ['cmake', '--build', build, '-j2', '--target'] + [t for t, _ in tests]
    for mid, f, old, new, desc in M:
        if only and mid not in only:
            continue
        path = os.path.join(root, f)
        text = open(path).read()
        if text.count(old) != 1:
            print(f'{mid}\t{f}\tNOT APPLIED\t{desc}', flush=True)
            continue
        open(path, 'w').write(text.replace(old, new))
        try:
            if subprocess.run(make, capture_output=True).returncode != 0:
                print(f'{mid}\t{f}\tBUILD FAILED\t{desc}', flush=True)
                continue
            failed = []
            for t, flt in tests:
                args = [os.path.join(build, 'tests', t), '--gtest_brief=1']
                if flt:
                    args.append('--gtest_filter=' + flt)
                r = subprocess.run(args, cwd=build, capture_output=True, text=True)
                names = sorted(set(re.findall(r'\[  FAILED  \] (\S+\.\S+)', r.stdout)))
                failed += names or ([f'{t} (exit {r.returncode})'] if r.returncode else [])
            print(f'{mid}\t{f}\t{",".join(failed) or "SURVIVED"}\t{desc}', flush=True)
        finally:
            open(path, 'w').write(text)
    subprocess.run(make, capture_output=True)


if __name__ == '__main__':
    main()
