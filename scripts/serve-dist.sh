#!/usr/bin/env bash
# Serves the distribution site (build/dist/) with nginx on this machine, as the launcher's default
# site address expects; a static web host does the same job in real use.
#   scripts/serve-dist.sh                  start (again: nothing to do) on the build's address
#   scripts/serve-dist.sh stop
#   scripts/serve-dist.sh --root DIR --port N --state DIR [stop]
#                                          any folder on any port, state (config, pid, logs) in DIR;
#                                          the tests use this form
set -euo pipefail
cd "$(dirname "$0")/.."

root="$PWD/build/dist"
state="$PWD/build/nginx"
port=""
action=start
while [ $# -gt 0 ]; do
  case $1 in
    --root) root=$2; shift 2 ;;
    --port) port=$2; shift 2 ;;
    --state) state=$2; shift 2 ;;
    stop) action=stop; shift ;;
    *) echo "serve-dist.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done
if [ -z "$port" ]; then
  # The port of the address the launcher was built against (CMake cache variable QB_DIST_BASE_URL).
  url=$(sed -n 's/^QB_DIST_BASE_URL:STRING=//p' build/CMakeCache.txt 2>/dev/null || true)
  case $url in
    http://127.0.0.1:*) port=${url#http://127.0.0.1:}; port=${port%%/*} ;;
    "") port=8760 ;;
    *) echo "serve-dist.sh: the build publishes to $url, not to this machine: nothing to serve" >&2; exit 0 ;;
  esac
fi

nginx=$(command -v nginx || echo /usr/sbin/nginx)
[ -x "$nginx" ] || { echo "serve-dist.sh: nginx is missing (sudo apt-get install nginx-light)" >&2; exit 3; }
pidfile="$state/nginx.pid"

running() { [ -s "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; }

if [ "$action" = stop ]; then
  if running; then kill "$(cat "$pidfile")"; fi
  exit 0
fi
if running; then
  echo "Distribution site already served: http://127.0.0.1:$port/ ($root)"
  exit 0
fi
[ -d "$root" ] || { echo "serve-dist.sh: $root does not exist; build first" >&2; exit 2; }

mkdir -p "$state/temp"
# Workers of a root-started nginx run as this user, so they can read a tree under /root.
user_line=""
[ "$(id -u)" -eq 0 ] && user_line="user $(id -un) $(id -gn);"
cat >"$state/nginx.conf" <<CONF
$user_line
worker_processes 1;
pid $pidfile;
error_log $state/error.log warn;
events { worker_connections 256; }
http {
  types {
    text/html html;
    application/zip zip;
    text/plain sig;
    image/png png;
    application/octet-stream db so exe dll;
    application/xml xml;
  }
  default_type application/octet-stream;
  access_log $state/access.log;
  client_body_temp_path $state/temp/body;
  proxy_temp_path $state/temp/proxy;
  fastcgi_temp_path $state/temp/fastcgi;
  uwsgi_temp_path $state/temp/uwsgi;
  scgi_temp_path $state/temp/scgi;
  sendfile on;
  server {
    listen 127.0.0.1:$port;
    root $root;
    # The manifest must be read fresh at every check.
    location /quillbay_resalse/ { add_header Cache-Control "no-cache"; }
  }
}
CONF
# nginx keeps what it inherits open while it runs: no pipe of the caller's may reach it.
"$nginx" -c "$state/nginx.conf" -p "$state" </dev/null >>"$state/start.log" 2>&1 || {
  cat "$state/start.log" >&2
  exit 1
}
for _ in $(seq 50); do running && break; sleep 0.1; done
running || { echo "serve-dist.sh: nginx did not start; see $state/error.log" >&2; exit 1; }
echo "Distribution site: http://127.0.0.1:$port/ ($root)"
