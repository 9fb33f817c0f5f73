#!/usr/bin/env bash
# Checks labd's session page in a real browser: starts labd on a free port, uploads
# two photos into a new session exactly as the program lays out its uploads, loads
# the session page in headless Chromium, saves a screenshot and checks that the page
# shows both photos (the browser fetched both) and the total price.
# Usage: scripts/session-page-check.sh [SCREENSHOT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
shot="${1:-screenshots/session-page.png}"
corpus="../shared/corpus/jpeg"

scripts/setup.sh --browser
command -v curl >/dev/null || { echo "session page check needs curl" >&2; exit 1; }
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVELLA_TESTS=OFF >/dev/null
cmake --build build --parallel "$(nproc)" --target labd >/dev/null

work=$(mktemp -d)
trap 'kill "$labd" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
build/labd/labd --port 0 --data "$work/data" 2>"$work/labd.log" &
labd=$!
for _ in $(seq 50); do grep -q listening "$work/labd.log" && break; sleep 0.1; done
base=$(grep -o 'http://127.0.0.1:[0-9]*' "$work/labd.log" | head -1)
key=$(curl -s "$base/index.php?option=com_photoprint&step=session")

upload() {  # FILE FORMAT COUNT NUMBER
  local d="----RIRIDO-REZ-AVAZ" body="$work/body"
  {
    printf '%s\r\nContent-Disposition: form-data; name="file"; filename="%s"\r\nContent-Type: image/jpeg\r\n\r\n' "$d" "$1"
    cat "$1"
    printf '%s--\r\n\r\n%s\r\nContent-Disposition: form-data; name="Count"\r\n\r\n%s' "$d" "$d" "$3"
    for pair in "Format=$2" "Paper=glyanc" "key=$key" "dpi=300" "FileNumber=$4" "Param=WithBorder"; do
      printf '\r\n%s--\r\n%s\r\nContent-Disposition: form-data; name="%s"\r\n\r\n%s' "$d" "$d" "${pair%%=*}" "${pair#*=}"
    done
    printf '\r\n%s--' "$d"
  } > "$body"
  curl -s -H "Content-Type: multipart/form-data; boundary=--RIRIDO-REZ-AVAZ" -H "Accept: */*" \
    --data-binary @"$body" "$base/index.php?option=com_photoprint&step=uploadprogs"
}
[ "$(upload "$corpus/ljt-testorig.jpg" 10x15 2 1)" = Ok ]
[ "$(upload "$corpus/pil-flower.jpg" 9x13 1 2)" = Ok ]

page="$base/index.php?option=com_photoprint&step=showprog&key=$key"
browser=(chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run
         --disable-background-networking --disable-component-update --disable-sync
         --user-data-dir="$work/profile" --window-size=1100,700 --hide-scrollbars)
mkdir -p "$(dirname "$shot")"
"${browser[@]}" --screenshot="$shot" "$page" 2>/dev/null
"${browser[@]}" --dump-dom "$page" 2>/dev/null > "$work/dom.html"

fail() { echo "session page check: FAILED: $*" >&2; exit 1; }
[ -s "$shot" ] || fail "no screenshot"
[ "$(grep -o '<img[^>]*/photo?id=' "$work/dom.html" | wc -l)" -eq 2 ] || fail "two photos not on the page"
grep -q 'Итого: 36.00 руб.' "$work/dom.html" || fail "total price not shown"   # 2 x 12.50 + 11.00
[ "$(grep -c 'GET /photo?id=.* -> 200' "$work/labd.log")" -ge 2 ] || fail "the browser did not load both photos"
echo "session page check: passed (screenshot: $shot)"
