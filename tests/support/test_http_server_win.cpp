#include "support/test_http_server.h"

#include <winsock2.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tolvex::testing {
namespace {

std::string read_whole_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

bool same_name(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// Reads the server's log lines: JSON objects of strings, arrays of string pairs, booleans,
// numbers and null, written with ASCII escapes only.
class LogLineReader {
 public:
  explicit LogLineReader(const std::string& line) : s_(line) {}

  LoggedRequest read_request() {
    LoggedRequest request;
    expect('{');
    while (skip_space(), peek() != '}' && peek() != '\0') {
      const std::string key = read_string();
      expect(':');
      skip_space();
      if (key == "method") {
        request.method = read_string_or_null();
      } else if (key == "path") {
        request.path = read_string_or_null();
      } else if (key == "headers") {
        read_headers(request.headers);
      } else if (key == "tls_handshake") {
        request.tls_handshake = read_string_or_null();
      } else if (key == "tls_client_hello") {
        request.tls_client_hello = read_literal() == "true";
      } else if (peek() == '"') {
        read_string();
      } else {
        read_literal();
      }
      skip_space();
      if (peek() == ',') ++at_;
    }
    return request;
  }

 private:
  char peek() const { return at_ < s_.size() ? s_[at_] : '\0'; }
  void skip_space() {
    while (peek() == ' ') ++at_;
  }
  void expect(char c) {
    skip_space();
    if (peek() == c) ++at_;
  }
  std::string read_literal() {
    skip_space();
    std::string text;
    while (peek() != ',' && peek() != '}' && peek() != ']' && peek() != '\0') text += s_[at_++];
    return text;
  }
  std::string read_string_or_null() {
    skip_space();
    if (peek() != '"') {
      read_literal();
      return "";
    }
    return read_string();
  }
  std::string read_string() {
    skip_space();
    std::string text;
    if (peek() != '"') return text;
    ++at_;
    while (peek() != '"' && peek() != '\0') {
      char c = s_[at_++];
      if (c == '\\') {
        char escaped = s_[at_++];
        if (escaped == 'u') {
          text += static_cast<char>(std::strtol(s_.substr(at_, 4).c_str(), nullptr, 16) & 0xFF);
          at_ += 4;
          continue;
        }
        c = escaped == 'n' ? '\n' : escaped == 'r' ? '\r' : escaped == 't' ? '\t' : escaped;
      }
      text += c;
    }
    ++at_;
    return text;
  }
  void read_headers(std::vector<std::pair<std::string, std::string>>& headers) {
    expect('[');
    while (skip_space(), peek() == '[') {
      ++at_;
      std::string name = read_string();
      expect(',');
      std::string value = read_string();
      expect(']');
      headers.emplace_back(name, value);
      skip_space();
      if (peek() == ',') ++at_;
    }
    expect(']');
  }

  const std::string& s_;
  std::size_t at_ = 0;
};

}  // namespace

std::vector<std::string> LoggedRequest::header_values(const std::string& name) const {
  std::vector<std::string> values;
  for (const auto& header : headers) {
    if (same_name(header.first, name)) values.push_back(header.second);
  }
  return values;
}

std::filesystem::path wine_path_of_unix_path(const std::string& unix_path) {
  std::string path = "Z:" + unix_path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

TestHttpServer::TestHttpServer() : TestHttpServer("TOLVEX_HTTP_DIR", "") {}

TestHttpServer::TestHttpServer(const char* variable, const std::string& subfolder) {
  const char* folder = std::getenv(variable);
  if (folder == nullptr || *folder == '\0') return;
  folder_ = wine_path_of_unix_path(folder) / subfolder;
  port_ = static_cast<unsigned>(std::strtoul(read_whole_file(folder_ / "port").c_str(), nullptr, 10));
}

std::string TestHttpServer::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string TestHttpServer::https_url(const std::string& path) const {
  return "https://localhost:" + std::to_string(port_) + path;
}

void TestHttpServer::put_file(const std::string& relative, const std::string& bytes) const {
  const std::filesystem::path target = folder_ / "root" / std::filesystem::path(relative).relative_path();
  std::filesystem::create_directories(target.parent_path());
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<LoggedRequest> TestHttpServer::requests() const {
  std::vector<LoggedRequest> requests;
  std::istringstream lines(read_whole_file(folder_ / "requests.jsonl"));
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty()) requests.push_back(LogLineReader(line).read_request());
  }
  return requests;
}

std::vector<LoggedRequest> TestHttpServer::requests_for(const std::string& path) const {
  std::vector<LoggedRequest> matching;
  for (LoggedRequest& request : requests()) {
    if (request.path == path) matching.push_back(std::move(request));
  }
  return matching;
}

std::size_t TestHttpServer::tls_client_hellos() const {
  std::size_t count = 0;
  for (const LoggedRequest& request : requests()) count += request.tls_client_hello ? 1 : 0;
  return count;
}

std::size_t TestHttpServer::tls_connections() const {
  std::size_t count = 0;
  for (const LoggedRequest& request : requests()) count += request.tls_handshake.empty() ? 0 : 1;
  return count;
}

unsigned closed_loopback_port() {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return 0;
  unsigned port = 0;
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s != INVALID_SOCKET) {
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
      port = ntohs(address.sin_port);
    }
    closesocket(s);
  }
  WSACleanup();
  return port;
}

}  // namespace tolvex::testing
