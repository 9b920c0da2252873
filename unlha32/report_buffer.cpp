#include "unlha32/report_buffer.h"

#include "text/cp932.h"

namespace tolvex::unlha32 {

ReportBuffer::ReportBuffer(char* buffer, std::size_t size) : buffer_(buffer), size_(buffer ? size : 0) {
  if (size_ > 0) buffer_[0] = '\0';
}

void ReportBuffer::append(const std::string& text) {
  if (size_ > 0 && !full_) full_ = !append_cp932_text(buffer_, size_, text.c_str());
}

}  // namespace tolvex::unlha32
