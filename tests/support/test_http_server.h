#pragma once
// The local HTTP server that CTest starts for a test (scripts/http_test_server.py), seen from
// the Windows test: its address, the folder it serves (written through the Z: drive) and the
// requests it logged. The server's folder is named by TOLVEX_HTTP_DIR (a Unix path holding
// "port", "root/" and "requests.jsonl"); the https servers of the certificate tests are in
// folders named after their certificates inside the one named by TOLVEX_HTTPS_DIR.
#include <cstddef>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace tolvex::testing {

// One request as the server logged it.
struct LoggedRequest {
  std::string method;  // empty for bytes that were not HTTP
  std::string path;
  std::vector<std::pair<std::string, std::string>> headers;
  bool tls_client_hello = false;  // the first byte was a TLS handshake record
  std::string tls_handshake;      // an https server's record of a connection: "ok" or why it failed

  // Values of the headers named `name` (case-insensitive), in order.
  std::vector<std::string> header_values(const std::string& name) const;
};

class TestHttpServer {
 public:
  // Reads the server's folder from the environment; ok() is false when it is not set.
  TestHttpServer();
  // The server in `subfolder` of the folder named by the environment variable `variable`.
  TestHttpServer(const char* variable, const std::string& subfolder);

  bool ok() const { return port_ != 0; }
  unsigned port() const { return port_; }
  // "http://127.0.0.1:<port>" followed by `path`.
  std::string url(const std::string& path) const;
  // "https://localhost:<port>" followed by `path`: the https servers' certificates name localhost,
  // and the platform checks the name the URL gives.
  std::string https_url(const std::string& path) const;

  // Writes `bytes` into the served folder under `relative` (folders created).
  void put_file(const std::string& relative, const std::string& bytes) const;

  // Every request logged so far, in arrival order.
  std::vector<LoggedRequest> requests() const;
  // The logged requests whose path is exactly `path`.
  std::vector<LoggedRequest> requests_for(const std::string& path) const;
  // How many connections opened with a TLS handshake instead of HTTP.
  std::size_t tls_client_hellos() const;
  // How many TLS connections an https server saw (accepted or not).
  std::size_t tls_connections() const;

 private:
  std::filesystem::path folder_;  // Windows form of the server's folder
  unsigned port_ = 0;
};

// "Z:" followed by the Unix path with backslashes: how Wine shows a Unix path to Windows code.
std::filesystem::path wine_path_of_unix_path(const std::string& unix_path);

// A loopback port on which nothing listens (bound, then released).
unsigned closed_loopback_port();

}  // namespace tolvex::testing
