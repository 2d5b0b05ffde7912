#!/usr/bin/env bash
# Settings and data files a careless or hostile user can leave behind: none
# crashes a program, none is written over, and each refusal says in the log
# what was refused and why.
set -euo pipefail
source "$(dirname "$0")/e2e_common.bash" "$@"

nested() { printf '%*s' "$1" '' | sed 's/ /<a>/g'; }

# Nesting that TinyXML reads as 200,001 levels behind a '<' its guard once
# misread: it overflowed the stack of all three programs at start-up.
deep="<UserSettings><\">$(nested 200000)"
for args in "" -l -m; do
  name="deep-settings$args"
  user_folder "$name"
  printf '%s' "$deep" > "$settings/UserConfig.xcfg"
  keepXdg=1 run_program "$name" $args
  expect_clean_run "$name"
  expect_line "$(log_file)" "UserConfig.xcfg could not be read (elements nested 200001 levels deep (at most 256 are read)): kept as UserConfig.xcfg.broken, using the defaults"
  [ "$(cat "$settings/UserConfig.xcfg.broken")" = "$deep" ] || fail "$name: the broken file was changed"
  [ -f "$settings/UserConfig.xcfg" ] || fail "$name: no new settings file"
done
echo "deep settings file: ok"

# The same nesting in a states file and an archetype file.
printf '%s' "<GamePlay><1>$(nested 200000)" > rsc/states.xstt
printf '%s' "<deep-obj><\">$(nested 200000)" > rsc/objects/deep.xobj
printf 'deep\n' >> rsc/loading-pkg.pkg
run_program deep-data
expect_clean_run deep-data
for file in rsc/states.xstt rsc/objects/deep.xobj; do
  expect_line "$(log_file)" "Failed to open file'$file'. Is the file name correct?"
  expect_line "$(log_file)" "$file: elements nested 200001 levels deep (at most 256 are read)"
done
rm rsc/objects/deep.xobj; cp "$src/rsc/states.xstt" "$src/rsc/loading-pkg.pkg" rsc/
echo "deep data files: ok"

# A truncated settings file: what was read whole is kept, the file is set
# aside; a second broken file gets a name of its own.
truncated='<UserSettings><WindowWidth>800</WindowWidth><WindowHeight>600</WindowHeight><Fullscreen>0</Fullscreen><bgm-mu'
user_folder truncated
printf '%s' "$truncated" > "$settings/UserConfig.xcfg"
keepXdg=1 run_program truncated
expect_line "$(log_file)" "kept as UserConfig.xcfg.broken, using the defaults except WindowWidth, WindowHeight, Fullscreen (read from it)"
expect_line "$settings/UserConfig.xcfg" "<WindowWidth>800</WindowWidth>"
expect_line "$settings/UserConfig.xcfg" "<Fullscreen>0</Fullscreen>"
printf 'garbage' > "$settings/UserConfig.xcfg"
keepXdg=1 run_program truncated-again
expect_line "$(log_file)" "kept as UserConfig.xcfg.broken-2, using the defaults"
[ "$(cat "$settings/UserConfig.xcfg.broken")" = "$truncated" ] || fail "the first broken file was overwritten"
echo "truncated settings file: ok"

# Window sizes SDL refuses: the programs fall back to the screen size and do
# not save the bad size again.
for size in 100000 2147483647; do
  for args in "" -l; do
    name="window-$size$args"
    user_folder "$name"
    printf '<UserSettings><WindowWidth>%s</WindowWidth><WindowHeight>%s</WindowHeight><Fullscreen>0</Fullscreen></UserSettings>' \
      "$size" "$size" > "$settings/UserConfig.xcfg"
    keepXdg=1 run_program "$name" $args
    expect_clean_run "$name"
    expect_line "$(log_file)" "WindowSystem: cannot create a window of $size x $size"
    expect_no_line "$settings/UserConfig.xcfg" "$size"
    expect_line "$settings/UserConfig.xcfg" "<Fullscreen>1</Fullscreen>"
  done
done
echo "oversize window: ok"

# No data at all, and a system configuration that does not parse.
mkdir -p "$work/empty"
user_folder no-rsc
(cd "$work/empty" && keepXdg=1 run_program no-rsc)
# The walk comes before the log file is open: this line goes to stderr.
expect_line "$work/no-rsc.err" "Resource folder 'rsc' not found (working directory '$work/empty'): no data is loaded"
expect_line "$(log_file)" "Resource 'loading-pkg' not found under 'rsc': nothing of it is loaded"
printf '<CoreSystem><debug>1</debug><max-fps>30</max-fps>' > rsc/coresystem.xcfg
run_program bad-config
expect_line "$(log_file)" "rsc/coresystem.xcfg: configuration of CoreSystem could not be read (Error reading Element value.), its defaults are kept"
cp "$src/rsc/coresystem.xcfg" rsc/coresystem.xcfg
echo "missing data and broken configuration: ok"
