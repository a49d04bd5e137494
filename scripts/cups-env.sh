# Sourced by the test command: a CUPS scheduler with the PDF queue "PDF" as the default printer,
# so the Windows printer tests print for real (cups-pdf writes the files to $HOME/PDF).
# cups_env_start starts /usr/sbin/cupsd only when none runs; cups_env_stop stops the one it
# started, by its process id (callers run it from a trap, so also on failure).
qv_cupsd_pid=""

cups_env_start() {
  local tries
  if ! pgrep -x cupsd >/dev/null 2>&1; then
    [ -x /usr/sbin/cupsd ] || { echo "cupsd is not installed: the printer tests see no printer"; return 0; }
    /usr/sbin/cupsd -f >/dev/null 2>&1 &
    qv_cupsd_pid=$!
  fi
  for tries in $(seq 1 100); do
    lpstat -r 2>/dev/null | grep -q "is running" && break
    sleep 0.1
  done
  if ! lpstat -p PDF >/dev/null 2>&1; then
    lpadmin -p PDF -v cups-pdf:/ -E -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd >/dev/null 2>&1 ||
      lpadmin -p PDF -v cups-pdf:/ -E -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd >/dev/null 2>&1 ||
      { echo "could not add the PDF queue"; return 0; }
  fi
  lpoptions -d PDF >/dev/null 2>&1
  mkdir -p "$HOME/PDF"
  export QV_PDF_DIR="$HOME/PDF"
}

cups_env_stop() {
  if [ -n "$qv_cupsd_pid" ]; then
    kill "$qv_cupsd_pid" 2>/dev/null
    wait "$qv_cupsd_pid" 2>/dev/null
  fi
  qv_cupsd_pid=""
  return 0
}
