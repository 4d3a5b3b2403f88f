#!/usr/bin/env bash
# Runs the README's Slurm job array (examples/slurm_shards.sh) on a private
# one-node Slurm cluster started here: munge with a fresh key and its own
# socket, slurmctld and slurmd as the current user with a generated
# slurm.conf, every file in one temporary folder, all of it stopped at the end
# whatever happens. Every submission asks for --skip-unchanged and a report
# per task, as the README's resume recipe does. Checks that
# - parts run side by side on one node: while the task of part 1 waits for
#   another copy of part 1 (which holds it here on purpose), the tasks of
#   every other part run to their end, on a node with fewer slots than tasks;
# - after that task is cancelled, the array submitted again converts exactly
#   the files the first one did not (counted from the reports) and skips the
#   rest, every task of it ends with status 0, and the output tree is exactly
#   what one local run of the whole tree writes (names and bytes).
# When the machine cannot run the daemons it prints one line saying why and
# exits 77, which ctest reports as skipped.
#
# Usage: slurm_array_test.sh PELLUCIDCMD SOURCE_FOLDER
#        slurm_array_test.sh --stop FOLDER   (the watchdog's part, see below)
set -euo pipefail
parts=16                # the example's array: tasks 1-16, part K of 16
files=400               # textures in the generated tree
slots=4                 # tasks the node runs at once (32 CPUs, 8 per task)
waiting="Waiting for another copy of pellucidcmd to finish..."

skip() { echo "SKIPPED: $*"; exit 77; }

# Ends every process of the cluster in folder $1, by process id: first the
# jobs through the controller, then whatever carries the marker (the daemons,
# their job steps, the jobs and what they run); then removes the folder.
stop_cluster() {
  set +e
  local marker="PELLUCID_SLURM_TEST=$1" pids
  if [ -f "$1/slurm.conf" ]; then
    SLURM_CONF=$1/slurm.conf scancel --quiet --user="$(id -un)" 2>/dev/null
    for _ in 1 2 3 4 5 6 7 8 9 10; do
      [ -z "$(SLURM_CONF=$1/slurm.conf squeue -h 2>/dev/null)" ] && break
      sleep 0.5
    done
  fi
  for signal in TERM TERM TERM TERM KILL; do
    pids=$(grep -lsxzF "$marker" /proc/[0-9]*/environ | cut -d/ -f3)
    [ -z "$pids" ] && break
    kill -s "$signal" $pids 2>/dev/null
    sleep 0.5
  done
  rm -rf "$1"
}

if [ "${1:-}" = --stop ]; then
  stop_cluster "$2"
  exit 0
fi
program=$(realpath "$1")
example=$(realpath "$2/examples/slurm_shards.sh")

for tool in munged mungekey slurmctld slurmd sbatch squeue sinfo scancel python3; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/setup.sh installs slurm-wlm and munge)"
done

dir=$(mktemp -d "${TMPDIR:-/tmp}/pellucid-slurm.XXXXXX")
# munged refuses a socket below a folder that others cannot search.
chmod 711 "$dir"
mkdir -m 700 "$dir/munge" "$dir/runtime"
mkdir -m 755 "$dir/run"
mkdir "$dir/state" "$dir/spool" "$dir/spool/node1" "$dir/log" "$dir/jobs" "$dir/tree" \
  "$dir/empty" "$dir/local" "$dir/out" "$dir/reports"
export SLURM_CONF=$dir/slurm.conf
# The program's lock files: private to this test, shared by its runs.
export XDG_RUNTIME_DIR=$dir/runtime
# Every process started for the cluster (the daemons, the job steps, the jobs
# and what they run) and the copy holding part 1 carry this variable; the
# test itself does not.
marker="PELLUCID_SLURM_TEST=$dir"

