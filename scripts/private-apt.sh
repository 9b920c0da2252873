# Sourced by the set-up scripts that take packages from Debian without installing them: an apt
# state of their own (lists, cache, an empty package status), so that the system's apt lists,
# architectures and package set stay as they are.
#   private_apt_init STATE ARCH SUITE   makes STATE for ARCH packages of Debian SUITE (with its
#                                       -updates and -security suites) and sets apt_opts
#   apt-get "${apt_opts[@]}" ...        then works in that state only
private_apt_init() {
  local state="$1" arch="$2" suite="$3"
  local keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  rm -rf "$state"
  mkdir -p "$state/lists/partial" "$state/cache/archives/partial" "$state/debs"
  : >"$state/status"
  cat >"$state/sources.list" <<SOURCES
deb [signed-by=$keyring] http://deb.debian.org/debian $suite main
deb [signed-by=$keyring] http://deb.debian.org/debian $suite-updates main
deb [signed-by=$keyring] http://deb.debian.org/debian-security $suite-security main
SOURCES
  apt_opts=(
    -o APT::Architecture="$arch" -o APT::Architectures::="$arch"
    -o Dir::State="$state" -o Dir::State::status="$state/status" -o Dir::Cache="$state/cache"
    -o Dir::Etc::SourceList="$state/sources.list" -o Dir::Etc::SourceParts=/nonexistent
    -o Debug::NoLocking=1 -o APT::Sandbox::User=root
  )
  # A suite whose index cannot be read (the security suite's i386 index is not always
  # reachable) is not fatal: the main suite has the packages the set-up scripts take.
  apt-get "${apt_opts[@]}" -qq update >"$state/update.log" 2>&1 || true
}
