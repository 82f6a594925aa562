# Shared by the end-to-end scripts: a scratch folder removed on exit, failures
# counted, and expect_exit, which runs a command with its output in
# "$work/out" and "$work/err" and checks its exit code.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

expect_exit() {  # expected_code description command...
  local want=$1 what=$2; shift 2
  "$@" >"$work/out" 2>"$work/err"
  local got=$?
  [ "$got" -eq "$want" ] || fail "$what: exit $got, expected $want ($(head -c 300 "$work/err"))"
}
