#!/bin/bash
# Answers every command line it reads with "echo: [line]"; blank keep-alive lines are skipped.
echo "ready"
while IFS= read -r line; do
  if [ -n "${line//[[:space:]]/}" ]; then
    echo "echo: [$line]"
  fi
done
