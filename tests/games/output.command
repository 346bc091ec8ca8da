#!/bin/bash
# Writes its output in separate bursts: blanks around a word and blank lines, three lines at
# once, one line split over two writes, and a last line without a final newline.
printf '  word  \n\n   \n'
sleep 0.4
printf 'one\ntwo\nthree\n'
sleep 0.4
printf 'spl'
sleep 0.4
printf 'it line\n'
sleep 0.4
printf 'last line without newline'
