# Sourced by the test command: a CUPS scheduler with the PDF queue "PDF" as the default printer,
# so the Windows printer tests print for real (cups-pdf writes the files to $HOME/PDF, exported as
# QV_PDF_DIR). cups_env_start starts /usr/sbin/cupsd only when none runs and (re)defines the queue,
# which may be left from an earlier run; cups_env_stop stops the scheduler it started, by its
# process id (callers run it from a trap, so also on failure). Every wait has a deadline.
qv_cupsd_pid=""

# True once the scheduler answers, within about ten seconds.
cups_env_wait_running() {
  local tries
  for tries in $(seq 1 100); do
    lpstat -r 2>/dev/null | grep -q "is running" && return 0
    sleep 0.1
  done
  return 1
}

cups_env_start() {
  if ! lpstat -r 2>/dev/null | grep -q "is running"; then
    [ -x /usr/sbin/cupsd ] || { echo "cupsd is not installed: the printer tests see no printer"; return 0; }
    /usr/sbin/cupsd -f </dev/null >/dev/null 2>&1 &
    qv_cupsd_pid=$!
  fi
  cups_env_wait_running || { echo "the CUPS scheduler does not answer: the printer tests see no printer"; return 0; }
  # Defining an existing queue again only brings it up to date, and enables it.
  lpadmin -p PDF -v cups-pdf:/ -E -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd >/dev/null 2>&1 ||
    lpadmin -p PDF -v cups-pdf:/ -E -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd >/dev/null 2>&1 ||
    { echo "could not add the PDF queue"; return 0; }
  lpoptions -d PDF >/dev/null 2>&1
  mkdir -p "$HOME/PDF"
  export QV_PDF_DIR="$HOME/PDF"
}

cups_env_stop() {
  local pid=$qv_cupsd_pid tries
  qv_cupsd_pid=""
  [ -n "$pid" ] || return 0
  kill "$pid" 2>/dev/null
  for tries in $(seq 1 100); do
    # Gone, or ended and waiting to be reaped (a zombie still answers kill -0).
    case "$(ps -o stat= -p "$pid" 2>/dev/null)" in ''|Z*) break ;; esac
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  return 0
}
