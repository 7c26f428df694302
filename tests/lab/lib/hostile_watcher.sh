# Talking to quorvel-hostile-watcher (tests/lab/tools/hostile_watcher.cpp)
# from a lab script: it reads command files from its directory and writes
# stats.txt there. Source after lab.sh.

# watcher_tell DIR COMMAND: waits until the watcher has carried it out.
watcher_tell() {
    local directory=$1 command=$2 tries
    touch "$directory/$command"
    for ((tries = 0; tries < 50; tries++)); do
        [ -e "$directory/$command" ] || return 0
        sleep 0.1
    done
    lab_fail "the watcher did not carry out '$command'"
}

# watcher_stat DIR KEY: a value of its latest stats.txt.
watcher_stat() {
    sed -n "s/^$2=//p" "$1/stats.txt"
}

# watcher_setup: the watcher's directory W and its trace file TRACE under
# LAB_TMP, for the one watcher a script runs; tell and stat_value talk to it.
watcher_setup() {
    W=$LAB_TMP/watch
    TRACE=$LAB_TMP/watcher.log
    mkdir -p "$W"
}

# tell COMMAND: the watcher carries it out within its next report period.
tell() { watcher_tell "$W" "$1"; }
stat_value() { watcher_stat "$W" "$1"; }
