#include "net/http_get_win.h"

#include <cstring>
#include <string>
#include <vector>

namespace tolvex {
namespace {

constexpr char kSessionAgent[] = "QM DOWNLOAD";
constexpr DWORD_PTR kTransferContext = 1;
// INTERNET_FLAG_SECURE on the connection, as the updater has always passed it; the transport is
// chosen by the request's flags below.
constexpr DWORD kConnectionFlags = 0x00800000;
// Always from the server, never from a cache; existing connection; redirections not followed.
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_AUTO_REDIRECT;

// The parts of a URL that a request needs.
struct SplitUrl {
  INTERNET_SCHEME scheme = INTERNET_SCHEME_UNKNOWN;
  std::string host;
  INTERNET_PORT port = 0;
  std::string object;  // path and query
};

bool split_url(const char* url, SplitUrl& out) {
  const std::size_t room = std::strlen(url) + 1;
  std::vector<char> host(room, '\0');
  std::vector<char> path(room, '\0');
  std::vector<char> extra(room, '\0');
  URL_COMPONENTSA parts = {};
  parts.dwStructSize = sizeof parts;
  parts.lpszHostName = host.data();
  parts.dwHostNameLength = static_cast<DWORD>(room);
  parts.lpszUrlPath = path.data();
  parts.dwUrlPathLength = static_cast<DWORD>(room);
  parts.lpszExtraInfo = extra.data();
  parts.dwExtraInfoLength = static_cast<DWORD>(room);
  if (!InternetCrackUrlA(url, 0, 0, &parts)) return false;
  out.scheme = parts.nScheme;
  out.host = host.data();
  out.port = parts.nPort;
  out.object = path.data();
  // The query goes to the server; a fragment never does.
  std::string query = extra.data();
  const std::string::size_type fragment = query.find('#');
  if (fragment != std::string::npos) query.erase(fragment);
  out.object += query;
  if (out.object.empty()) out.object = "/";
  return true;
}

}  // namespace

HttpGet::HttpGet() : session_(InternetOpenA(kSessionAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0)) {}

bool HttpGet::send(const char* url, const char* header_text) {
  SplitUrl target;
  if (!split_url(url, target)) return false;
  DWORD request_flags = kRequestFlags;
  if (target.scheme == INTERNET_SCHEME_HTTPS) {
    request_flags |= INTERNET_FLAG_SECURE;
  } else if (target.scheme != INTERNET_SCHEME_HTTP) {
    return false;
  }
  if (!session_) return false;
  connection_.reset(InternetConnectA(session_.get(), target.host.c_str(), target.port, nullptr, nullptr,
                                     INTERNET_SERVICE_HTTP, kConnectionFlags, kTransferContext));
  if (!connection_) return false;
  request_.reset(HttpOpenRequestA(connection_.get(), "GET", target.object.c_str(), nullptr, nullptr, nullptr,
                                  request_flags, kTransferContext));
  if (!request_) return false;
  if (header_text != nullptr) {
    // The result does not matter: a line the request already has is simply not added again.
    HttpAddRequestHeadersA(request_.get(), header_text, static_cast<DWORD>(-1L), HTTP_ADDREQ_FLAG_ADD_IF_NEW);
  }
  return HttpSendRequestA(request_.get(), nullptr, 0, nullptr, 0) != FALSE;
}

unsigned long HttpGet::status_code() const {
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!HttpQueryInfoA(request_.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
    return 0;
  return status;
}

std::int32_t HttpGet::announced_length() const {
  char text[64] = {};
  DWORD size = sizeof text - 1;
  if (!HttpQueryInfoA(request_.get(), HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return -1;
  const std::int32_t length = parse_announced_length(text);
  return length >= 0 ? length : -1;
}

// Reads at the pace of the line: large reads when data streams in, small ones when it trickles
// (see ReadPacer), so that reports keep flowing on a slow line and a fast one is not slowed down.
bool HttpGet::read(char* buffer, std::size_t size, std::size_t& received) {
  received = 0;
  if (!reading_) {
    pacer_.start(GetTickCount64());
    reading_ = true;
  }
  if (body_limit_ >= 0) {
    const std::int64_t left = body_limit_ - body_read_;
    if (left <= 0) return true;
    if (static_cast<std::int64_t>(size) > left) size = static_cast<std::size_t>(left);
  }
  DWORD available = 0;
  if (!InternetQueryDataAvailable(request_.get(), &available, 0, 0)) available = 0;
  DWORD read = 0;
  if (!InternetReadFile(request_.get(), buffer, static_cast<DWORD>(pacer_.request(size, available)), &read))
    return false;
  pacer_.received(read, GetTickCount64());
  body_read_ += read;
  received = read;
  return true;
}

}  // namespace tolvex
