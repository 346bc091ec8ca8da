#include "LauncherScript.h"

#include "SampleGames.h"

namespace arvexhub::sample {
namespace {

// Only bash builtins are used, so the script runs wherever bash does. Pauses read standard input
// with a deadline, so commands are answered at once and the demo is still paced. Nothing runs in a
// subshell: a stop signal goes to the whole process group, and a $(...) it ends leaves an empty
// value behind (an arithmetic error on the console) before the trap runs.
const char* const scriptTemplate = R"bash(#!/usr/bin/env bash
# @FULLNAME@ @VERSION@ - a sample game for Arvex Hub. It prints the console output the launcher
# reads (free text, "[ArvexHub] [n] Level: message" lines with colours, a fullscreen announcement)
# and answers every non-empty line of its standard input as a command.
GAME_NAME='@FULLNAME@'
GAME_VERSION='@VERSION@'
ESC=$'\033'
command_count=0

shutdown() {
  printf '[ArvexHub] [5] Info: Shutting down\n'
  exit 0
}
trap shutdown TERM INT

log() { # channel level message
  printf '[ArvexHub] [%s] %s: %s\n' "$1" "$2" "$3"
}

clock_us() { # sets "now" to the clock in microseconds
  now=${EPOCHREALTIME//[!0-9]/}
  now=$((10#$now))
}

# Answers one command in the launcher's command-result format: a begin and an end line around the
# answer, with the id the launcher gave the command (0 for the first of a run, then 1, 2, ...).
run_command() {
  local command=$1 id=$command_count text
  command_count=$((command_count + 1))
  log 4 Info "====== Begin Lua command #${id} ======"
  case $command in
    print\(*\))
      text=${command#print(}
      text=${text%)}
      text=${text#[\"\']}
      text=${text%[\"\']}
      printf '%s\n' "$text"
      ;;
    version\(\))
      log 4 Info "${GAME_NAME} ${GAME_VERSION}"
      ;;
    help\(\))
      log 4 Info "Commands: print(\"text\"), version(), help(); anything else is echoed back."
      ;;
    *\(*)
      text="attempt to call a nil value (global '${command%%(*}')"
      log 4 Error "In Lua command: [string \"${command}\"]:1: ${text}"
      log 4 Info "====== End Lua command #${id}: failure ======"
      return
      ;;
    *)
      log 4 Info "You typed: ${command}"
      log 4 Debug "${#command} characters, no result"
      ;;
  esac
  log 4 Info "====== End Lua command #${id}: success ======"
}

# Waits the given number of microseconds while answering commands; ends the game when input closes.
pause() {
  local now until left timeout line
  clock_us
  until=$(( now + $1 ))
  while :; do
    clock_us
    left=$(( until - now ))
    (( left > 0 )) || return 0
    printf -v timeout '%d.%06d' $(( left / 1000000 )) $(( left % 1000000 ))
    if IFS= read -r -t "$timeout" line; then
      line=${line%$'\r'}
      [[ -n ${line//[[:space:]]/} ]] && run_command "$line"
    elif (( $? <= 128 )); then
      line=${line%$'\r'}
      [[ -n ${line//[[:space:]]/} ]] && run_command "$line"
      printf 'Input closed.\n'
      shutdown
    fi
  done
}

say() { printf '%s\n' "$1"; pause 300000; }
say_log() { log "$1" "$2" "$3"; pause 300000; }

colours() { # title, then code and name pairs: one log line with each name in its colour
  local text=$1
  shift
  while (( $# >= 2 )); do
    text+=" ${ESC}[$1m$2${ESC}[0m"
    shift 2
  done
  say_log 2 Info "$text"
}

say "${GAME_NAME} ${GAME_VERSION}"
say "A sample game for Arvex Hub. Type a command in the console, e.g. print(\"hello\"), version() or help()."
say_log 1 Debug "Reading settings.ini"
say_log 1 Info "Renderer ready"
colours "Colours:" 31 red 32 green 33 yellow 34 blue
colours "More colours:" 35 magenta 36 cyan 37 white 30 black
colours "Bright:" 91 red 92 green 93 yellow 94 blue
colours "More bright:" 95 magenta 96 cyan 97 white 90 grey
say_log 3 Info "Fullscreen: yes"
say_log 1 Warning "Texture pack 'hd' not found, using 'standard'"
for level in 1 2 3 4 5 6; do
  say_log 1 Info "Loading level ${level}"
  say "Level ${level}: ${ESC}[33m$(( level * 3 ))${ESC}[0m stars to find"
  say_log 1 Debug "Frame time $(( 14 + level )) ms"
  say_log 2 Info "Score ${ESC}[32m$(( level * 1250 ))${ESC}[0m"
  if (( level == 3 )); then
    say_log 1 Error "In Lua command: [string \"spawn_boss()\"]:1: attempt to call a nil value"
  fi
  say "Checkpoint reached."
done
say_log 1 Warning "Battery low: saving the game"
say "Saved to save.dat"
say_log 1 Fatal "The demo has no more levels"
say "Thanks for playing ${GAME_NAME}!"
say "The demo is over; the game keeps answering commands until you stop it."
while :; do
  pause 3600000000
done
)bash";

QString versionText(const SampleGame& game, const QString& version) {
  return version.isEmpty() ? game.version : version;
}

} // namespace

QByteArray launcherScript(const SampleGame& game, const QString& version) {
  auto text = QString::fromUtf8(scriptTemplate);
  text.replace(QStringLiteral("@FULLNAME@"), game.fullName);
  text.replace(QStringLiteral("@VERSION@"), versionText(game, version));
  return text.toUtf8();
}

QByteArray gameReadme(const SampleGame& game, const QString& version) {
  const auto text =
      QStringLiteral("%1 %2\n\nBy %3, published by %4. Released %5.\n\n"
                     "A sample game for Arvex Hub: launcher.command prints a short demo "
                     "and answers commands such as print(\"hello\") and version().\n")
          .arg(game.fullName, versionText(game, version), game.developer, game.publisher, game.launchDate);
  return text.toUtf8();
}

} // namespace arvexhub::sample
