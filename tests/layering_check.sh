#!/usr/bin/env bash
# The build already refuses an include or a call of a layer above (cmake/Layers.cmake). What it
# cannot see, this checks: a layer includes directly only the layers listed for it there, not
# every layer it reaches through them (the widgets reach the link only through the model's
# headers), and no include climbs out of its layer's include root with "../".
set -u
root=${1:-$(dirname "$0")/..}
cd "$root" || exit 2

declare -A allowed
while read -r layer below; do
  allowed[$layer]=$below
done < <(sed -n 's/^set(TANZO_BELOW_\([a-z]*\) *"\{0,1\}\([a-z ]*\)"\{0,1\})$/\1 \2/p' cmake/Layers.cmake)
allowed[program]="foundation shell link model graphics widgets screens"
# Single headers a layer may include beyond its list: the position pad holds the controller's payloads.
declare -A allowedHeaders=(
  [widgets]="link/message_value.h"
)
layers="foundation shell link model graphics widgets screens program"
status=0
for layer in $layers; do
  [ -n "${allowed[$layer]+set}" ] || { echo "cmake/Layers.cmake names no layers below $layer"; exit 2; }
  while IFS= read -r file; do
    while IFS= read -r inc; do
      case "$inc" in
        ../* | */../*) echo "$file includes $inc: a path out of the include root"; status=1; continue ;;
      esac
      target=${inc%%/*}
      [ "$target" = "$layer" ] && continue
      case " $layers " in *" $target "*) ;; *) continue ;; esac
      case " ${allowed[$layer]} ${allowedHeaders[$layer]:-} " in
        *" $target "* | *" $inc "*) ;;
        *) echo "$file includes $inc: $layer may not include $target"; status=1 ;;
      esac
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
  done < <(find "$layer" -name '*.h' -o -name '*.cpp' | sort)
done
[ $status -eq 0 ] && echo "layering: every include runs downwards"
exit $status
