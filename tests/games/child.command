#!/bin/bash
# Starts a child that would outlive its parent; announces both pids.
sleep 300 &
echo "$$ $!"
wait
