#!/usr/bin/env bash
# Includes run one way only: a layer may include itself and the layers listed for it.
# program/, the entry point and the composition root, is the only place that knows every layer.
set -u
root=${1:-$(dirname "$0")/..}
cd "$root" || exit 2

declare -A allowed=(
  [foundation]=""
  [shell]="foundation"
  [link]="foundation shell"
  [model]="foundation shell link"
  [graphics]="foundation shell"
  [widgets]="foundation shell graphics model"
  [screens]="foundation shell link model graphics widgets"
)
# Single headers a layer may reach beyond its list: the position pad holds the controller's payloads.
declare -A allowedHeaders=(
  [widgets]="link/message_value.h"
)
layers="foundation shell link model graphics widgets screens"
status=0
for layer in $layers; do
  while IFS= read -r file; do
    while IFS= read -r inc; do
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
