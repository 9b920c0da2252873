#pragma once
// One GET request of a transfer over its own internet session (the DownloadSession) and
// connection. The handles close in the order request, connection, session on every path.
#include <cstddef>
#include <cstdint>

#include "net/http_body.h"
#include "win/scoped_win.h"

namespace tolvex {

class HttpGet : public BodySource {
 public:
  // Opens the session: agent "QM DOWNLOAD", the system's configured access, context 1.
  HttpGet();

  // Splits `url`, connects to its host and port, opens the GET request of its path (and
  // query), adds `header_text` (when given) unless the request already has such lines, and
  // sends it. http is plain; https goes over TLS with the platform's certificate checks. False
  // when the URL cannot be split or names another scheme (nothing is sent then), or when
  // connecting, opening or sending fails.
  [[nodiscard]] bool send(const char* url, const char* header_text);

  // The response's status code; 0 when it cannot be read.
  unsigned long status_code() const;

  // The response's Content-Length as a number; -1 when the header is missing or negative.
  std::int32_t announced_length() const;

  // Asks the platform for no more than `bytes` of the body in all (a body known to be
  // unwanted past that is not read on); once they are read, a read ends the body.
  void limit_body(std::int64_t bytes) { body_limit_ = bytes; }

  // BodySource: reads the next bytes of the body.
  bool read(char* buffer, std::size_t size, std::size_t& received) override;

 private:
  // Declared in opening order: members are destroyed in reverse, request first.
  InternetHandle session_;
  InternetHandle connection_;
  InternetHandle request_;
  ReadPacer pacer_;
  bool reading_ = false;          // the body's first read has started
  std::int64_t body_limit_ = -1;  // -1: none
  std::int64_t body_read_ = 0;
};

}  // namespace tolvex