holder=""
logs() {
  for log in "$dir"/log/*.log "$dir"/jobs/*.out; do
    [ -f "$log" ] && { echo "--- $log"; tail -n 15 "$log"; }
  done
}
fail() {
  echo "FAILED: $*"
  logs
  exit 1
}

# The cluster stops when this script ends, also by a signal; should it be
# killed outright (a ctest time-out), a watchdog outside its process group
# stops the cluster once the script is gone.
trap '[ -n "$holder" ] && kill "$holder" 2>/dev/null; stop_cluster "$dir"' EXIT
trap 'exit 1' INT TERM HUP
setsid bash -c 'while kill -0 "$1" 2>/dev/null; do sleep 2; done; [ -d "$3" ] && exec "$2" --stop "$3"' \
  watchdog $$ "$0" "$dir" </dev/null >/dev/null 2>&1 &

# Two free ports, held together while they are chosen so they differ.
read -r ctld_port slurmd_port < <(python3 -c '
import socket
a, b = socket.socket(), socket.socket()
a.bind(("127.0.0.1", 0)); b.bind(("127.0.0.1", 0))
print(a.getsockname()[1], b.getsockname()[1])')

user=$(id -un)
cat >"$SLURM_CONF" <<EOF
ClusterName=pellucidtest
SlurmctldHost=localhost(127.0.0.1)
SlurmctldPort=$ctld_port
SlurmdPort=$slurmd_port
SlurmUser=$user
SlurmdUser=$user
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$dir/run/munge.sock
StateSaveLocation=$dir/state
SlurmdSpoolDir=$dir/spool/%n
SlurmctldPidFile=$dir/run/slurmctld.pid
SlurmdPidFile=$dir/run/slurmd.pid
SlurmctldLogFile=$dir/log/slurmctld.log
SlurmdLogFile=$dir/log/slurmd.log
PlugStackConfig=$dir/plugstack.conf
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
JobCompType=jobcomp/filetxt
JobCompLoc=$dir/log/jobcomp.txt
MpiDefault=none
SchedulerType=sched/builtin
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
SlurmdParameters=config_overrides
ReturnToService=2
NodeName=node1 NodeHostname=$(hostname) NodeAddr=127.0.0.1 CPUs=$((slots * 8)) State=UNKNOWN
PartitionName=main Nodes=node1 Default=YES MaxTime=INFINITE State=UP
EOF
: >"$dir/plugstack.conf"

mungekey --create --keyfile="$dir/munge/munge.key" >/dev/null 2>&1 ||
  skip "mungekey cannot create a key"
env "$marker" munged --socket="$dir/run/munge.sock" --key-file="$dir/munge/munge.key" \
  --log-file="$dir/log/munged.log" --pid-file="$dir/run/munged.pid" \
  --seed-file="$dir/munge/seed" >/dev/null 2>&1 ||
  skip "munged does not start: $(tail -n 1 "$dir/log/munged.log" 2>/dev/null)"
env "$marker" slurmctld >/dev/null 2>&1 || skip "slurmctld does not start"
env "$marker" slurmd -N node1 >/dev/null 2>&1 || skip "slurmd does not start"
state=""
for _ in $(seq 60); do
  state=$(sinfo -h -n node1 -o %T 2>/dev/null || true)
  [ "$state" = idle ] && break
  sleep 0.5
done
[ "$state" = idle ] || skip "the one-node cluster does not come up (node state '$state'):" \
  "$(grep -h error "$dir"/log/slurm*.log 2>/dev/null | tail -n 1)"

# A tree of small textures in a few subfolders, one with a space in its name.
python3 - "$dir/tree" "$files" <<'EOF'
import os, random, struct, sys
root, count = sys.argv[1], int(sys.argv[2])
for i in range(count):
    folder = os.path.join(root, ["", "a", "a/b", "c d"][i % 4])
    os.makedirs(folder, exist_ok=True)
    rng = random.Random(i)
    width, height = rng.randrange(16, 129), rng.randrange(16, 129)
    header = struct.pack("<4s7I44x8I5I", b"DDS ", 124, 0x100F, height, width, width * 4, 0, 0,
                         32, 0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000, 0x1000, 0, 0, 0, 0)
    with open(os.path.join(folder, "t%03d.dds" % i), "wb") as f:
        f.write(header + rng.randbytes(width * height * 4))
EOF

"$program" -q --exit-code -i "$dir/tree/" -o "$dir/local/" -c png >"$dir/log/local.log" 2>&1 ||
  fail "the local run of the whole tree"
[ "$(find "$dir/local" -type f | wc -l)" -eq "$files" ] || fail "the local run wrote too few files"

# A copy of part 1 into the same output folder that holds its lock until it
# reads a key: the task of part 1 has to wait for it, the tasks of the other
# parts must not. It converts nothing (its input folder is empty), so every
# output checked below is the arrays'.
mkfifo "$dir/holder.in"
exec 3<>"$dir/holder.in"
env "$marker" "$program" -p -q -i "$dir/empty/" -o "$dir/out/" -c png --shard=1/$parts <&3 \
  >"$dir/log/holder.log" 2>&1 &
holder=$!
for _ in $(seq 120); do
  grep -q "Press any key" "$dir/log/holder.log" && break
  sleep 0.5
done
grep -q "Press any key" "$dir/log/holder.log" || fail "the copy holding part 1 did not start"

# Submits the example with a report per task named after $1; prints the job id.
submit() {
  local job
  job=$(cd "$dir/jobs" && env "$marker" PATH="$(dirname "$program"):$PATH" \
    sbatch --parsable "$example" "$dir/tree/" "$dir/out/" --skip-unchanged \
    "--report=$dir/reports/$1-%a.jsonl") || { echo "FAILED: sbatch refused the job" >&2; exit 1; }
  echo "${job%%;*}"
}

# Waits up to $2 half-seconds for the queue entries of job $1 to be $3.
wait_for_queue() {
  for _ in $(seq "$2"); do
    [ "$(squeue -h -j "$1" -o %i 2>/dev/null | tr '\n' ' ')" = "$3" ] && return 0
    sleep 0.5
  done
  return 1
}

# Prints the tasks of job $1 as sacct would (there is no accounting database
# here: the job completion records stand in for it) and checks that they are
# tasks 1..parts, ended with exit code 0 in state $2, task 1 in state $3.
check_tasks() {
  for _ in $(seq 20); do
    [ "$(grep -c "ArrayJobId=$1 " "$dir/log/jobcomp.txt" 2>/dev/null)" -eq "$parts" ] && break
    sleep 0.5
  done
  python3 - "$dir/log/jobcomp.txt" "$1" "$parts" "$2" "$3" <<'EOF'
import sys
path, job, parts, state, first = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4], sys.argv[5]
tasks = {}
for line in open(path):
    fields = dict(f.split("=", 1) for f in line.split() if "=" in f)
    if fields.get("ArrayJobId") == job:
        tasks[int(fields["ArrayTaskId"])] = fields
print("%-12s %-10s %-8s %-19s %-19s" % ("JobID", "State", "ExitCode", "Start", "End"))
for task in sorted(tasks):
    f = tasks[task]
    print("%-12s %-10s %-8s %-19s %-19s" % ("%s_%d" % (job, task), f["JobState"], f["ExitCode"],
                                             f["StartTime"], f["EndTime"]))
def ended_well(task, f):
    if task == 1 and first == "CANCELLED":
        return f["JobState"] == first
    return f["JobState"] == state and f["ExitCode"] == "0:0"
ok = sorted(tasks) == list(range(1, parts + 1)) and all(ended_well(t, f) for t, f in tasks.items())
sys.exit(0 if ok else 1)
EOF
}

# Inputs of the reports named after $1 with status $2.
count_status() {
  cat "$dir"/reports/"$1"-*.jsonl 2>/dev/null | grep -c "\"status\":\"$2\"" || true
}

job=$(submit first)
wait_for_queue "$job" 240 "${job}_1 " ||
  fail "the other parts did not finish while part 1 waited: $(squeue -h -j "$job" -o '%i %T')"
grep -qF "$waiting" "$dir/jobs/slurm-${job}_1.out" || fail "part 1 did not wait for its other copy"
for task in $(seq 2 $parts); do
  ! grep -qF "$waiting" "$dir/jobs/slurm-${job}_$task.out" || fail "part $task waited"
done
scancel "${job}_1"
wait_for_queue "$job" 120 "" || fail "the cancelled task did not end: $(squeue -h -j "$job" -o '%i %T')"
echo x >&3
wait "$holder" || fail "the copy holding part 1"
holder=""
check_tasks "$job" COMPLETED CANCELLED || fail "the first array's tasks"
first=$(count_status first converted)
[ "$first" -gt 0 ] && [ "$first" -lt "$files" ] || fail "the first array converted $first files"

resumed=$(submit second)
wait_for_queue "$resumed" 240 "" || fail "the array did not end: $(squeue -h -j "$resumed" -o '%i %T')"
check_tasks "$resumed" COMPLETED COMPLETED || fail "not every task ended with status 0"
diff -r -x .pellucid "$dir/local" "$dir/out" >"$dir/log/diff.log" 2>&1 ||
  fail "the arrays' outputs differ from the local run: $(head -n 3 "$dir/log/diff.log")"
converted=$(count_status second converted)
unchanged=$(count_status second unchanged)
echo "First array: $first of $files files converted, part 1 cancelled while it waited;" \
  "resumed array: $converted converted, $unchanged unchanged."
[ "$converted" -eq $((files - first)) ] && [ "$unchanged" -eq "$first" ] ||
  fail "the resumed array converted $converted and skipped $unchanged files"
echo "Parts 2-$parts ran while part 1 waited for its other copy; the resumed array" \
  "completed the tree as the local run wrote it."
