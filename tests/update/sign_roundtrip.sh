#!/usr/bin/env bash
# vexa7xx-sign as a publisher uses it: a key pair, a signed archive and image that verify with
# the public key and fail with another, and an image whose bytes stay as they were.
set -euo pipefail
sign="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
fail() { echo "FAIL: $*" >&2; exit 1; }

"$sign" keygen release >/dev/null
"$sign" keygen other >/dev/null
[ "$(stat -c %a release.key)" = 600 ] || fail "the secret key is readable by others"
"$sign" keygen release >/dev/null 2>&1 && fail "keygen overwrote a key"

python3 - <<'PY'
import zipfile
with zipfile.ZipFile("update.zip", "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("startupd.sh", "cp -r bin ..\n")
    z.writestr("bin/vexa", "new program")
PY
head -c 20000 /dev/urandom >image.bin
cp image.bin image.orig

for f in update.zip image.bin; do
    "$sign" sign "$f" --key release.key >/dev/null || fail "sign $f"
    "$sign" sign "$f" --key release.key >/dev/null || fail "sign $f again"
    "$sign" verify "$f" --pubkey release.pub >/dev/null || fail "$f does not verify"
    "$sign" verify "$f" --pubkey "$(cat release.pub)" >/dev/null || fail "$f: key as text"
    "$sign" verify "$f" --pubkey other.pub >/dev/null 2>&1 && fail "$f verifies with another key"
done
[ "$(head -c 20000 image.bin | cmp - image.orig && echo same)" = same ] || fail "the image bytes changed"
[ $(($(stat -c %s image.bin) - 20000)) -eq 84 ] || fail "the trailer is not 84 bytes"
"$sign" verify image.orig --pubkey release.pub >/dev/null 2>&1 && fail "an unsigned image verifies"

# A changed entry breaks the archive's signature.
python3 - <<'PY'
import zipfile
src = zipfile.ZipFile("update.zip")
with zipfile.ZipFile("changed.zip", "w", zipfile.ZIP_DEFLATED) as z:
    for i in src.infolist():
        data = src.read(i.filename)
        z.writestr(i, b"evil" if i.filename == "bin/vexa" else data)
PY
"$sign" verify changed.zip --pubkey release.pub >/dev/null 2>&1 && fail "a changed archive verifies"
rc=0
"$sign" nonsense >/dev/null 2>&1 || rc=$?
[ "$rc" -eq 2 ] || fail "wrong usage is not exit 2"
echo "sign round trip: ok"
