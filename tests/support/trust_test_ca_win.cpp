// Makes the https tests' CA a trusted root of the Wine prefix this runs in, or stops it being
// one. The test rig runs it only inside its own private prefix, never against a real machine.
//   tolvex_trust_test_ca add|remove CA.der
// Both first take out every root with the CA's subject, so that CAs of earlier runs (made afresh
// each time) do not pile up; "add" then puts the given one in.
#include <windows.h>

#include <wincrypt.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "win/scoped_win.h"

namespace {

BOOL close_store(HCERTSTORE store) { return CertCloseStore(store, 0); }
BOOL free_certificate(PCCERT_CONTEXT certificate) { return CertFreeCertificateContext(certificate); }
using OwnedStore = tolvex::OwnedPointerHandle<HCERTSTORE, close_store>;
using OwnedCertificate = tolvex::OwnedPointerHandle<PCCERT_CONTEXT, free_certificate>;

int fail(const char* what) {
  std::fprintf(stderr, "tolvex_trust_test_ca: %s (error %lu)\n", what, GetLastError());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const bool add = argc == 3 && std::strcmp(argv[1], "add") == 0;
  if (argc != 3 || (!add && std::strcmp(argv[1], "remove") != 0)) {
    std::fprintf(stderr, "usage: tolvex_trust_test_ca add|remove CA.der\n");
    return 2;
  }
  std::ifstream in(argv[2], std::ios::binary);
  const std::string der((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  OwnedCertificate ca(CertCreateCertificateContext(X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                                                   static_cast<DWORD>(der.size())));
  if (!ca) return fail("not a DER certificate");
  // The machine's Root store itself, in the registry: under Wine the system provider's Root is
  // assembled afresh on every open, so a deletion through it does not last (an addition does).
  OwnedStore roots(CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_A, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, "Root"));
  if (!roots) return fail("cannot open the Root store");

  // Each deletion frees the context found, so every search starts afresh.
  while (PCCERT_CONTEXT earlier = CertFindCertificateInStore(roots.get(), X509_ASN_ENCODING, 0, CERT_FIND_SUBJECT_NAME,
                                                             &ca.get()->pCertInfo->Subject, nullptr)) {
    if (!CertDeleteCertificateFromStore(earlier)) return fail("cannot remove an earlier test CA");
  }
  if (add &&
      !CertAddEncodedCertificateToStore(roots.get(), X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                                        static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, nullptr)) {
    return fail("cannot add the test CA");
  }
  return 0;
}
