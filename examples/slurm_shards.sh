#!/bin/bash
# Converts every texture below an input folder into PNG files below an output
# folder as a Slurm job array: task K converts part K of 16 (--shard), so the
# 16 tasks together convert every file exactly once. Both folders must be on
# storage that every node sees. Options after the two folders go to every
# task, with %a in them replaced by the task's number, as in Slurm's own
# file names:
#   sbatch slurm_shards.sh /shared/textures /shared/png
#   sbatch slurm_shards.sh /shared/textures /shared/png --skip-unchanged \
#     --report=/shared/reports/part-%a.jsonl
#SBATCH --array=1-16
#SBATCH --cpus-per-task=8
set -eu
input=$1
output=$2
shift 2
# --exit-code: a task in which any file fails ends with a status other than 0.
exec pellucidcmd --exit-code -i "$input" -o "$output" -c png "${@//%a/$SLURM_ARRAY_TASK_ID}" \
  --shard="$SLURM_ARRAY_TASK_ID/16"
