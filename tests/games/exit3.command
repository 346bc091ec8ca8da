#!/bin/bash
echo "leaving with code 3"
exit 3
