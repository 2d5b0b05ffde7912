#!/usr/bin/env bash
# The HUD during the yak boss fight, checked in a 640 x 400 screenshot: the
# player's health fill and the "ui-yak" fill end where the last fractions
# the trace shows put them.
# The run: a work copy whose level order is the yak boss arena alone, the
# shipped main menu with the UI's debug load (Play at frame 5, the HUD up at
# frame 8, the same frames in every run), a fixed step and seed, "max-fps"
# raised. The level's companion spawner is the companion, so 'X'
# shoots; the boss has 100 health (one hit takes it below its first wave,
# so it hides at 0.8 and raises its mini-bosses) and the player 25 (a touch
# costs it a fifth). The script skips the fly-over, walks right towards the
# boss and shoots along its facing; a mini-boss then catches the player.
# Re-recording: after tuning the arena, the boss or the player, move the
# walk's end (WALK) or the shot (SHOT) and read the run's trace
# (yak-fight.log) so that a hit and a touch come before the shot; the test
# says which is missing.
set -euo pipefail
here="$(dirname "$(readlink -f "$0")")"
source "$here/e2e_common.bash" "$@"

WALK=190 FIRE=192 SHOT=600 FRAMES=610
export TAVRIN_TRACE_MESSAGES=PlayerHealthChanged,BossHealthChanged,ObjectCreated
export TAVRIN_FIXED_DT=0.032 TAVRIN_SEED=23
unset TAVRIN_SAMPLE_SCENE
cp "$src/rsc/uisystem.xcfg" rsc/uisystem.xcfg
sed -i 's|<debug>0</debug>|<debug>1</debug>|' rsc/uisystem.xcfg
sed -i 's|<max-fps>[^<]*</max-fps>|<max-fps>10000.000000</max-fps>|' rsc/coresystem.xcfg
echo "<yak-boss />" > rsc/levels/levels.xlod
python3 - rsc <<'PY'
import re, sys
rsc = sys.argv[1]
def block(text, name):
    return re.search(r"<%s>.*?</%s>\n" % (name, name), text, flags=re.S).group(0)
path = rsc + "/objects/boss-objects.xobj"
text = open(path).read()
boss = block(text, "yak-boss-obj")
weaker = re.sub(r"<Health>[^<]*</Health>", "<Health>100.000000</Health>", boss)
open(path, "w").write(text.replace(boss, weaker))
path = rsc + "/objects/player-objects.xobj"
text = open(path).read()
player = block(text, "spawner-Luvo")
frail = re.sub(r"<(Total)?Health>100</(Total)?Health>", lambda m: m.group(0).replace("100", "25"), player)
open(path, "w").write(text.replace(player, frail))
PY
{
  echo "# Enter plays; Space ends the fly-over; Right (39) walks; X shoots"
  printf '%s\n' "5 key 13 down" "6 key 13 up" "30 key 32 down" "31 key 32 up" "34 key 39 down" "$WALK key 39 up"
  for ((f = FIRE; f < SHOT; f += 20)); do echo "$f key X down"; echo "$((f + 2)) key X up"; done
} > fight.input
export TAVRIN_INPUT_SCRIPT="$work/fight.input"

user_folder fight
printf '<UserSettings><WindowWidth>640</WindowWidth><WindowHeight>400</WindowHeight><Fullscreen>0</Fullscreen></UserSettings>' \
  > "$settings/UserConfig.xcfg"
mkdir -p shots
TAVRIN_MAX_FRAMES=$FRAMES TAVRIN_SCREENSHOT="$work/shots/fight.png@$SHOT" keepXdg=1 run_program fight
expect_clean_run fight
cp "$(log_file)" yak-fight.log
expect_line yak-fight.log "Screenshot of frame $SHOT written to '$work/shots/fight.png' (640 x 400)"
expect_line yak-fight.log "Run ended after $FRAMES frames"
expect_no_line yak-fight.log "GL error"
grep -q "ObjectCreated([0-9]* 'yak-mini-boss-obj')" yak-fight.log || fail "the boss raised no mini-boss"

python3 - "$here" yak-fight.log shots/fight.png "$SHOT" "$src/rsc/textures" <<'PY' || fail "a HUD bar does not end where its fraction puts it"
import re, sys
sys.path.insert(0, sys.argv[1])
from png_rows import read_rgba, pixel, run_end
log, shot, frame, textures = sys.argv[2], sys.argv[3], int(sys.argv[4]), sys.argv[5]
# The last fraction of each bar sent before the shot's frame.
last, changes = {}, []
for line in open(log):
    m = re.search(r"trace frame (\d+): (PlayerHealthChanged\(|BossHealthChanged\(ui-yak, )([-0-9.e]+)\)", line)
    if m and int(m.group(1)) < frame:
        last[m.group(2)[0]] = float(m.group(3))
        changes.append(int(m.group(1)))
health, boss = last.get("P"), last.get("B")
print("player health %s, boss %s at frame %d" % (health, boss, frame))
if health is None or health > 0.9 or boss is None or boss > 0.9:
    sys.exit("the fight did not go far enough by the shot: move SHOT or WALK")
if changes and max(changes) > frame - 12:
    sys.exit("a bar changed at frame %d, still fading or not yet drawn at the shot" % max(changes))

width, height, rows = read_rgba(shot)
scale = height / 720.0  # UI units: 720 high, the origin at the centre
def px(ux): return width / 2 + ux * scale
def py(uy): return int(height / 2 + uy * scale)
# hud.scn places each bar's border (208 x 24) by its top-left corner; the
# fill (200 x 16) starts 4 units in. "ui-health" (at -460, -340) is anchored
# left: its fill spans -456 .. -456 + 200 f. "ui-yak" (at -104, 300) is
# anchored right: -100 + 200 (1 - f) .. 100. Both rows are sampled through
# the middle of the fill, its texture row 8.
def colours(bar):
    _, _, fill = read_rgba("%s/hud-%s-fill.png" % (textures, bar))
    _, _, border = read_rgba("%s/hud-%s-border.png" % (textures, bar))
    return pixel(fill, 100, 8), [pixel(border, 0, 12), pixel(border, 100, 12)]
def is_fill(fill, others):
    def test(c):
        d = lambda a: sum((x - y) ** 2 for x, y in zip(c, a))
        return all(d(fill) < d(o) for o in others)
    return test
ok = True
def check(name, bar, y, start, step, want):
    global ok
    fill, others = colours(bar)
    x0 = int(round(start + step * 2))  # two pixels inside the fixed end
    end = run_end(rows, y, x0, step, is_fill(fill, others))
    got = end + (1 if step > 0 else 0)  # the edge after the last fill pixel
    print("%s: fill ends at x %d, its fraction puts it at %.1f" % (name, got, want))
    if abs(got - want) > 3:
        ok = False
full_right = px(-456 + 200)
check("ui-health", "health", py(-328), px(-456), 1, px(-456 + 200 * health))
check("ui-yak", "boss", py(312), px(100), -1, px(100 - 200 * boss))
# The checks mean something only if a full bar would fail them.
if abs(px(-456 + 200 * health) - full_right) <= 3 or 200 * (1 - boss) * scale <= 3:
    sys.exit("the fractions are too close to full to tell")
sys.exit(0 if ok else 1)
PY
echo "yak fight HUD: both fills end where their fractions put them"
