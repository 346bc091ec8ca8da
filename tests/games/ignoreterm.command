#!/bin/bash
# Ignores the polite termination request, and so does its child; announces both pids.
trap '' TERM
sleep 300 &
echo "$$ $!"
while :; do
  wait
done
