#!/usr/bin/env bash
# Makes the certificates of the https tests into DIR, afresh on every run (nothing is kept):
#   ca.der                 the test CA, which the test rig adds to its own Wine prefix's roots
#   trusted.pem            localhost, signed by the test CA, valid now
#   untrusted.pem          localhost, signed by another CA that nothing trusts
#   expired.pem            localhost, signed by the test CA, valid only in January 2020
#   wronghost.pem          wrong-host.test, signed by the test CA, valid now
# Each server .pem holds the certificate followed by its key.
#   make_test_certificates.sh DIR
set -euo pipefail
dir="${1:?certificate folder}"
rm -rf "$dir"
mkdir -p "$dir"
cd "$dir"

new_ca() {  # name subject
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.pem" -days 30 -subj "/CN=$2" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
}

# A request for a server certificate for `host`, with the extensions a server certificate carries.
new_request() {  # name host
  openssl req -new -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.csr" -subj "/CN=$2" 2>/dev/null
  printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature,keyEncipherment\n'`
        `'extendedKeyUsage=serverAuth\nsubjectAltName=DNS:%s\n' "$2" >"$1.ext"
}

# Signs the request `name` with CA `ca`, valid from now for a few days.
sign() {  # name ca
  openssl x509 -req -in "$1.csr" -CA "$2.pem" -CAkey "$2.key" -CAcreateserial -days 7 -sha256 \
    -extfile "$1.ext" -out "$1.crt" 2>/dev/null
  cat "$1.crt" "$1.key" >"$1.pem"
}

# Signs the request `name` with the test CA for a fixed stretch in the past: `openssl x509`
# cannot backdate, `openssl ca` can.
sign_expired() {  # name
  mkdir -p expired-ca
  : >expired-ca/index.txt
  cat >expired-ca/ca.cnf <<EOF
[ca]
default_ca = past
[past]
database = expired-ca/index.txt
new_certs_dir = expired-ca
serial = expired-ca/serial
rand_serial = yes
default_md = sha256
policy = anything
unique_subject = no
[anything]
commonName = supplied
EOF
  openssl ca -batch -config expired-ca/ca.cnf -cert ca.pem -keyfile ca.key -in "$1.csr" -extfile "$1.ext" \
    -startdate 20200101000000Z -enddate 20200131000000Z -notext -out "$1.crt" 2>/dev/null
  cat "$1.crt" "$1.key" >"$1.pem"
}

new_ca ca "tolvex test CA"
new_ca other-ca "tolvex untrusted test CA"
openssl x509 -in ca.pem -outform DER -out ca.der

for name in trusted untrusted expired; do new_request "$name" localhost; done
new_request wronghost wrong-host.test
sign trusted ca
sign untrusted other-ca
sign wronghost ca
sign_expired expired
