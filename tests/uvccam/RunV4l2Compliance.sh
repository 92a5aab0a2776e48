#!/bin/sh
# v4l2-compliance, the V4L2 maintainers' own driver checker, against the test
# camera: umockdev makes up its sysfs entry, the fake library answers for the
# node. Every check named in the pass list must say OK, so the fake cannot
# drift from how a real driver answers.
# Usage: RunV4l2Compliance.sh FAKE_LIBRARY PASS_LIST UMOCKDEV_DESCRIPTION
set -u
lib=$1
passes=$2
description=$3
node=/dev/video99
# The fake must come before umockdev's own library, which would answer for
# the node otherwise.
out=$(FAKE_V4L2_NODE=$node umockdev-run -d "$description" -- \
    sh -c 'LD_PRELOAD="$0${LD_PRELOAD:+:$LD_PRELOAD}" exec v4l2-compliance -d "$1" -s 10' "$lib" "$node" 2>&1)
printf '%s\n' "$out"
missing=0
while IFS= read -r check; do
    [ -n "$check" ] || continue
    line="test $(printf '%s' "$check" | sed "s#DEVICE#$node#"): OK"
    if ! printf '%s\n' "$out" | grep -qxF "	$line"; then
        echo "NOT PASSED: $check"
        missing=1
    fi
done < "$passes"
[ $missing -eq 0 ] && echo "All $(grep -c . "$passes") listed checks pass."
exit $missing
