# Sourced by e2e.sh: nginx and squid from Debian as our own processes on
# 127.0.0.1, each with its configuration and logs in a folder of ours.
#   servers_up DIR   start both, export their addresses for the runner
#   servers_down     end exactly the processes servers_up started
# squid takes Basic proxy authentication (user and password below) and
# forwards only to 127.0.0.0/8.

SERVERS_PIDS=()
SQUID_USER=velmora
SQUID_PASSWORD=s3cret

free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# True once something listens on 127.0.0.1:$1, within $2 tenths of a second.
wait_listening() {
  local i
  for ((i = 0; i < $2; i++)); do
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

servers_up() {
  local dir=$1 nginx_port squid_port
  mkdir -p "$dir/www" "$dir/nginx-temp"
  # squid drops to user proxy, which must read its folder and write its logs.
  chmod 755 "$dir"
  printf '<html><body>velmora</body></html>\n' >"$dir/www/index.html"

  nginx_port=$(free_port)
  cat >"$dir/nginx.conf" <<EOF
daemon off;
master_process off;
worker_processes 1;
pid $dir/nginx.pid;
error_log $dir/nginx-error.log;
events { worker_connections 64; }
http {
  access_log $dir/nginx-access.log;
  client_body_temp_path $dir/nginx-temp/body;
  proxy_temp_path $dir/nginx-temp/proxy;
  fastcgi_temp_path $dir/nginx-temp/fastcgi;
  uwsgi_temp_path $dir/nginx-temp/uwsgi;
  scgi_temp_path $dir/nginx-temp/scgi;
  server {
    listen 127.0.0.1:$nginx_port;
    root $dir/www;
  }
}
EOF
  /usr/sbin/nginx -e "$dir/nginx-error.log" -p "$dir" -c "$dir/nginx.conf" &
  SERVERS_PIDS+=($!)

  squid_port=$(free_port)
  htpasswd -bc "$dir/squid-passwd" "$SQUID_USER" "$SQUID_PASSWORD" 2>/dev/null
  touch "$dir/squid-access.log" "$dir/squid-cache.log"
  chown proxy "$dir/squid-access.log" "$dir/squid-cache.log"
  chmod 644 "$dir/squid-passwd"
  cat >"$dir/squid.conf" <<EOF
http_port 127.0.0.1:$squid_port
visible_hostname velmora-test
pid_filename $dir/squid.pid
cache_log $dir/squid-cache.log
access_log stdio:$dir/squid-access.log
cache_store_log none
cache deny all
coredump_dir $dir
logfile_rotate 0
shutdown_lifetime 1 seconds
auth_param basic program /usr/lib/squid/basic_ncsa_auth $dir/squid-passwd
auth_param basic realm velmora-test
acl loopback_dst dst 127.0.0.0/8
acl authenticated proxy_auth REQUIRED
http_access deny !loopback_dst
http_access allow authenticated
http_access deny all
EOF
  /usr/sbin/squid -N -f "$dir/squid.conf" >"$dir/squid-stdout.log" 2>&1 &
  SERVERS_PIDS+=($!)

  if ! wait_listening "$nginx_port" 100; then
    echo "real-servers: nginx did not start, see $dir/nginx-error.log" >&2
    return 1
  fi
  if ! wait_listening "$squid_port" 300; then
    echo "real-servers: squid did not start, see $dir/squid-cache.log" >&2
    return 1
  fi
  export VELMORA_NGINX=127.0.0.1:$nginx_port
  export VELMORA_SQUID=127.0.0.1:$squid_port
  export VELMORA_SQUID_USER=$SQUID_USER VELMORA_SQUID_PASSWORD=$SQUID_PASSWORD
  export VELMORA_SQUID_ACCESS_LOG=$dir/squid-access.log
}

servers_down() {
  local pid
  for pid in "${SERVERS_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${SERVERS_PIDS[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  SERVERS_PIDS=()
}
