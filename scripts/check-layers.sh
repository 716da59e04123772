#!/usr/bin/env bash
# Fails when a file under src/ includes a header of a later layer, or of no layer, or a Qt header
# outside the layers that draw or load pictures. The libraries' include root is src/ itself, so
# the compiler would accept any of these; only this check keeps the order.
set -euo pipefail
cd "$(dirname "$0")/.."

layers=(foundation files imaging composition ui app)
qt_layers=" imaging ui app "
order=$(printf ' -> %s' "${layers[@]}")
order=${order# -> }
failures=0

for index in "${!layers[@]}"; do
    layer=${layers[$index]}
    allowed=" ${layers[*]:0:index+1} "
    while IFS=: read -r file line text; do
        if [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]*)\" ]]; then
            header=${BASH_REMATCH[1]}
            used=${header%%/*}
            if [[ $header != */* || $allowed != *" $used "* ]]; then
                echo "$file:$line: $layer includes \"$header\"" >&2
                failures=$((failures + 1))
            fi
        elif [[ $text =~ \<(Q[A-Za-z]*)[/\>] && $qt_layers != *" $layer "* ]]; then
            echo "$file:$line: $layer includes the Qt header <${BASH_REMATCH[1]}>" >&2
            failures=$((failures + 1))
        fi
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include' "src/$layer" --include='*.cpp' --include='*.h' || true)
done

if [ "$failures" -ne 0 ]; then
    echo "$failures includes break the layers ($order)" >&2
    exit 1
fi
echo "Layers: every include follows $order"
