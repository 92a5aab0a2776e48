#!/bin/sh
# v4l2-compliance, the V4L2 maintainers' own driver checker, with streaming,
# against the test camera: umockdev makes up its sysfs entry, the fake library
# answers for the node. Every check must pass, so the fake cannot drift from
# how a real driver answers.
# Usage: RunV4l2Compliance.sh FAKE_LIBRARY UMOCKDEV_DESCRIPTION
set -u
lib=$1
description=$2
node=/dev/video99
# The fake must come before umockdev's own library, which would answer for
# the node otherwise.
out=$(FAKE_V4L2_NODE=$node umockdev-run -d "$description" -- \
    sh -c 'LD_PRELOAD="$0${LD_PRELOAD:+:$LD_PRELOAD}" exec v4l2-compliance -d "$1" -s 10' "$lib" "$node" 2>&1)
printf '%s\n' "$out"
printf '%s\n' "$out" | grep -Eq "^Total for .*: [0-9]+, Succeeded: [0-9]+, Failed: 0," || {
    echo "v4l2-compliance: the test camera fails checks (see above)"
    exit 1
}
