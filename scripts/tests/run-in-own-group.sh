#!/usr/bin/env bash
# Runs a test in a process group of its own and, once the test has ended however it ended
# (passed, failed, aborted by its watchdog, crashed), ends every process it left in that
# group: an X server, a compositor, a program under test. Left running, such a helper would
# hold ctest's output pipes open and ctest would wait for it until the test's time limit.
set -m
"$@" &
test_pid=$!
wait "$test_pid"
status=$?
kill -KILL -- "-$test_pid" 2>/dev/null
exit "$status"
